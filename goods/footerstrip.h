// The goods page's totals row is kit's footer strip in the palette's look.
#pragma once

#include "kit/page/footerstrip.h"

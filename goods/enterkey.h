// The goods dialogs take kit's Enter-key filter.
#pragma once

#include "kit/dialog/enterkey.h"

// The goods page asks for its stock and sale spans with kit's prompt.
#pragma once

#include "kit/dialog/spanprompt.h"

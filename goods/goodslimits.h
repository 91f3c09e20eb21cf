// What a price or a quantity typed for goods may be. The texts' byte limits are
// their columns' (vorn/widths.h).
#pragma once

#include "kit/page/batchlimit.h"
#include "vorn/widths.h"

namespace vorn::ui {

constexpr int kPriceBytes = 28;
// The highest price a unit may have. Its text (and that of any lower price)
// fits the price edits whole, and the store's one-decimal money text keeps
// every tenth of it exactly; a higher price is refused where it is typed.
constexpr double kMaxPrice = 99999999.9;
constexpr int kQuantityDigits = 3;

} // namespace vorn::ui

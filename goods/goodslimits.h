// How much each goods text may hold, in GBK bytes: the width of its column less
// four, so a full text still fits the column with room to spare.
#pragma once

#include "kit/page/batchlimit.h"

namespace vorn::ui {

constexpr int kCodeBytes = 28;          // FSs_Code CHAR(32)
constexpr int kNameBytes = 60;          // FSs_Name CHAR(64)
constexpr int kSizeBytes = 12;          // FSs_Size CHAR(16)
constexpr int kTypeNameBytes = 28;      // FTs_Name CHAR(32)
constexpr int kSupplierNameBytes = 252; // FSPs_Name VARCHAR(256)
constexpr int kRemarkBytes = 252;       // FSs_Remark VARCHAR(256)
constexpr int kPriceBytes = 28;
// The highest price a unit may have. Its text (and that of any lower price)
// fits the price edits whole, and the store's one-decimal money text keeps
// every tenth of it exactly; a higher price is refused where it is typed.
constexpr double kMaxPrice = 99999999.9;
constexpr int kQuantityDigits = 3;

} // namespace vorn::ui

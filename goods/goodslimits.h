// How much each goods text may hold, in GBK bytes: the width of its column less
// four, so a full text still fits the column with room to spare.
#pragma once

namespace vorn::ui {

constexpr int kCodeBytes = 28;          // FSs_Code CHAR(32)
constexpr int kNameBytes = 60;          // FSs_Name CHAR(64)
constexpr int kSizeBytes = 12;          // FSs_Size CHAR(16)
constexpr int kTypeNameBytes = 28;      // FTs_Name CHAR(32)
constexpr int kSupplierNameBytes = 252; // FSPs_Name VARCHAR(256)
constexpr int kRemarkBytes = 252;       // FSs_Remark VARCHAR(256)
constexpr int kPriceBytes = 28;
constexpr int kQuantityDigits = 3;

// Most units one edit or one delete may work on.
constexpr int kMaxBatchUnits = 100000;

} // namespace vorn::ui

// How much each member text may hold, in GBK bytes (the width of its column
// less four), and the bounds of the points; one batch is kit's kMaxBatchRecords.
#pragma once

#include "kit/page/batchlimit.h"

namespace vorn::ui {

constexpr int kMemberCodeBytes = 28;    // FVs_Code CHAR(32)
constexpr int kMemberNameBytes = 28;    // FVs_Name CHAR(32)
constexpr int kMemberEMailBytes = 28;   // FVs_EMail VARCHAR(32)
constexpr int kMemberPhoneBytes = 28;   // FVs_Phone VARCHAR(32)
constexpr int kMemberAddrBytes = 252;   // FVs_Addr VARCHAR(256)
constexpr int kMemberRemarkBytes = 252; // FVs_Remark VARCHAR(256)
// Points are typed as a decimal number; eleven characters hold any int with its sign.
constexpr int kMemberPointsChars = 11;
// Most points a member may hold. No shop's customer collects more, and the
// room above it up to what the store's integer holds keeps every sale that
// adds to the points from wrapping them round to a negative number.
constexpr int kMaxMemberPoints = 100000000;

} // namespace vorn::ui

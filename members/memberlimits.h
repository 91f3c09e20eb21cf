// The bounds of a member's points; the texts' byte limits are their columns'
// (vorn/widths.h) and one batch is kit's kMaxBatchRecords.
#pragma once

#include "kit/page/batchlimit.h"
#include "vorn/widths.h"

namespace vorn::ui {

// Points are typed as a decimal number; eleven characters hold any int with its sign.
constexpr int kMemberPointsChars = 11;
// Most points a member may hold. No shop's customer collects more, and the
// room above it up to what the store's integer holds keeps every sale that
// adds to the points from wrapping them round to a negative number.
constexpr int kMaxMemberPoints = 100000000;

} // namespace vorn::ui

// Local calendar time <-> seconds, as the C library computes it, but fast when
// many values fall on the same days (a million rows of a shop's history do).
#pragma once

#include <cstdint>

namespace vorn::detail {

// Equal to mktime() of the fields with tm_isdst = -1 (month 1..12).
int64_t fast_mktime(int year, int month, int day, int hour, int minute, int second);

} // namespace vorn::detail

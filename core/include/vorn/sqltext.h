// Rendering values into SQL text, and reading them back, the one way the whole
// system does it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vorn/export.h"

namespace vorn {

// The text with every single quote doubled, for use between single quotes in a
// statement or condition: "O'Brien" -> "O''Brien". Any user text composed into
// a condition goes through here.
VORNCORE_API std::string sql_escape(std::string_view text);

// Money with one decimal; a value halfway between two tenths (as typed in
// decimal: 11.25, 12.35) rounds away from zero. Statements and pages both use
// it, so what a page shows is what the store holds. Non-finite values give "0.0".
VORNCORE_API std::string format_money(double value);

// Local time "%Y-%m-%d %H:%M:%S"; 0 (not set) gives an empty text. Works for
// times before 1970.
VORNCORE_API std::string format_time(int64_t t);
// Local date "%Y-%m-%d"; 0 gives an empty text.
VORNCORE_API std::string format_date(int64_t t);

// Reads "YYYY-MM-DD hh:mm:ss" as local time (daylight saving decided as mktime
// does with tm_isdst = -1). Null or empty text gives 0. Returns the same value as
// mktime, only faster when many times fall on the same days.
VORNCORE_API int64_t parse_time(const char* text);
// The local time of the calendar fields (month 1..12), as mktime would give it.
VORNCORE_API int64_t local_time_of(int year, int month, int day, int hour, int minute, int second);

} // namespace vorn

// What the shifts' parts share: reading a Shift row.
#pragma once

#include <string>

struct sqlite3_stmt;

namespace vorn {
struct ShiftRecord;
}

namespace vorn::detail {

// The columns read_shift reads, with "SELECT " in front and " FROM Shift" after.
extern const char kShiftSelect[];
void read_shift(sqlite3_stmt* s, ShiftRecord& r);

} // namespace vorn::detail

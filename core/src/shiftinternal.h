// What the shifts' parts share: reading a Shift row.
#pragma once

#include <string>

namespace vorn::detail {
class Row;
} // namespace vorn::detail

namespace vorn {
struct ShiftRecord;
}

namespace vorn::detail {

// The columns read_shift reads, with "SELECT " in front and " FROM Shift" after.
extern const char kShiftSelect[];
void read_shift(const Row& s, ShiftRecord& r);

} // namespace vorn::detail

// Integers typed into entry fields, read the one way the shop's numbers have
// always been read: as C's atoi reads them. Blanks before the number are
// skipped, one sign is taken, then the decimal digits; whatever follows is
// ignored, and a text with no digits there reads as 0.
#pragma once

#include <QStringView>

namespace vorn::ui {

struct TypedInteger {
    // The number; one beyond int is the nearest end of int (atoi's own result
    // would be undefined there).
    int value = 0;
    // Nothing but that number, blanks around it allowed, and within int: what a
    // field that must hold an integer accepts.
    bool whole = false;
};

TypedInteger readInteger(QStringView text);

} // namespace vorn::ui

// The one clock of the program. Tests may set it; everything that asks "now"
// (checkout time, stock time, birthday window, "this year") asks here.
#pragma once

#include <cstdint>

namespace vorn::ui {

// Seconds since 1970, the system clock unless a test fixed it.
int64_t now();
// Fix the clock at t (0 returns to the system clock).
void setNowForTests(int64_t t);

} // namespace vorn::ui

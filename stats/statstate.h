// What the statistics page keeps across its lifetimes, on the main window's
// state: the page itself is made anew each time its tab is chosen.
#pragma once

namespace vorn::ui {

struct StatState {
    // 0 by year, 1 by custom condition (radios 126 and 127).
    int mode = 0;
};

} // namespace vorn::ui

// What the statistics page keeps across its lifetimes, on the main window's
// state: the page itself is made anew each time its tab is chosen, and the
// conditions the user set must still be there at the next "生成图表".
#pragma once

#include <QDate>
#include <vector>

namespace vorn::ui {

struct StatState {
    // 0 by year, 1 by custom condition (radios 126 and 127).
    int mode = 0;
    // Calendar years in the order the user chose them (at most 3).
    std::vector<int> years;
    // Whole local days; both null = no span. Only spans the custom condition
    // dialog accepted are stored: start not after end, at most 93 days.
    QDate spanStart;
    QDate spanEnd;
    // Goods type ids (FTi_Id) in the order of the dialog's chosen list (at most 10).
    std::vector<int> types;

    bool hasSpan() const { return spanStart.isValid() && spanEnd.isValid(); }
};

} // namespace vorn::ui

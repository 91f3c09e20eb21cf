// What the goods page keeps across its lifetimes, on the main window's state:
// the page is made anew each time its tab is chosen, while the rows of the last
// search (which the entry and catalog dialogs also edit) and the spans chosen on
// the ribbon must still be there when it comes back.
#pragma once

#include <map>
#include <vector>

#include "kit/appstate.h"
#include "kit/datespan.h"
#include "kit/shell.h"
#include "vorn/core.h"

namespace vorn::ui {

struct GoodsState {
    std::vector<vorn::SRec> rows; // rows of the last goods search
    // By the command id of their ribbon button (stock time, sale time).
    std::map<int, DateSpan> spans;
};

inline GoodsState& goodsState(AppState& state) {
    return state.extension<GoodsState>();
}
inline GoodsState& goodsState(Shell& shell) {
    return goodsState(shell.state());
}

} // namespace vorn::ui

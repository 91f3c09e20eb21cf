// What a list page keeps across its lifetimes, on the main window's state: the
// page is made anew each time its tab is chosen, while the rows of the last
// search (which its entry dialogs also edit) and the date spans chosen on the
// ribbon must still be there when it comes back.
#pragma once

#include <map>
#include <vector>

#include "kit/page/appstate.h"
#include "kit/text/datespan.h"
#include "kit/page/shell.h"

namespace vorn::ui {

template <class Rec> struct ListState {
    std::vector<Rec> rows; // rows of the last search
    // By the command id of their ribbon button.
    std::map<int, DateSpan> spans;
};

// One ListState per record type and AppState, made on first use.
template <class Rec> ListState<Rec>& listState(AppState& state) {
    return state.extension<ListState<Rec>>();
}
template <class Rec> ListState<Rec>& listState(Shell& shell) {
    return listState<Rec>(shell.state());
}

} // namespace vorn::ui

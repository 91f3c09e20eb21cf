// What the member page keeps across its lifetimes, on the main window's state:
// the rows of the last search (which the entry dialog also edits) and the
// creation span chosen on the ribbon survive the page's tab being left.
#pragma once

#include <map>
#include <vector>

#include "kit/appstate.h"
#include "kit/datespan.h"
#include "kit/shell.h"
#include "vorn/core.h"

namespace vorn::ui {

struct MemberState {
    std::vector<vorn::VIPRec> rows; // rows of the last member search
    // By the command id of their ribbon button (creation time).
    std::map<int, DateSpan> spans;
};

inline MemberState& memberState(AppState& state) {
    return state.extension<MemberState>();
}
inline MemberState& memberState(Shell& shell) {
    return memberState(shell.state());
}

} // namespace vorn::ui

// What the member page keeps across its lifetimes: the rows of the last search
// (which the entry dialog also edits) and the creation span chosen on the ribbon.
#pragma once

#include "kit/page/liststate.h"
#include "vorn/records.h"

namespace vorn::ui {

using MemberState = ListState<vorn::VIPRec>;
// From the AppState or the Shell.
template <class Host> MemberState& memberState(Host& host) { return listState<vorn::VIPRec>(host); }

} // namespace vorn::ui

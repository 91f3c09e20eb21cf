// What the goods page keeps across its lifetimes: the rows of the last search
// (which the entry and catalog dialogs also edit) and the stock and sale time
// spans chosen on the ribbon.
#pragma once

#include "kit/page/liststate.h"
#include "vorn/records.h"

namespace vorn::ui {

using GoodsState = ListState<vorn::SRec>;
// From the AppState or the Shell.
template <class Host> GoodsState& goodsState(Host& host) { return listState<vorn::SRec>(host); }

} // namespace vorn::ui

// What the import and the export of a record list page get from it: the small
// host of kit/sheet/csvimport.h and the rows its list shows, never the page itself.
#pragma once

#include <algorithm>
#include <span>
#include <vector>

#include "kit/sheet/csvimport.h"
#include "kit/page/recordpage.h"

namespace vorn::ui {

// The page's dialog runner, and after records went in a reload when its list
// shows a search. A page never searched stays empty, as it starts: listing a
// whole big shop unasked would take a while.
ImportHost importHostOf(CRecordListPage& page);

// How many rows the page's list shows now.
size_t shownCount(const CRecordListPage& page);

// The loaded rows the list shows, in its order: never more than are loaded.
template <class Rec> std::span<const Rec> shownRows(const CRecordListPage& page, const std::vector<Rec>& loaded) {
    return {loaded.data(), std::min(loaded.size(), shownCount(page))};
}

} // namespace vorn::ui

// Work on a page's loaded rows that the page, its editing panel and its delete
// command share: an edit applied to the rows it concerns and rows taken out
// after a delete, both without a reload. The record's id comes from
// RecordCalls<Rec>::id.
#pragma once

#include <unordered_map>
#include <utility>
#include <vector>

#include "kit/page/batchlimit.h"
#include "kit/page/listloader.h"

namespace vorn::ui {

// Brings the loaded rows in line with records just written: each edited record
// replaces the loaded row with its id. `where` holds the row each was taken
// from, tried first; a reload in between (a new sort) may have moved it, and
// then the row is found by id. Returns the number of rows changed.
template <class Rec>
int applyEdited(std::vector<Rec>& rows, const std::vector<int>& where, const std::vector<Rec>& edited) {
    using Calls = RecordCalls<Rec>;
    int changed = 0;
    std::unordered_map<int, size_t> strays; // record id -> position in edited
    for (size_t k = 0; k < edited.size(); ++k) {
        const int at = k < where.size() ? where[k] : -1;
        if (at >= 0 && static_cast<size_t>(at) < rows.size() &&
            Calls::id(rows[static_cast<size_t>(at)]) == Calls::id(edited[k])) {
            rows[static_cast<size_t>(at)] = edited[k];
            ++changed;
        } else {
            strays.emplace(Calls::id(edited[k]), k);
        }
    }
    if (strays.empty()) return changed;
    for (Rec& row : rows) {
        auto it = strays.find(Calls::id(row));
        if (it == strays.end()) continue;
        row = edited[it->second];
        ++changed;
    }
    return changed;
}

// The loaded rows at the given indices (those out of range skipped), copied,
// with the index each came from: what an editing panel works on, so that a
// reload while it is open cannot change what it writes.
template <class Rec> struct PickedRows {
    std::vector<int> where;
    std::vector<Rec> records;
};
template <class Rec> PickedRows<Rec> pickRows(const std::vector<Rec>& rows, const std::vector<int>& indices) {
    PickedRows<Rec> out;
    for (int i : indices) {
        if (i < 0 || static_cast<size_t>(i) >= rows.size()) continue;
        out.where.push_back(i);
        out.records.push_back(rows[static_cast<size_t>(i)]);
    }
    return out;
}

// Takes out the rows at the given indices (any order, duplicates and indices out
// of range ignored), keeping the others in their order. Returns how many went.
template <class Rec> int removeRows(std::vector<Rec>& rows, const std::vector<int>& indices) {
    std::vector<char> gone(rows.size(), 0);
    int count = 0;
    for (int i : indices) {
        if (i < 0 || static_cast<size_t>(i) >= rows.size() || gone[static_cast<size_t>(i)]) continue;
        gone[static_cast<size_t>(i)] = 1;
        ++count;
    }
    if (count == 0) return 0;
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (gone[i]) continue;
        if (kept != i) rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
    return count;
}

} // namespace vorn::ui

// What the sale journal's page keeps on the main window's state across its
// lifetimes (kit/page/liststate.h): the sales of the last search and the date span
// chosen on the ribbon, by its command id.
#pragma once

#include "kit/page/listloader.h"
#include "kit/page/liststate.h"
#include "vorn/journal.h"

namespace vorn::ui {

inline ListState<vorn::SaleRecord>& journalState(AppState& state) {
    return listState<vorn::SaleRecord>(state);
}
inline ListState<vorn::SaleRecord>& journalState(Shell& shell) {
    return journalState(shell.state());
}

// The record list page deletes through these calls; a sale on record is never
// deleted (a return is a sale of its own), and the journal page serves no
// delete command, so the store refuses any such call.
template <> struct RecordCalls<vorn::SaleRecord> {
    static int64_t id(const vorn::SaleRecord& r) { return r.id; }
    static int remove(Core&, vorn::SaleRecord* const*, int) { return -1; }
};

} // namespace vorn::ui

// What the sale journal's page keeps on the main window's state across its
// lifetimes: the sales of the last search and the date span chosen on the
// ribbon (the ribbon shows it until cleared, whichever page is open).
#pragma once

#include <vector>

#include "kit/appstate.h"
#include "kit/datespan.h"
#include "kit/listloader.h"
#include "kit/shell.h"
#include "vorn/journal.h"

namespace vorn::ui {

struct JournalState {
    std::vector<vorn::SaleRecord> rows; // sales of the last search
    DateSpan span;
};

inline JournalState& journalState(AppState& state) {
    return state.extension<JournalState>();
}
inline JournalState& journalState(Shell& shell) {
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

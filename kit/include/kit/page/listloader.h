// Loading the rows of a search into a page's list: count with the condition,
// size the list, select with the same condition (and the ordering, which only
// the select needs). Both run under one read snapshot of the store, so rows
// added or removed by another thread in between can neither overflow the list
// nor leave rows in it that the select did not fill.
#pragma once

#include <string>
#include <vector>

#include "vorn/core.h"
#include "vorn/transaction.h"

namespace vorn::ui {

template <class Rec> struct RecordCalls;

// Pages that edit and delete their rows also name the record's id and the
// store's batch update and delete.
template <> struct RecordCalls<SRec> {
    static int count(Core& c, const char* cond) { return c.get_srec_count(cond); }
    static int select(Core& c, SRec* out, const char* cond) { return c.select_srec(out, cond); }
    static int id(const SRec& r) { return r.FSi_Id; }
    static int update(Core& c, const SRec* recs, int n) { return c.update_srec(recs, n); }
    static int remove(Core& c, SRec* const* recs, int n) { return c.delete_srec(recs, n); }
};
template <> struct RecordCalls<TRec> {
    static int count(Core& c, const char* cond) { return c.get_trec_count(cond); }
    static int select(Core& c, TRec* out, const char* cond) { return c.select_trec(out, cond); }
};
template <> struct RecordCalls<SPRec> {
    static int count(Core& c, const char* cond) { return c.get_sprec_count(cond); }
    static int select(Core& c, SPRec* out, const char* cond) { return c.select_sprec(out, cond); }
};
template <> struct RecordCalls<URec> {
    static int count(Core& c, const char* cond) { return c.get_urec_count(cond); }
    static int select(Core& c, URec* out, const char* cond) { return c.select_urec(out, cond); }
};
template <> struct RecordCalls<VIPRec> {
    static int count(Core& c, const char* cond) { return c.get_viprec_count(cond); }
    static int select(Core& c, VIPRec* out, const char* cond) { return c.select_viprec(out, cond); }
    static int id(const VIPRec& r) { return r.FVi_Id; }
    static int update(Core& c, const VIPRec* recs, int n) { return c.update_viprec(recs, n); }
    static int remove(Core& c, VIPRec* const* recs, int n) { return c.delete_viprec(recs, n); }
};

// Replaces `rows` with the records matching `cond` (empty: all), ordered by
// `order` (such as " ORDER BY FSs_Code ASC", or empty). The number of rows, or
// -1 when a query failed; the list is then empty, never half-filled.
template <class Rec>
int loadRows(Core& core, std::vector<Rec>& rows, const std::string& cond, const std::string& order = {}) {
    const char* countCond = cond.empty() ? nullptr : cond.c_str();
    // An ordering alone still needs a condition for the select to ride on.
    const std::string selectText = order.empty() ? cond : (cond.empty() ? "1" : cond) + order;
    const char* selectCond = selectText.empty() ? nullptr : selectText.c_str();

    ReadSnapshot snapshot(core);
    const int n = RecordCalls<Rec>::count(core, countCond);
    if (n < 0) {
        rows.clear();
        return -1;
    }
    std::vector<Rec> fresh(static_cast<size_t>(n));
    const int got = n > 0 ? RecordCalls<Rec>::select(core, fresh.data(), selectCond) : 0;
    if (got < 0 || got > n) {
        rows.clear();
        return -1;
    }
    fresh.resize(static_cast<size_t>(got));
    rows = std::move(fresh);
    return got;
}

} // namespace vorn::ui

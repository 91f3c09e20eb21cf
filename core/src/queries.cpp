// Counts, selects, batch writes, sums and the stock alarm.
#include <string>

#include "engine.h"

#include "onestatement.h"
#include "readers.h"
#include "statements.h"
#include "vorn/core.h"
#include "vorn/transaction.h"

namespace vorn {

using detail::RowContext;
using detail::run_one_statement;

namespace {

bool has_cond(const char* cond) { return cond != nullptr && *cond != '\0'; }

std::string statement(const char* head, const char* table, const char* cond) {
    std::string sql(head);
    sql += table;
    if (has_cond(cond)) {
        sql += " WHERE ";
        sql += cond;
    }
    sql += ';';
    return sql;
}

enum class Op { Insert, Update, Delete };

template <class Rec> void append(Op op, const Rec& r, std::string& s) {
    switch (op) {
    case Op::Insert: detail::append_insert(r, s); break;
    case Op::Update: detail::append_update(r, s); break;
    case Op::Delete: detail::append_delete(r, s); break;
    }
}

// One statement per record, all in one transaction: all of them or none.
template <class Get> int batch(Core& core, Op op, int n, Get get) {
    if (n <= 0) return 0;
    std::string sql;
    sql.reserve(static_cast<size_t>(n) * (op == Op::Delete ? 40 : 300));
    for (int i = 0; i < n; ++i) append(op, get(i), sql);
    Transaction t(core);
    if (t.exec(sql.c_str()) != SQLITE_OK || t.commit() != SQLITE_OK) return -1;
    return n;
}

template <class Rec> int count_of(Engine* db, const char* cond) {
    int n = 0;
    RowContext ctx{&n};
    std::string sql = statement("SELECT COUNT() FROM ", detail::kTableNames[Rec::db_id], cond);
    return run_one_statement(db, sql, detail::read_count, ctx) == SQLITE_OK ? n : -1;
}

template <class Rec> int select_of(Engine* db, Rec* out, const char* cond) {
    RowContext ctx{out};
    std::string sql = statement("SELECT * FROM ", detail::kTableNames[Rec::db_id], cond);
    return run_one_statement(db, sql, detail::kRecordReaders[Rec::db_id], ctx) == SQLITE_OK ? ctx.count : -1;
}

} // namespace

// Every record type gets the same count, select and the two overloads of each write.
#define VORN_COUNT_SELECT(x, Rec)                                                                            \
    int Core::get_##x##_count(const char* cond) { return count_of<Rec>(db, cond); }                         \
    int Core::select_##x(Rec* out, const char* cond) { return select_of<Rec>(db, out, cond); }
#define VORN_WRITE(x, Rec, name, op)                                                                         \
    int Core::name##_##x(const Rec* recs, int n) {                                                         \
        return batch(*this, op, n, [recs](int i) -> const Rec& { return recs[i]; });                       \
    }                                                                                                      \
    int Core::name##_##x(Rec* const* recs, int n) {                                                        \
        return batch(*this, op, n, [recs](int i) -> const Rec& { return *recs[i]; });                      \
    }
#define VORN_ALL_WRITES(x, Rec)                                                                              \
    VORN_WRITE(x, Rec, insert, Op::Insert)                                                                 \
    VORN_WRITE(x, Rec, update, Op::Update)                                                                 \
    VORN_WRITE(x, Rec, delete, Op::Delete)

VORN_COUNT_SELECT(srec, SRec)
VORN_ALL_WRITES(srec, SRec)
VORN_COUNT_SELECT(trec, TRec)
VORN_ALL_WRITES(trec, TRec)
VORN_COUNT_SELECT(sprec, SPRec)
VORN_ALL_WRITES(sprec, SPRec)
VORN_COUNT_SELECT(urec, URec)
VORN_ALL_WRITES(urec, URec)
VORN_COUNT_SELECT(arec, ARec)
VORN_WRITE(arec, ARec, update, Op::Update)
VORN_COUNT_SELECT(viprec, VIPRec)
VORN_ALL_WRITES(viprec, VIPRec)

#undef VORN_ALL_WRITES
#undef VORN_WRITE
#undef VORN_COUNT_SELECT

int Core::get_srec_total(double* out, const char* e1, const char* e2, const char* cond) {
    if (out == nullptr || e1 == nullptr) return -1;
    const bool two = e2 != nullptr;
    std::string head = "SELECT TOTAL(";
    head += e1;
    if (two) {
        head += "),TOTAL(";
        head += e2;
    }
    head += ") FROM ";
    // Read into scratch first: a total that fails must leave the caller's numbers alone.
    double got[2] = {out[0], two ? out[1] : 0.0};
    RowContext ctx{got};
    std::string sql = statement(head.c_str(), "Store", cond);
    if (run_one_statement(db, sql, two ? detail::read_total_two : detail::read_total_one, ctx) != SQLITE_OK)
        return -1;
    out[0] = got[0];
    if (two) out[1] = got[1];
    return 1;
}

namespace {
std::string alarm_query(const char* head, int limit) {
    std::string sql(head);
    sql += "Store WHERE FSi_Flag=0 GROUP BY FSs_Code HAVING COUNT()<";
    sql += std::to_string(limit);
    return sql;
}
} // namespace

int Core::get_srec_alarm_count(int limit) {
    std::string sql = alarm_query("SELECT COUNT() FROM (SELECT COUNT() FROM ", limit) + ")";
    int n = 0;
    RowContext ctx{&n};
    return run_one_statement(db, sql, detail::read_count, ctx) == SQLITE_OK ? n : -1;
}

int Core::select_srec_alarm(SRec* out, int limit) {
    std::string sql = alarm_query("SELECT FSs_Code,FSs_Name,COUNT() FROM ", limit);
    RowContext ctx{out};
    return run_one_statement(db, sql, detail::read_alarm, ctx) == SQLITE_OK ? ctx.count : -1;
}

} // namespace vorn

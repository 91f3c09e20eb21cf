// Counts, selects, batch writes, sums and the stock alarm.
#include <cstring>
#include <string>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "readers.h"
#include "statements.h"
#include "vorn/core.h"

namespace vorn {

using detail::RowContext;

namespace {

// sqlite3_exec on a closed store (no connection) is refused rather than crashing.
int exec(sqlite3* db, const char* sql, sqlite3_callback cb, void* ctx) {
    if (db == nullptr) return SQLITE_MISUSE;
    return sqlite3_exec(db, sql, cb, ctx, nullptr);
}

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

// A failed batch leaves its BEGIN open; end it so the next write can begin its own.
void end_open_transaction(sqlite3* db) {
    if (db != nullptr && sqlite3_get_autocommit(db) == 0)
        exec(db, "ROLLBACK;", nullptr, nullptr);
}

enum class Op { Insert, Update, Delete };

template <class Rec> void append(Op op, const Rec& r, std::string& s) {
    switch (op) {
    case Op::Insert: detail::append_insert(r, s); break;
    case Op::Update: detail::append_update(r, s); break;
    case Op::Delete: detail::append_delete(r, s); break;
    }
}

// Builds "BEGIN;" + one statement per record + "COMMIT;" and runs it in one call.
template <class Rec, class Get> int batch(sqlite3* db, Op op, int n, Get get) {
    if (n <= 0) return 0;
    std::string sql;
    sql.reserve(static_cast<size_t>(n) * (op == Op::Delete ? 40 : 300) + 16);
    sql += "BEGIN;";
    for (int i = 0; i < n; ++i) append(op, get(i), sql);
    sql += "COMMIT;";
    if (exec(db, sql.c_str(), nullptr, nullptr) != SQLITE_OK) {
        end_open_transaction(db);
        return -1;
    }
    return n;
}

template <class Rec> int count_of(sqlite3* db, const char* cond) {
    int n = 0;
    RowContext ctx{&n};
    std::string sql = statement("SELECT COUNT() FROM ", detail::kTableNames[Rec::db_id], cond);
    if (exec(db, sql.c_str(), detail::read_count, &ctx) != SQLITE_OK) return -1;
    return n;
}

// Runs the select statement by statement rather than through sqlite3_exec, so
// numbers arrive as numbers. The connection's mutex is held for the whole walk,
// as sqlite3_exec would, so another thread's statement cannot slip in between
// two rows. A condition that carries a further statement is refused whole.
template <class Rec> int select_of(sqlite3* db, Rec* out, const char* cond) {
    if (db == nullptr) return -1;
    RowContext ctx{out};
    std::string sql = statement("SELECT * FROM ", detail::kTableNames[Rec::db_id], cond);
    sqlite3_mutex* mutex = sqlite3_db_mutex(db);
    sqlite3_mutex_enter(mutex);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &stmt, &tail);
    if (rc == SQLITE_OK && tail != nullptr && tail[std::strspn(tail, " \t\r\n;")] != '\0') {
        rc = SQLITE_ERROR;
    } else if (rc == SQLITE_OK && stmt != nullptr) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) detail::kRecordReaders[Rec::db_id](stmt, ctx);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
    } else if (rc == SQLITE_OK) {
        rc = SQLITE_MISUSE; // an empty statement
    }
    sqlite3_finalize(stmt);
    sqlite3_mutex_leave(mutex);
    return rc == SQLITE_OK ? ctx.count : -1;
}

} // namespace

// Every record type gets the same count, select and the two overloads of each write.
#define VORN_COUNT_SELECT(x, Rec)                                                                            \
    int Core::get_##x##_count(const char* cond) { return count_of<Rec>(db, cond); }                         \
    int Core::select_##x(Rec* out, const char* cond) { return select_of<Rec>(db, out, cond); }
#define VORN_WRITE(x, Rec, name, op)                                                                         \
    int Core::name##_##x(const Rec* recs, int n) {                                                         \
        return batch<Rec>(db, op, n, [recs](int i) -> const Rec& { return recs[i]; });                      \
    }                                                                                                      \
    int Core::name##_##x(Rec* const* recs, int n) {                                                        \
        return batch<Rec>(db, op, n, [recs](int i) -> const Rec& { return *recs[i]; });                     \
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
    if (e1 == nullptr) return -1;
    const bool two = e2 != nullptr;
    std::string head = "SELECT TOTAL(";
    head += e1;
    if (two) {
        head += "),TOTAL(";
        head += e2;
    }
    head += ") FROM ";
    RowContext ctx{out};
    std::string sql = statement(head.c_str(), "Store", cond);
    int rc = exec(db, sql.c_str(), two ? detail::read_total_two : detail::read_total_one, &ctx);
    return rc == SQLITE_OK ? 1 : -1;
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
    if (exec(db, sql.c_str(), detail::read_count, &ctx) != SQLITE_OK) return -1;
    return n;
}

int Core::select_srec_alarm(SRec* out, int limit) {
    std::string sql = alarm_query("SELECT FSs_Code,FSs_Name,COUNT() FROM ", limit);
    RowContext ctx{out};
    if (exec(db, sql.c_str(), detail::read_alarm, &ctx) != SQLITE_OK) return -1;
    return ctx.count;
}

} // namespace vorn

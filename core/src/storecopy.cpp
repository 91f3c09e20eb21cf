// Copying a whole store into another (see vorn/storecopy.h).
#include "vorn/storecopy.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "engine.h"

#include "createcolumns.h"
#include "extschema.h"
#include "lasterror.h"
#include "onestatement.h"
#include "readers.h"
#include "schema.h"
#include "serverengine.h"
#include "sqlwriter.h"
#include "vorn/transaction.h"

namespace vorn {

namespace {

// GBK: 数据表, 读取失败, 写入失败, 复制后与原数据不符：行数或合计不同,
// 源数据库与目标数据库是同一个, 源数据库未打开, 目标数据库未打开, 目标数据库只读.
constexpr const char* kTableWord = "\xca\xfd\xbe\xdd\xb1\xed";
constexpr const char* kReadFailed = "\xb6\xc1\xc8\xa1\xca\xa7\xb0\xdc";
constexpr const char* kWriteFailed = "\xd0\xb4\xc8\xeb\xca\xa7\xb0\xdc";
constexpr const char* kDiffers =
    "\xb8\xb4\xd6\xc6\xba\xf3\xd3\xeb\xd4\xad\xca\xfd\xbe\xdd\xb2\xbb\xb7\xfb\xa3\xba"
    "\xd0\xd0\xca\xfd\xbb\xf2\xba\xcf\xbc\xc6\xb2\xbb\xcd\xac";
constexpr const char* kSameStore =
    "\xd4\xb4\xca\xfd\xbe\xdd\xbf\xe2\xd3\xeb\xc4\xbf\xb1\xea\xca\xfd\xbe\xdd\xbf"
    "\xe2\xca\xc7\xcd\xac\xd2\xbb\xb8\xf6";
constexpr const char* kFromClosed = "\xd4\xb4\xca\xfd\xbe\xdd\xbf\xe2\xce\xb4\xb4\xf2\xbf\xaa";
constexpr const char* kToClosed = "\xc4\xbf\xb1\xea\xca\xfd\xbe\xdd\xbf\xe2\xce\xb4\xb4\xf2\xbf\xaa";
constexpr const char* kToReadOnly = "\xc4\xbf\xb1\xea\xca\xfd\xbe\xdd\xbf\xe2\xd6\xbb\xb6\xc1";

// Rows per INSERT: long enough that a million units are a few thousand
// statements, short enough that one statement stays a few hundred kilobytes.
constexpr int kRowsPerInsert = 200;

// The engine of a Core; the copy speaks to both stores below the records.
struct EngineOf : Core {
    static Engine* of(Core& core) { return core.*(&EngineOf::db); }
};

enum class Kind { Integer, Real, Text };

struct Column {
    std::string name;
    Kind kind;
};

struct Table {
    const char* name;
    std::vector<Column> columns;
    std::string id; // the integer primary key, empty when the key is a text
};

Kind kind_of(const std::string& type) {
    if (type.find("INT") != std::string::npos) return Kind::Integer;
    if (type.find("DOUB") != std::string::npos || type.find("REAL") != std::string::npos ||
        type.find("FLOA") != std::string::npos)
        return Kind::Real;
    return Kind::Text; // CHAR, VARCHAR and the date-times, which are kept as text
}

Table table_of(const char* name, const char* create) {
    Table t{name, {}, {}};
    for (const detail::CreateColumn& c : detail::create_columns(create)) {
        t.columns.push_back({c.name, kind_of(c.type)});
        if (c.primary && t.columns.back().kind == Kind::Integer) t.id = c.name;
    }
    return t;
}

// The six tables, then every table kept beside them, each with its columns
// as the texts that create them declare.
std::vector<Table> store_tables() {
    std::vector<Table> tables;
    for (const char* name : detail::kTableNames)
        tables.push_back(table_of(name, detail::create_text_of(detail::kSchemaText, name)));
    for (const detail::ExtraTable& t : detail::kExtraTables)
        tables.push_back(table_of(t.name, t.create));
    return tables;
}

// The table's name as a statement writes it: User is a keyword on the server,
// and the translation quotes it there.
std::string named(const Table& t) {
    return t.name;
}

// How the rows of one table travel from `from` into `to`'s transaction.
struct CopyState {
    const Table* table;
    Transaction* target;
    std::string insert; // the statement being filled
    int pending = 0;    // its rows
    int done = 0;       // rows of the whole copy written
    int total = 0;
    int rc = SQLITE_OK;
    const std::function<void(int, int)>* progress;
};

void flush(CopyState& s) {
    if (s.pending == 0 || s.rc != SQLITE_OK) return;
    s.insert += ';';
    s.rc = s.target->exec(s.insert.c_str());
    s.done += s.pending;
    s.pending = 0;
    s.insert.clear();
    if (s.rc == SQLITE_OK && *s.progress) (*s.progress)(s.done, s.total);
}

void append_number(std::string& out, double v) {
    char buf[32];
    // The shortest text that reads back as the same double.
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void read_copy_row(const Row& row, detail::RowContext& ctx) {
    CopyState& s = *static_cast<CopyState*>(ctx.out);
    if (s.rc != SQLITE_OK) return;
    if (s.pending == 0) {
        s.insert = "INSERT INTO " + named(*s.table) + " (";
        for (size_t i = 0; i < s.table->columns.size(); ++i)
            s.insert += (i ? "," : "") + s.table->columns[i].name;
        s.insert += ") VALUES ";
    } else {
        s.insert += ',';
    }
    detail::SqlWriter w(s.insert);
    s.insert += '(';
    for (size_t i = 0; i < s.table->columns.size(); ++i) {
        const int c = static_cast<int>(i);
        if (i > 0) s.insert += ',';
        if (row.is_null(c)) {
            s.insert += "NULL";
            continue;
        }
        switch (s.table->columns[i].kind) {
        case Kind::Integer:
            s.insert += std::to_string(row.int64(c));
            break;
        case Kind::Real:
            append_number(s.insert, row.real(c));
            break;
        case Kind::Text: {
            std::string text;
            row.text(c, text);
            w.text(text);
            break;
        }
        }
    }
    s.insert += ')';
    if (++s.pending == kRowsPerInsert) flush(s);
}

void read_int(const Row& row, detail::RowContext& ctx) {
    *static_cast<int64_t*>(ctx.out) = row.int64(0);
}

void read_sums(const Row& row, detail::RowContext& ctx) {
    auto& out = *static_cast<std::vector<double>*>(ctx.out);
    out.clear();
    for (int i = 0; i < row.columns(); ++i)
        out.push_back(row.real(i));
}

// One row: the count, the total of each numeric column and the total length in
// bytes of each text column, as the store's own client sees them (GBK on
// both engines: the server's texts are UTF-8 inside).
std::string digest_sql(const Table& t, bool server) {
    std::string sql = "SELECT COUNT(*)";
    for (const Column& c : t.columns) {
        if (c.kind != Kind::Text)
            sql += ",TOTAL(" + c.name + ")";
        else if (server)
            sql += ",TOTAL(OCTET_LENGTH(CONVERT_TO(" + c.name + ",'GBK')))";
        else
            sql += ",TOTAL(LENGTH(CAST(" + c.name + " AS BLOB)))";
    }
    return sql + " FROM " + named(t) + ";";
}

// -1 when it could not be read.
int digest(Engine* db, const Table& t, std::vector<double>& out) {
    detail::RowContext ctx{&out};
    out.clear();
    const int rc = detail::run_one_statement(db, digest_sql(t, db->server()), read_sums, ctx);
    return rc != SQLITE_OK ? rc : out.empty() ? SQLITE_ERROR : SQLITE_OK;
}

// Sums of doubles may come out a few units in the last place apart when the
// two engines add the same rows in different orders; any changed value is far
// above that.
bool same(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
}

std::string table_problem(const Table& t, const char* what) {
    return std::string(kTableWord) + t.name + what;
}

// The sequence the server numbers the table's new rows from, and the
// greatest id the table holds (NULL when empty).
std::string sequence_sql(const Table& t) {
    std::string table;
    for (const char* p = t.name; *p; ++p)
        table += static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p + 32 : *p);
    // User is a keyword: the server's table keeps its quoted, mixed-case name.
    if (table == "user") table = "\"User\"";
    std::string id;
    for (char c : t.id)
        id += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return "SELECT pg_get_serial_sequence('" + table + "','" + id + "'),MAX(" + t.id + ") FROM " + named(t) +
           ";";
}

struct Sequence {
    std::string name; // as the server quotes it; empty: none
    int64_t next = 1; // the id the next new row takes
};

void read_sequence(const Row& row, detail::RowContext& ctx) {
    Sequence& s = *static_cast<Sequence*>(ctx.out);
    row.text(0, s.name);
    s.next = row.is_null(1) ? 1 : std::max<int64_t>(row.int64(1) + 1, 1);
}

// The server numbers each table's new rows on from its greatest copied id (an
// empty table from 1). ALTER SEQUENCE ... RESTART, unlike setval(), belongs to
// the transaction: a restore that fails later, at its commit too, leaves the
// numbering as it was, and no till's next row collides with an id or skips.
int renumber(Engine* dst, Transaction& t, const Table& table) {
    Sequence s;
    detail::RowContext ctx{&s};
    if (int rc = detail::run_one_statement(dst, sequence_sql(table), read_sequence, ctx); rc != SQLITE_OK)
        return rc;
    if (s.name.empty()) return SQLITE_OK;
    return t.exec(("ALTER SEQUENCE " + s.name + " RESTART WITH " + std::to_string(s.next) + ";").c_str());
}

// Other tills may be using the server meanwhile. The restore's key waits for
// their write transactions under way and holds back new ones to our commit
// (kServerRestoreLock); the tables, locked against writes, hold back their
// statements written outside a transaction. Reads go on and see the old store
// until the commit, then the new one whole.
int lock_server_store(Transaction& t, const std::vector<Table>& tables) {
    if (int rc = t.exec(detail::kServerRestoreLock); rc != SQLITE_OK) return rc;
    std::string lock = "LOCK TABLE ";
    for (size_t i = 0; i < tables.size(); ++i)
        lock += (i ? "," : "") + named(tables[i]);
    lock += " IN EXCLUSIVE MODE;";
    return t.exec(lock.c_str());
}

} // namespace

int copy_store(Core& from, Core& to, const std::function<void(int done, int total)>& progress,
               std::string& problem) {
    problem.clear();
    Engine* src = EngineOf::of(from);
    Engine* dst = EngineOf::of(to);
    if (src == nullptr) return problem = kFromClosed, SQLITE_MISUSE;
    if (dst == nullptr) return problem = kToClosed, SQLITE_MISUSE;
    // Emptying the target first would empty the source as well.
    if (src == dst || src->identity() == dst->identity()) return problem = kSameStore, SQLITE_MISUSE;
    if (dst->read_only()) return problem = kToReadOnly, SQLITE_READONLY;
    // A target made by an older program gains the tables it lacks, as any
    // writable open gives them.
    if (int rc = detail::ensure_extra_tables(to, dst); rc != SQLITE_OK) return problem = kWriteFailed, rc;

    const std::vector<Table> tables = store_tables();
    ReadSnapshot snapshot(from);
    // A store from before a table: it has no rows of it.
    std::vector<bool> present(tables.size(), false);
    CopyState state{nullptr, nullptr, {}, 0, 0, 0, SQLITE_OK, &progress};
    for (size_t i = 0; i < tables.size(); ++i) {
        const int has = src->has_table(tables[i].name);
        if (has < 0)
            return problem = table_problem(tables[i], kReadFailed),
                   Core::last_error() ? Core::last_error() : SQLITE_ERROR;
        present[i] = has > 0;
        if (!present[i]) continue;
        int64_t n = 0;
        detail::RowContext ctx{&n};
        const int rc =
            detail::run_one_statement(src, "SELECT COUNT(*) FROM " + named(tables[i]) + ";", read_int, ctx);
        if (rc != SQLITE_OK) return problem = table_problem(tables[i], kReadFailed), rc;
        state.total += static_cast<int>(n);
    }
    if (progress) progress(0, state.total);

    Transaction t(to);
    state.target = &t;
    if (dst->server()) {
        if (int rc = lock_server_store(t, tables); rc != SQLITE_OK) return problem = kWriteFailed, rc;
    }
    for (size_t i = 0; i < tables.size(); ++i) {
        const Table& table = tables[i];
        if (int rc = t.exec(("DELETE FROM " + named(table) + ";").c_str()); rc != SQLITE_OK)
            return problem = table_problem(table, kWriteFailed), rc;
        if (!present[i]) continue;
        state.table = &table;
        std::string select = "SELECT ";
        for (size_t c = 0; c < table.columns.size(); ++c)
            select += (c ? "," : "") + table.columns[c].name;
        select += " FROM " + named(table);
        if (!table.id.empty()) select += " ORDER BY " + table.id;
        select += ';';
        detail::RowContext ctx{&state};
        const int rc = detail::run_one_statement(src, select, read_copy_row, ctx);
        if (rc != SQLITE_OK) return problem = table_problem(table, kReadFailed), rc;
        flush(state);
        if (state.rc != SQLITE_OK) return problem = table_problem(table, kWriteFailed), state.rc;
    }

    // Nothing of the old data goes until the new reads back the same.
    for (size_t i = 0; i < tables.size(); ++i) {
        const Table& table = tables[i];
        std::vector<double> a, b;
        if (present[i]) {
            if (int rc = digest(src, table, a); rc != SQLITE_OK)
                return problem = table_problem(table, kReadFailed), rc;
        } else {
            a.assign(table.columns.size() + 1, 0.0);
        }
        if (int rc = digest(dst, table, b); rc != SQLITE_OK)
            return problem = table_problem(table, kReadFailed), rc;
        bool equal = a.size() == b.size() && a[0] == b[0];
        for (size_t k = 1; equal && k < a.size(); ++k)
            equal = same(a[k], b[k]);
        if (!equal) return problem = table_problem(table, kDiffers), SQLITE_MISMATCH;
    }

    if (dst->server()) {
        for (const Table& table : tables) {
            if (table.id.empty()) continue;
            if (int rc = renumber(dst, t, table); rc != SQLITE_OK)
                return problem = table_problem(table, kWriteFailed), rc;
        }
    }
    if (int rc = t.commit(); rc != SQLITE_OK) return problem = kWriteFailed, rc;
    // A server plans by its statistics: without fresh ones after a whole
    // store arrived, the counter's first statements read far more than they
    // need. Only a speed matter: a failure here leaves the copy as it is.
    if (dst->server()) dst->exec("ANALYZE;");
    return SQLITE_OK;
}

} // namespace vorn

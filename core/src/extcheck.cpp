// Whether the tables kept beside the six answer, for the checks a backup and a
// restore make before a file may stand as the shop's data.
#include <string>
#include <vector>

#include "engine.h"

#include "createcolumns.h"
#include "extschema.h"
#include "onestatement.h"
#include "readers.h"
#include "vorn/extcheck.h"

namespace vorn {

namespace {

// The column names of a CREATE TABLE text, table constraints left out.
std::vector<std::string> columns_of(const char* create) {
    std::vector<std::string> columns;
    for (const detail::CreateColumn& c : detail::create_columns(create))
        columns.push_back(c.name);
    return columns;
}

void read_nothing(const Row&, detail::RowContext&) {}

} // namespace

int CheckedCore::check_extra_tables() {
    if (db == nullptr) return SQLITE_MISUSE;
    for (const detail::ExtraTable& t : detail::kExtraTables) {
        const int present = db->has_table(t.name);
        if (present < 0) return last_error() != SQLITE_OK ? last_error() : SQLITE_ERROR;
        std::string sql;
        int rc = SQLITE_OK;
        // A store made before the table: it gains it at its first writable open.
        if (present == 0) continue;
        const std::vector<std::string> columns = columns_of(t.create);
        if (columns.empty()) return SQLITE_INTERNAL;
        // Every column named, asked by the key as the six are: a table that lost
        // a column, or is some other table under its name, does not answer.
        sql = "SELECT ";
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) sql += ',';
            sql += columns[i];
        }
        sql += " FROM ";
        sql += t.name;
        sql += " WHERE " + columns.front() + "=0;";
        detail::RowContext none{nullptr};
        rc = detail::run_one_statement(db, sql, read_nothing, none);
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

} // namespace vorn

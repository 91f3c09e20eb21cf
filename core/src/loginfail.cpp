// Refused password checks: table LoginFail (created by the extra schema step).
#include <string>
#include <vector>

#include "engine.h"

#include "onestatement.h"
#include "sqlwriter.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

namespace {

std::string column_text(const Row& s, int i) {
    const auto* t = s.text(i);
    return t ? std::string(t, static_cast<size_t>(s.bytes(i))) : std::string();
}

void read_login_fail(const Row& s, detail::RowContext& ctx) {
    if (s.columns() < 4) return;
    LoginFailRec r;
    r.FLFi_Id = s.integer(0);
    r.FLFs_Name = column_text(s, 1);
    r.FLFt_Time = parse_time(column_text(s, 2).c_str());
    r.FLFs_Place = column_text(s, 3);
    static_cast<std::vector<LoginFailRec>*>(ctx.out)->push_back(std::move(r));
    ++ctx.count;
}

} // namespace

int Core::insert_login_fail(const LoginFailRec& rec) {
    std::string sql;
    detail::SqlWriter w(sql);
    w.raw("INSERT INTO LoginFail VALUES(NULL,").text(rec.FLFs_Name).raw(",").time(rec.FLFt_Time).raw(",");
    w.text(rec.FLFs_Place).raw(");");
    // A guesser must not be able to grow the store without bound.
    w.raw("DELETE FROM LoginFail WHERE FLFi_Id<=(SELECT MAX(FLFi_Id) FROM LoginFail)-")
        .integer(kLoginFailKept);
    w.raw(";");
    Transaction t(*this);
    if (t.exec(sql.c_str()) != SQLITE_OK || t.commit() != SQLITE_OK) return -1;
    return 1;
}

int Core::select_login_fail(std::vector<LoginFailRec>& out, int limit) {
    out.clear();
    if (limit <= 0) return 0;
    const std::string sql =
        "SELECT * FROM LoginFail ORDER BY FLFi_Id DESC LIMIT " + std::to_string(limit) + ";";
    std::vector<LoginFailRec> rows;
    detail::RowContext ctx{&rows};
    if (detail::run_one_statement(db, sql, read_login_fail, ctx) != SQLITE_OK) return -1;
    out = std::move(rows);
    return static_cast<int>(out.size());
}

} // namespace vorn

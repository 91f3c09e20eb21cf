#include "onestatement.h"

#include "engine.h"
#include "lasterror.h"

namespace vorn::detail {

int run_one_statement(Engine* db, const std::string& sql, RowReader read, RowContext& ctx) {
    if (db == nullptr) return note_result(SQLITE_MISUSE);
    return note_result(db->query(sql, read, ctx));
}

} // namespace vorn::detail

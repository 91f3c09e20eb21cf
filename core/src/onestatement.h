// The one way the store runs a statement built around caller text.
#pragma once

#include <string>

#include "readers.h"


namespace vorn::detail {

class Engine;

// The program's own key of the store file, for a shop without a passphrase.
std::string own_key();

// Runs sql, which must hold exactly one statement, handing each result row to
// read. SQLITE_OK or the code of the failure; text that carries a further
// statement after the first (blanks, comments and stray semicolons are not one)
// is refused with SQLITE_ERROR before anything runs. A closed store gives
// SQLITE_MISUSE.
int run_one_statement(Engine* db, const std::string& sql, RowReader read, RowContext& ctx);

} // namespace vorn::detail

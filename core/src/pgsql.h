// SQL for the PostgreSQL engine: every text the program writes is SQLite's
// dialect; the server engine passes each statement through translate() before
// the server sees it, and creates its tables and helper functions from the
// texts here. Pure text work, no database library.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn::detail::pg {

// The statements of a text, split at semicolons outside '...' strings, "..."
// identifiers and -- / /* */ comments; blank pieces dropped, each without its
// trailing ';'.
std::vector<std::string> split_statements(std::string_view sql);

// BEGIN [DEFERRED|IMMEDIATE|EXCLUSIVE] [TRANSACTION], COMMIT, END, ROLLBACK
// [TRANSACTION]; not ROLLBACK TO, SAVEPOINT or RELEASE, which belong inside a
// transaction.
bool is_transaction_control(std::string_view statement);

// One SQLite statement as PostgreSQL takes it. Quoted text is never changed;
// a statement nothing applies to comes back unchanged; a PRAGMA becomes the
// empty string (the engine skips empty statements).
std::string translate(std::string_view statement);

// The functions the translated texts call on the server (strftime, total, ...),
// re-runnable.
extern const char* const kServerFunctions;

// The store's schema text (tables and default rows) translated for the server,
// without BEGIN/COMMIT: the engine runs it in a transaction of its own.
std::string server_schema(const char* sqlite_schema_text);

} // namespace vorn::detail::pg

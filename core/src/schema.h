#pragma once

namespace vorn::detail {

// The text that creates a new store: tables and default rows in one transaction.
extern const char* const kSchemaText;
// Indexes and cache size the program's queries rely on (not part of the file format).
extern const char* const kIndexText;

} // namespace vorn::detail

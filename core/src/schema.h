#pragma once

namespace vorn::detail {

// The text that creates a new store: tables and default rows in one transaction.
extern const char* const kSchemaText;
// Cache size and indexes the program's queries rely on (not part of the file
// format). The pragma works on any store; the indexes need one we may write.
extern const char* const kCacheText;
extern const char* const kIndexText;
// What the server needs besides them.
extern const char* const kServerIndexText;
// The names kIndexText creates, in its order.
extern const char* const kIndexNames[6];

} // namespace vorn::detail

#include "pgsql.h"

namespace vorn::detail::pg {

std::vector<std::string> split_statements(std::string_view) { return {}; }
bool is_transaction_control(std::string_view) { return false; }
std::string translate(std::string_view statement) { return std::string(statement); }
const char* const kServerFunctions = "";
std::string server_schema(const char*) { return {}; }

} // namespace vorn::detail::pg

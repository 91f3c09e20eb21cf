// Reading a server result row: libpq hands every value over as text.
#include <libpq-fe.h>

#include <cerrno>
#include <cstdlib>

#include "engine.h"

namespace vorn::detail {

int Row::server_columns() const { return PQnfields(r_); }

const char* Row::server_text(int i) const {
    return PQgetisnull(r_, row_, i) ? nullptr : PQgetvalue(r_, row_, i);
}

int Row::server_bytes(int i) const { return PQgetlength(r_, row_, i); }

// As the file reads a number out of a text column: its leading number, 0 for
// none. A sum of integers comes back as numeric ("12") and an average with
// decimals ("1.5000"), so both forms are read.
int64_t Row::server_int64(int i) const {
    const char* t = server_text(i);
    if (t == nullptr) return 0;
    char* end = nullptr;
    const long long v = std::strtoll(t, &end, 10);
    if (end != nullptr && (*end == '.' || *end == 'e' || *end == 'E')) return static_cast<int64_t>(std::strtod(t, nullptr));
    return v;
}

double Row::server_real(int i) const {
    const char* t = server_text(i);
    return t == nullptr ? 0.0 : std::strtod(t, nullptr);
}

} // namespace vorn::detail

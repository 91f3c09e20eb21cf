// The statement of each record type and operation, appended to a text.
#pragma once

#include <string>

#include "vorn/records.h"

namespace vorn::detail {

#define VORN_DECLARE_STATEMENTS(Rec)                                                                         \
    void append_insert(const Rec& r, std::string& s);                                                      \
    void append_update(const Rec& r, std::string& s);                                                      \
    void append_delete(const Rec& r, std::string& s);

VORN_DECLARE_STATEMENTS(SRec)
VORN_DECLARE_STATEMENTS(TRec)
VORN_DECLARE_STATEMENTS(SPRec)
VORN_DECLARE_STATEMENTS(URec)
VORN_DECLARE_STATEMENTS(ARec)
VORN_DECLARE_STATEMENTS(VIPRec)
#undef VORN_DECLARE_STATEMENTS

} // namespace vorn::detail

// The store as a backup or a restore looks at it: besides what Core answers, it
// tells whether the tables the program keeps beside the six answer.
#pragma once

#include "vorn/core.h"

namespace vorn {

class VORNCORE_API CheckedCore : public Core {
public:
    // Whether the tables the program keeps beside the six (the journal's, ...)
    // answer where the open store holds them: each asked by its key with every
    // column named, as a backup or restore asks the six. A store made before a
    // table lacks it, and that is sound: it gains the table at its first
    // writable open. 0, or the SQLite code of the first that does not answer (a
    // lost column: SQLITE_ERROR).
    int check_extra_tables();
};

} // namespace vorn

// The copy sequence of backup and restore: the store closed, its file copied,
// the store opened again. No widgets: the shop page runs it under the busy
// window and words the outcome.
#pragma once

#include <QString>
#include <functional>

namespace vorn {
class Core;
}

namespace vorn::ui::backup {

enum class Outcome {
    Done,   // copied, the store open again
    Failed, // nothing copied; the store open again on its unchanged file
    Fatal,  // the store could not be opened again: the program must close
};

// Opens the store again after its file was copied; true once it answers a
// query. Tests replace it to walk the program-closing path.
using Reopen = std::function<bool(vorn::Core&)>;
// open(), the indexes the program's queries rely on (a restored file may come
// from a store that lacks them), then a read of the accounts and settings. A
// store that fails any of it is closed again.
bool reopenStore(vorn::Core& core);

// Copies the store's file in folder (the current directory when the command
// began) to target while the store is closed. The current directory is set
// back to folder before every reopen, since the store opens "__vorn__" there.
Outcome backupStore(vorn::Core& core, const QString& folder, const QString& target,
                    const Reopen& reopen = reopenStore);

// Replaces the store's file in folder with source. Source must be one of our
// stores (it opens with the store's key and holds the store's tables) or
// nothing happens. The replaced file is kept aside until the restored store
// answers; if it does not, the old file is put back and opened again.
Outcome restoreStore(vorn::Core& core, const QString& folder, const QString& source,
                     const Reopen& reopen = reopenStore);

} // namespace vorn::ui::backup

#include "backupjob.h"

#include <QDir>
#include <QFileInfo>

#include "backupfiles.h"
#include "storecheck.h"
#include "vorn/core.h"

namespace vorn::ui::backup {

namespace {

// The file dialog or the store check may have moved the current directory; the
// store must find its own file again.
Outcome reopenIn(vorn::Core& core, const QString& folder, const Reopen& reopen, Outcome ifOpen) {
    QDir::setCurrent(folder);
    if (core.is_open()) core.close();
    return reopen(core) ? ifOpen : Outcome::Fatal;
}

} // namespace

bool reopenStore(vorn::Core& core) {
    bool ok = core.open() == 0;
    ok = ok && core.ensure_indexes() == 0;
    ok = ok && core.get_urec_count(nullptr) >= 0 && core.get_arec_count(nullptr) >= 0;
    if (!ok && core.is_open()) core.close();
    return ok;
}

Outcome backupStore(vorn::Core& core, const QString& folder, const QString& target, const Reopen& reopen) {
    // A store that would not close cleanly may still have a write under way: copying
    // it then could give a torn backup, so nothing is copied.
    if (core.close() != 0) return reopenIn(core, folder, reopen, Outcome::Failed);
    const bool copied = replaceWithCopy(storeFile(folder), target);
    return reopenIn(core, folder, reopen, copied ? Outcome::Done : Outcome::Failed);
}

Outcome restoreStore(vorn::Core& core, const QString& folder, const QString& source, const Reopen& reopen) {
    const QString target = storeFile(folder);
    // The candidate is copied beside the store and checked there, before the store
    // is touched: a missing file, a foreign file or a store of another key is
    // refused while the shop's data is still open and whole.
    StagedStore staged(folder);
    const bool good = staged.stage(source) && holdsStore(staged.folder());
    QDir::setCurrent(folder);
    if (!good) return Outcome::Failed;

    if (core.close() != 0) return reopenIn(core, folder, reopen, Outcome::Failed);
    RollbackCopy previous;
    if (!previous.keep(target) || !staged.moveOver(target)) {
        previous.discard();
        return reopenIn(core, folder, reopen, Outcome::Failed);
    }
    QDir::setCurrent(folder);
    if (reopen(core)) {
        previous.discard();
        return Outcome::Done;
    }
    // The restored store does not answer: the shop's own file goes back.
    if (core.is_open()) core.close();
    if (!previous.putBack()) return Outcome::Fatal;
    return reopenIn(core, folder, reopen, Outcome::Failed);
}

} // namespace vorn::ui::backup

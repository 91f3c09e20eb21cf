// The copy sequence of backup and restore: the store closed, its file copied,
// the store opened again. No widgets: the shop page runs it under the busy
// window and words the outcome.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "backupfiles.h"
#include "storecheck.h"

namespace vorn {
class Core;
}

namespace vorn::ui::backup {

enum class Outcome {
    Done,   // copied, the store open again
    Failed, // nothing copied; the store open again on its unchanged file
    Fatal,  // the store could not be opened again: the program must close
};

// What a failure was about, for the page's words.
struct Details {
    bool diskFull = false;                      // the file system ran out of space
    StoreVerdict verdict = StoreVerdict::Sound; // the check of the candidate or of the written backup
    std::string problem;                        // a copy between engines: which table failed (GBK)
};

// Rows copied so far and rows in all, while a store on a server is copied.
using CopyProgress = std::function<void(int done, int total)>;

// Opens the store again after its file was copied; true once it answers a
// query. Tests replace it to walk the program-closing path.
using Reopen = std::function<bool(vorn::Core&)>;
// open(), the indexes the program's queries rely on (a restored file may come
// from a store that lacks them), then a read of the accounts and settings. A
// store that fails any of it is closed again.
bool reopenStore(vorn::Core& core);

// Copies the store's file in folder (the current directory when the command
// began) to target while the store is closed. The copy is written beside the
// target, opened under the store's key and read in full (PRAGMA quick_check)
// before it replaces target: a copy the medium spoiled never passes for a
// backup, and the previous backup stays. The current directory is set back to
// folder before every reopen, since the store opens "__vorn__" there.
Outcome backupStore(vorn::Core& core, const QString& folder, const QString& target,
                    const Reopen& reopen = reopenStore, Details* details = nullptr);

// The same for a store on a server, which has no file to copy and stays open:
// the whole shop is copied into a new encrypted store file of the usual kind
// (under the store's key), written and checked beside target (the copy
// compares every table before it commits; the file is then read in full)
// before it replaces target. Done or Failed, never Fatal.
Outcome backupServer(vorn::Core& core, const QString& folder, const QString& target,
                     const CopyProgress& progress = {}, Details* details = nullptr);

// Replacing the store's file in folder with source, in two steps so that the
// page can ask for the key of a file that does not open under the store's own.
//
// stage() copies source into a private folder beside the store and checks it
// while the shop's data is still open and whole: a missing file, something
// that is no regular file, a foreign file, a damaged or incomplete store or
// one without users is refused there. The store's key is tried, then the
// program's own; tryPassphrase() tries another. commit() then replaces the
// store's file (through a symbolic link, the file it leads to) and reopens it
// under the key that fitted. The replaced file is kept aside until the restored
// store answers and reads back whole; if it does not, the old file and key are
// put back and opened again.
class Restore {
public:
    Restore(vorn::Core& core, const QString& folder, const QString& source);
    ~Restore();
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

    StoreVerdict stage(Details* details = nullptr);
    StoreVerdict tryPassphrase(const std::string& passphrase);
    // After an Unreadable verdict: whether the file may be a store of ours under
    // a key we do not know, so that asking for one makes sense: whole pages that
    // look encrypted. A plain SQLite file, text, or a file cut short is not.
    bool mayBeKeyed() const;
    // The key the staged file opened under (empty: the program's own).
    const std::string& passphrase() const { return passphrase_; }
    // Only after stage() or tryPassphrase() found the candidate sound; else Failed.
    // A store on a server gets the candidate's content in one transaction,
    // compared table by table before the old rows go; it stays open, and a
    // failure leaves it as it was (Failed, never Fatal).
    Outcome commit(const Reopen& reopen = reopenStore);
    // Hears the rows copied into a server as commit() goes.
    void setProgress(CopyProgress progress) { progress_ = std::move(progress); }
    // Why a copy into a server failed (GBK), empty otherwise.
    const std::string& problem() const { return problem_; }

private:
    vorn::Core& core_;
    QString folder_;
    QString source_;
    QString target_; // the store's file, its links followed
    std::string passphrase_;
    StoreVerdict verdict_ = StoreVerdict::Missing;
    std::unique_ptr<StagedStore> staged_;
    CopyProgress progress_;
    std::string problem_;

    Outcome commitToServer();
};

// stage() and, when the candidate is sound, commit(): without asking for a key.
Outcome restoreStore(vorn::Core& core, const QString& folder, const QString& source,
                     const Reopen& reopen = reopenStore, Details* details = nullptr);

} // namespace vorn::ui::backup

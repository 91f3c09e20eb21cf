// The file work of backup and restore, without widgets and without the store.
//
// A backup or a restored store is complete or absent: every copy is written to a
// temporary file in the target's own folder, flushed to disk, checked against
// the source's size and only then renamed over the target, so a failed or
// interrupted copy leaves whatever the target held before. Only the named file
// is ever copied; what lies beside it (the running program's lock file, a
// journal) is neither copied nor touched.
//
// A source is read only when it is a regular file (a FIFO named like a backup
// would block its open for good), and a source that stops answering (a hung
// network share, a failing USB stick) is given up after sourceWaitMs().
#pragma once

#include <QString>
#include <functional>
#include <sys/types.h>

namespace vorn::ui::backup {

// The store's file in a folder ("__vorn__") and its quick backup (".__vorn__").
QString storeFile(const QString& folder);
QString quickBackupFile(const QString& folder);

// The file the store's name stands for: where "__vorn__" is a symbolic link, the
// file it leads to (a restore writes there and leaves the link alone); else the
// name itself, made absolute. Empty for a link that leads nowhere.
QString resolvedStoreFile(const QString& folder);

// Why a copy failed: a sentence for a log or a test, and the operating system's
// error number of the failing call (0 when none applies).
struct CopyFailure {
    QString text;
    int error = 0;
    // The file system is full (or the user's quota is used up).
    bool diskFull() const;
};

// Called after each piece written with the bytes copied so far; false stops the
// copy there (as an interruption would).
using CopyStep = std::function<bool(qint64 copied)>;

// Replaces target with a complete copy of source, or leaves target as it was and
// returns false (why, when given, says what failed). A missing target is created.
bool replaceWithCopy(const QString& source, const QString& target, CopyFailure* why = nullptr,
                     const CopyStep& step = {});

// How long a copy waits for its source to open or to give its next piece before
// it gives up (the reading thread is left behind and ends whenever the system
// lets it). A whole piece from a slow stick takes well under a second.
int sourceWaitMs();
void setSourceWaitMs(int ms);

// Tests stand in for the reading of a source (a share that never answers) and
// for the writing of a copy (a full disk); an empty function restores read(2)
// and write(2).
using SourceRead = std::function<ssize_t(int fd, char* buffer, size_t size)>;
void setSourceReadForTests(SourceRead read);
using TargetWrite = std::function<ssize_t(int fd, const char* data, size_t size)>;
void setTargetWriteForTests(TargetWrite write);

// The store's present content kept aside while a restore replaces it, so it can
// be put back if the restored store does not answer. Kept as a second name of
// the same file (a hard link) where the file system allows, else as a copy; in
// the file's folder, under a name the program never uses for anything else.
class RollbackCopy {
public:
    RollbackCopy() = default;
    // Whatever happens, a copy still kept stays on disk: it may be the only good one.
    ~RollbackCopy() = default;
    RollbackCopy(const RollbackCopy&) = delete;
    RollbackCopy& operator=(const RollbackCopy&) = delete;

    // Keeps file's content aside; false if it could not (nothing was changed).
    bool keep(const QString& file);
    // Renames the kept content over the file; false if it could not (the copy stays).
    bool putBack();
    // The replacement is good: the kept content goes.
    void discard();

    bool isKept() const { return !copy_.isEmpty(); }
    QString copyPath() const { return copy_; }

private:
    QString file_;
    QString copy_;
};

// What a backup or restore killed midway (power cut, crash) can leave: a
// restore's or a backup's staging folder and half-written copies, all under
// hidden names of their own, in the store's folder and in the folders the
// store's notes name (a backup to a USB stick, the folder a linked store lives
// in). Removes them and returns how many it removed. Call only while holding
// the store's lock, when no copy of this program can be running. A rollback
// copy stays: it may hold the only good content.
int sweepInterruptedCopies(const QString& storeFolder);

// A private folder for a store file that is being written and checked before
// it takes its place: a restore's candidate (beside the store) or a backup
// (beside its target). The file inside has the store's own name, so the store
// can open it for the check. The folder and what is left in it go with the
// object. A folder made anywhere but the store's folder is noted there first,
// so the sweep at the next start finds it if the program dies meanwhile.
class StagedStore {
public:
    enum class Purpose { Restore, Backup };
    // host: where the folder is made; storeFolder: where the store (and its note) is.
    StagedStore(const QString& host, const QString& storeFolder, Purpose purpose = Purpose::Restore);
    explicit StagedStore(const QString& storeFolder) : StagedStore(storeFolder, storeFolder) {}
    ~StagedStore();
    StagedStore(const StagedStore&) = delete;
    StagedStore& operator=(const StagedStore&) = delete;

    // Copies source in; false (with why) if the folder or the copy failed.
    bool stage(const QString& source, CopyFailure* why = nullptr, const CopyStep& step = {});
    // Only makes the folder, for a store written into it rather than copied
    // (a backup of a store on a server); false (with why) if it failed.
    bool prepare(CopyFailure* why = nullptr);
    // The private folder and the staged file in it (empty before stage()).
    QString folder() const { return folder_; }
    QString file() const;
    // Renames the staged file over target (atomically); false if it could not.
    bool moveOver(const QString& target);

private:
    QString host_;
    QString storeFolder_;
    Purpose purpose_;
    QString folder_;
    bool noted_ = false;
};

} // namespace vorn::ui::backup

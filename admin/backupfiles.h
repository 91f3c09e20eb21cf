// The file work of backup and restore, without widgets and without the store.
//
// A backup or a restored store is complete or absent: every copy is written to a
// temporary file in the target's own folder, flushed to disk, checked against
// the source's size and only then renamed over the target, so a failed or
// interrupted copy leaves whatever the target held before. Only the named file
// is ever copied; what lies beside it (the running program's lock file, a
// journal) is neither copied nor touched.
#pragma once

#include <QString>
#include <functional>

namespace vorn::ui::backup {

// The store's file in a folder ("__vorn__") and its quick backup (".__vorn__").
QString storeFile(const QString& folder);
QString quickBackupFile(const QString& folder);

// Called after each piece written with the bytes copied so far; false stops the
// copy there (as an interruption would).
using CopyStep = std::function<bool(qint64 copied)>;

// Replaces target with a complete copy of source, or leaves target as it was and
// returns false (why, when given, says what failed). A missing target is created.
bool replaceWithCopy(const QString& source, const QString& target, QString* why = nullptr,
                     const CopyStep& step = {});

// The store's present content kept aside while a restore replaces it, so it can
// be put back if the restored store does not answer. Kept as a second name of
// the same file (a hard link) where the file system allows, else as a copy; in
// the store's folder, under a name the program never uses for anything else.
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

// What a backup or restore killed midway (power cut, crash) can leave in the
// store's folder: a restore's staging folder and half-written copies of the
// store or of its quick backup, all under hidden names of their own. Removes
// them and returns how many it removed. Call only while holding the folder's
// lock, when no copy of this program can be running. A rollback copy stays: it
// may hold the only good content.
int sweepInterruptedCopies(const QString& storeFolder);

// A candidate store copied into a private folder beside the store, under the
// store's own file name, so it can be opened and checked before it replaces
// anything. The folder and what is left in it go with the object.
class StagedStore {
public:
    explicit StagedStore(const QString& storeFolder);
    ~StagedStore();
    StagedStore(const StagedStore&) = delete;
    StagedStore& operator=(const StagedStore&) = delete;

    // Copies source in; false (with why) if the folder or the copy failed.
    bool stage(const QString& source, QString* why = nullptr, const CopyStep& step = {});
    // The private folder and the staged file in it (empty before stage()).
    QString folder() const { return folder_; }
    QString file() const;
    // Renames the staged file over target (atomically); false if it could not.
    bool moveOver(const QString& target);

private:
    QString storeFolder_;
    QString folder_;
};

} // namespace vorn::ui::backup

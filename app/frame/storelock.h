// One program per data directory. The program is single-user: a second one on
// the same store would fail its writes on the other's lock, or worse, work on
// data the first one is about to overwrite (a restore). A lock file beside the
// store keeps the second one out with a clear message.
//
// A lock file outlives its program when the program dies: a power cut leaves it
// empty or half written, a data folder copied to a new till brings the old
// till's lock along. Such a lock must never keep the program out for good, so
// a lock is honoured only while its owner can be shown alive on this host.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QLockFile;

namespace vorn::ui {

class StoreLock {
public:
    enum class Refusal {
        None,
        Busy,        // a live program on this host holds the lock
        NotWritable, // the directory takes no new file (read-only share or medium)
        Failed,      // the lock file could not be made or taken over otherwise
    };

    // Takes the lock of the data directory `dir`; nullptr when it cannot be
    // had, with the reason in `why` and its kind in `refusal`. A lock whose
    // owner cannot be shown alive on this host is taken over.
    static std::unique_ptr<StoreLock> acquire(const QString& dir, QString* why, Refusal* refusal = nullptr);
    ~StoreLock();

    static QString fileName() { return QStringLiteral("__vorn__.lock"); }

    // Whether the lock file at `path` belongs to a program that is still
    // running on this host: one holding the file's lock, or one whose process
    // id, program name, host and boot the file names. An empty, garbled or
    // foreign file names no such program.
    static bool ownerAlive(const QString& path);

private:
    explicit StoreLock(std::unique_ptr<QLockFile> file);
    std::unique_ptr<QLockFile> file_;
};

// Whether new files can be made in `dir`. The start-up asks it before taking
// the lock; tests put another answer in, since root (who runs them) may write
// into any folder whatever its mode says.
using DirWritableCheck = std::function<bool(const QString& dir)>;
bool dirWritable(const QString& dir);
void setDirWritableCheck(DirWritableCheck check); // empty: the real check again

// How the program may use the store in `dir`: with the lock held; or, where
// the directory takes no new file (a read-only share or medium, opened to look
// at it), read-only and without the lock, since nobody can write there either;
// or not at all, with the reason in `why`.
struct StoreClaim {
    std::unique_ptr<StoreLock> lock;
    bool readOnly = false;
    QString why;
    bool usable() const { return lock || readOnly; }
};
StoreClaim claimStore(const QString& dir);

} // namespace vorn::ui

// One program per data directory. The program is single-user: a second one on
// the same store would fail its writes on the other's lock, or worse, work on
// data the first one is about to overwrite (a restore). A lock file beside the
// store keeps the second one out with a clear message.
#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace vorn::ui {

class StoreLock {
public:
    // Takes the lock of the data directory `dir`; nullptr when another running
    // program holds it (or the lock file cannot be written), with the reason in
    // `why`. A lock left by a program that died is taken over.
    static std::unique_ptr<StoreLock> acquire(const QString& dir, QString* why);
    ~StoreLock();

    static QString fileName() { return QStringLiteral("__vorn__.lock"); }

private:
    explicit StoreLock(std::unique_ptr<QLockFile> file);
    std::unique_ptr<QLockFile> file_;
};

} // namespace vorn::ui

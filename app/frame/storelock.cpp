#include "frame/storelock.h"

#include <QDir>
#include <QLockFile>

namespace vorn::ui {

StoreLock::StoreLock(std::unique_ptr<QLockFile> file) : file_(std::move(file)) {}

StoreLock::~StoreLock() = default;

std::unique_ptr<StoreLock> StoreLock::acquire(const QString& dir, QString* why) {
    auto file = std::make_unique<QLockFile>(QDir(dir).absoluteFilePath(fileName()));
    // Never stale by age: a shop keeps the program open for days. A lock whose
    // program is gone is still recognised (by its process id) and taken over.
    file->setStaleLockTime(0);
    if (file->tryLock(0)) return std::unique_ptr<StoreLock>(new StoreLock(std::move(file)));
    if (why) {
        if (file->error() == QLockFile::LockFailedError) {
            *why = QStringLiteral("另一个程序正在使用这个数据目录中的数据库，请先关闭它，再启动本程序");
        } else {
            *why = QStringLiteral("无法在数据目录\"%1\"中建立锁文件，请检查该目录的写入权限")
                       .arg(QDir::toNativeSeparators(QDir(dir).absolutePath()));
        }
    }
    return nullptr;
}

} // namespace vorn::ui

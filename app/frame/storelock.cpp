#include "frame/storelock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn::ui {

namespace {

// A file descriptor closed on every way out.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Enough for what a lock file holds: a process id, a program name, a host
// name and two ids. Anything longer is not one of ours.
constexpr qint64 kLockFileLimit = 4096;

QByteArray readAll(int fd) {
    QByteArray data;
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        data.append(buf, n);
        if (data.size() > kLockFileLimit) break;
    }
    return data;
}

// The name of the program running as `pid` (the file name of its executable),
// empty when this host does not tell.
QString programOf(qint64 pid) {
    const QByteArray link = "/proc/" + QByteArray::number(pid) + "/exe";
    QByteArray target(4096, '\0');
    const ssize_t n = ::readlink(link.constData(), target.data(), static_cast<size_t>(target.size()));
    if (n <= 0) return QString();
    target.truncate(n);
    // A program updated while it runs still runs.
    static const QByteArray deleted = " (deleted)";
    if (target.endsWith(deleted)) target.chop(deleted.size());
    return QFileInfo(QFile::decodeName(target)).fileName();
}

bool processRunning(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Whether some process holds the lock of the open file (as the owner of a lock
// file does for as long as it runs).
bool heldByAnyone(int fd) {
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

// What the lock file names, read the way it is written: one item a line.
bool namesLiveProgram(const QByteArray& data) {
    const QList<QByteArray> lines = data.split('\n');
    if (lines.size() < 3) return false;
    bool ok = false;
    const qint64 pid = lines[0].toLongLong(&ok);
    if (!ok || pid <= 0) return false;
    if (QString::fromUtf8(lines[2]) != QSysInfo::machineHostName()) return false;
    // Another machine of the same name, or this one before a restart: the ids
    // the file carries (where it does) tell.
    if (lines.size() > 3 && !lines[3].isEmpty() && lines[3] != QSysInfo::machineUniqueId()) return false;
    if (lines.size() > 4 && !lines[4].isEmpty() && lines[4] != QSysInfo::bootUniqueId()) return false;
    if (!processRunning(pid)) return false;
    // The process id may have been handed to another program since; where the
    // host does not tell which program runs under it, it counts as ours.
    const QString named = QString::fromUtf8(lines[1]);
    const QString running = programOf(pid);
    return named.isEmpty() || running.isEmpty() || running == named;
}

enum class Removal { Removed, OwnerAlive, Refused, NotWritable };

// Removes the lock file at `path` unless its owner is alive. The file's own
// lock is held meanwhile, so two programs starting at once cannot both judge
// it dead, and a program that just made it (and holds that lock) is never
// judged dead by an empty file.
Removal removeDeadLock(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    Fd fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) return errno == ENOENT ? Removal::Removed : Removal::Refused;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return Removal::OwnerAlive;
    struct stat opened {
    }, named{};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return Removal::Refused;
    // Replaced meanwhile by a program that took it over: judge the new one.
    if (::stat(name.constData(), &named) != 0 || named.st_ino != opened.st_ino ||
        named.st_dev != opened.st_dev)
        return Removal::OwnerAlive;
    if (namesLiveProgram(readAll(fd.get()))) return Removal::OwnerAlive;
    if (::unlink(name.constData()) == 0) return Removal::Removed;
    return errno == EACCES || errno == EPERM || errno == EROFS ? Removal::NotWritable : Removal::Refused;
}

QString busyText() {
    return QStringLiteral("另一个程序正在使用这个数据目录中的数据库，请先关闭它，再启动本程序");
}

QString failedText(const QString& dir) {
    return QStringLiteral("无法在数据目录\"%1\"中建立锁文件，请检查该目录的写入权限")
        .arg(QDir::toNativeSeparators(QDir(dir).absolutePath()));
}

DirWritableCheck& writableCheck() {
    static DirWritableCheck check;
    return check;
}

} // namespace

StoreLock::StoreLock(std::unique_ptr<QLockFile> file) : file_(std::move(file)) {}

StoreLock::~StoreLock() = default;

bool StoreLock::ownerAlive(const QString& path) {
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) return false;
    return heldByAnyone(fd.get()) || namesLiveProgram(readAll(fd.get()));
}

std::unique_ptr<StoreLock> StoreLock::acquire(const QString& dir, QString* why, Refusal* refusal) {
    const QString path = QDir(dir).absoluteFilePath(fileName());
    auto refuse = [&](Refusal kind, const QString& text) -> std::unique_ptr<StoreLock> {
        if (why) *why = text;
        if (refusal) *refusal = kind;
        return nullptr;
    };
    auto file = std::make_unique<QLockFile>(path);
    // Never stale by age: a shop keeps the program open for days. Whether its
    // owner still runs is what counts, and that is judged here.
    file->setStaleLockTime(0);
    // A dead lock is removed before the next try; a program that starts at the
    // same moment may win that try, and is then alive. Two rounds suffice for
    // that; a few more cover a lock file that keeps coming back.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (file->tryLock(0)) {
            if (refusal) *refusal = Refusal::None;
            return std::unique_ptr<StoreLock>(new StoreLock(std::move(file)));
        }
        switch (file->error()) {
        case QLockFile::LockFailedError:
            break;
        case QLockFile::PermissionError:
            return refuse(Refusal::NotWritable, failedText(dir));
        default:
            return refuse(Refusal::Failed, failedText(dir));
        }
        switch (removeDeadLock(path)) {
        case Removal::Removed:
            continue;
        case Removal::OwnerAlive:
            return refuse(Refusal::Busy, busyText());
        case Removal::NotWritable:
            return refuse(Refusal::NotWritable, failedText(dir));
        case Removal::Refused:
            return refuse(Refusal::Failed, failedText(dir));
        }
    }
    return refuse(Refusal::Busy, busyText());
}

bool dirWritable(const QString& dir) {
    if (const DirWritableCheck& check = writableCheck()) return check(dir);
    return ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0;
}

void setDirWritableCheck(DirWritableCheck check) {
    writableCheck() = std::move(check);
}

StoreClaim claimStore(const QString& dir) {
    StoreClaim claim;
    if (!dirWritable(dir)) {
        claim.readOnly = true;
        return claim;
    }
    StoreLock::Refusal refusal = StoreLock::Refusal::None;
    claim.lock = StoreLock::acquire(dir, &claim.why, &refusal);
    // The directory said it takes files but refused the lock's: the same case.
    if (!claim.lock && refusal == StoreLock::Refusal::NotWritable) {
        claim.readOnly = true;
        claim.why.clear();
    }
    return claim;
}

} // namespace vorn::ui

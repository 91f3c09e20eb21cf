#include "backupfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorn::ui::backup {

namespace {

const char kStoreName[] = "__vorn__";
const char kQuickName[] = ".__vorn__";

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

QString errnoText(const char* what, const QString& path) {
    return QStringLiteral("%1 %2: %3")
        .arg(QString::fromLatin1(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

void setWhy(QString* why, const QString& text) {
    if (why) *why = text;
}

// A descriptor that closes itself.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // close() can report a late write error of the file system.
    bool reset() {
        bool ok = true;
        if (fd_ >= 0) ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A rename is only durable once the folder that holds the name is on disk too.
void syncFolder(const QString& folder) {
    Fd dir(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());
}

// Copies source into the already open, empty file `out`, flushes it to disk and
// checks that it holds exactly the source's bytes.
bool copyInto(const QString& source, int out, const QString& outPath, QString* why, const CopyStep& step) {
    Fd in(::open(native(source).constData(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) {
        setWhy(why, errnoText("cannot open", source));
        return false;
    }
    struct stat st {};
    if (::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        setWhy(why, QStringLiteral("not a regular file: %1").arg(source));
        return false;
    }
    std::vector<char> buf(1 << 20);
    qint64 copied = 0;
    for (;;) {
        const ssize_t n = ::read(in.get(), buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            setWhy(why, errnoText("cannot read", source));
            return false;
        }
        if (n == 0) break;
        if (!writeAll(out, buf.data(), static_cast<size_t>(n))) {
            setWhy(why, errnoText("cannot write", outPath));
            return false;
        }
        copied += n;
        if (step && !step(copied)) {
            setWhy(why, QStringLiteral("copy stopped after %1 bytes").arg(copied));
            return false;
        }
    }
    if (::fsync(out) != 0) {
        setWhy(why, errnoText("cannot flush", outPath));
        return false;
    }
    struct stat written {};
    if (copied != static_cast<qint64>(st.st_size) || ::fstat(out, &written) != 0 ||
        written.st_size != st.st_size) {
        setWhy(why, QStringLiteral("size mismatch copying %1").arg(source));
        return false;
    }
    return true;
}

} // namespace

QString storeFile(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(kStoreName));
}

QString quickBackupFile(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(kQuickName));
}

bool replaceWithCopy(const QString& source, const QString& target, QString* why, const CopyStep& step) {
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    // The temporary file sits beside the target so that the rename stays within one
    // file system and is atomic; its name is hidden and its own.
    QByteArray pattern =
        native(QDir(folder).filePath(QStringLiteral(".%1.part-XXXXXX").arg(targetInfo.fileName())));
    Fd out(::mkstemp(pattern.data()));
    if (!out.valid()) {
        setWhy(why, errnoText("cannot create a file in", folder));
        return false;
    }
    const QString temp = QFile::decodeName(pattern);
    bool ok = copyInto(source, out.get(), temp, why, step);
    if (!out.reset() && ok) {
        setWhy(why, errnoText("cannot close", temp));
        ok = false;
    }
    if (ok && ::rename(pattern.constData(), native(targetInfo.absoluteFilePath()).constData()) != 0) {
        setWhy(why, errnoText("cannot rename over", target));
        ok = false;
    }
    if (!ok) {
        ::unlink(pattern.constData());
        return false;
    }
    syncFolder(folder);
    return true;
}

// ---- RollbackCopy --------------------------------------------------------------

bool RollbackCopy::keep(const QString& file) {
    const QFileInfo info(file);
    if (!info.isFile()) return false;
    const QString folder = info.absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray pattern =
            native(QDir(folder).filePath(QStringLiteral(".%1.rollback-XXXXXX").arg(info.fileName())));
        // mkstemp only finds a free name; the link or the copy then takes it.
        Fd probe(::mkstemp(pattern.data()));
        if (!probe.valid()) return false;
        probe.reset();
        const QString name = QFile::decodeName(pattern);
        ::unlink(pattern.constData());
        if (::link(native(info.absoluteFilePath()).constData(), pattern.constData()) == 0) {
            syncFolder(folder);
            file_ = info.absoluteFilePath();
            copy_ = name;
            return true;
        }
        if (errno == EEXIST) continue;
        // A file system without hard links: a full copy instead.
        if (replaceWithCopy(info.absoluteFilePath(), name)) {
            file_ = info.absoluteFilePath();
            copy_ = name;
            return true;
        }
        return false;
    }
    return false;
}

bool RollbackCopy::putBack() {
    if (copy_.isEmpty()) return false;
    if (::rename(native(copy_).constData(), native(file_).constData()) != 0) return false;
    syncFolder(QFileInfo(file_).absolutePath());
    copy_.clear();
    return true;
}

void RollbackCopy::discard() {
    if (copy_.isEmpty()) return;
    ::unlink(native(copy_).constData());
    copy_.clear();
}

// ---- StagedStore ---------------------------------------------------------------

StagedStore::StagedStore(const QString& storeFolder) : storeFolder_(QDir(storeFolder).absolutePath()) {}

StagedStore::~StagedStore() {
    if (folder_.isEmpty()) return;
    // Only what this object put there: the staged file, and what opening it for the
    // check may have left (a journal), then the folder itself.
    QDir dir(folder_);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
    ::rmdir(native(folder_).constData());
}

QString StagedStore::file() const {
    return folder_.isEmpty() ? QString() : storeFile(folder_);
}

bool StagedStore::stage(const QString& source, QString* why, const CopyStep& step) {
    if (folder_.isEmpty()) {
        QByteArray pattern = native(QDir(storeFolder_).filePath(QStringLiteral(".__vorn__.restore-XXXXXX")));
        if (!::mkdtemp(pattern.data())) {
            setWhy(why, errnoText("cannot create a folder in", storeFolder_));
            return false;
        }
        folder_ = QFile::decodeName(pattern);
    }
    return replaceWithCopy(source, file(), why, step);
}

bool StagedStore::moveOver(const QString& target) {
    if (folder_.isEmpty()) return false;
    if (::rename(native(file()).constData(), native(QFileInfo(target).absoluteFilePath()).constData()) != 0)
        return false;
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

// ---- Left by an interrupted copy ---------------------------------------------

int sweepInterruptedCopies(const QString& storeFolder) {
    // The names replaceWithCopy and StagedStore give their temporary files, for
    // the store, its quick backup and a rollback copy made by copying.
    static const QRegularExpression part(
        QStringLiteral("^\\.(\\.?__vorn__|\\.__vorn__\\.rollback-[A-Za-z0-9]{6})\\.part-[A-Za-z0-9]{6}$"));
    static const QRegularExpression staging(QStringLiteral("^\\.__vorn__\\.restore-[A-Za-z0-9]{6}$"));
    QDir dir(storeFolder);
    int removed = 0;
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot |
                                                    QDir::NoSymLinks)) {
        const QString name = entry.fileName();
        if (entry.isFile() && part.match(name).hasMatch()) {
            if (QFile::remove(entry.absoluteFilePath())) ++removed;
        } else if (entry.isDir() && staging.match(name).hasMatch()) {
            if (QDir(entry.absoluteFilePath()).removeRecursively()) ++removed;
        }
    }
    if (removed > 0) syncFolder(dir.absolutePath());
    return removed;
}

} // namespace vorn::ui::backup

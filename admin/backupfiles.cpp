#include "backupfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vorn::ui::backup {

namespace {

const char kStoreName[] = "__vorn__";
const char kQuickName[] = ".__vorn__";
// Beside the store: the folders elsewhere that hold (or held) a staging folder.
const char kElsewhereNote[] = ".__vorn__.elsewhere";

constexpr size_t kPiece = size_t(1) << 20;
// The reader stays at most this many pieces ahead of the writer.
constexpr size_t kPiecesAhead = 2;

std::atomic<int> g_sourceWaitMs{30000};
std::mutex g_hookMutex;
SourceRead g_sourceRead;
TargetWrite g_targetWrite;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

QString errnoText(const char* what, const QString& path, int error) {
    return QStringLiteral("%1 %2: %3")
        .arg(QString::fromLatin1(what), path, QString::fromLocal8Bit(std::strerror(error)));
}

void setWhy(CopyFailure* why, const QString& text, int error = 0) {
    if (!why) return;
    why->text = text;
    why->error = error;
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
    TargetWrite write;
    {
        const std::lock_guard<std::mutex> lock(g_hookMutex);
        write = g_targetWrite;
    }
    while (size > 0) {
        const ssize_t n = write ? write(fd, data, size) : ::write(fd, data, size);
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

// ---- Reading a source that may never answer ------------------------------------

// What the reading thread hands the copy. The thread holds it too, so a copy that
// gave up may go while the thread is still blocked in the system.
struct Feed {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::vector<char>> pieces;
    qint64 size = 0;        // the source's size when it was opened
    bool finished = false;  // every byte was read
    bool failed = false;    // see error and what
    bool abandoned = false; // the copy is gone: stop at the next chance
    int error = 0;
    const char* what = "";
};

void readSource(const std::shared_ptr<Feed>& feed, const QByteArray& path, const SourceRead& read) {
    const auto fail = [&](int error, const char* what) {
        const std::lock_guard<std::mutex> lock(feed->m);
        feed->failed = true;
        feed->error = error;
        feed->what = what;
        feed->cv.notify_all();
    };
    // A FIFO (or a device) named like a backup would block open() until somebody
    // writes to it: only a regular file is opened at all.
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return fail(errno, "cannot open");
    if (!S_ISREG(st.st_mode)) return fail(0, "not a regular file:");
    // Should the name have become a FIFO since, a non-blocking open still returns.
    Fd in(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!in.valid()) return fail(errno, "cannot open");
    if (::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return fail(0, "not a regular file:");
    const int flags = ::fcntl(in.get(), F_GETFL);
    if (flags >= 0) ::fcntl(in.get(), F_SETFL, flags & ~O_NONBLOCK);
    {
        const std::lock_guard<std::mutex> lock(feed->m);
        feed->size = st.st_size;
    }
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(feed->m);
            feed->cv.wait(lock, [&] { return feed->abandoned || feed->pieces.size() < kPiecesAhead; });
            if (feed->abandoned) return;
        }
        std::vector<char> piece(kPiece);
        const ssize_t n =
            read ? read(in.get(), piece.data(), piece.size()) : ::read(in.get(), piece.data(), piece.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno, "cannot read");
        }
        const std::lock_guard<std::mutex> lock(feed->m);
        if (n == 0) {
            feed->finished = true;
        } else {
            piece.resize(static_cast<size_t>(n));
            feed->pieces.push_back(std::move(piece));
        }
        feed->cv.notify_all();
        if (n == 0) return;
    }
}

// Sets abandoned when the copy leaves, however it leaves.
class Abandon {
public:
    explicit Abandon(std::shared_ptr<Feed> feed) : feed_(std::move(feed)) {}
    ~Abandon() {
        const std::lock_guard<std::mutex> lock(feed_->m);
        feed_->abandoned = true;
        feed_->cv.notify_all();
    }
    Abandon(const Abandon&) = delete;
    Abandon& operator=(const Abandon&) = delete;

private:
    std::shared_ptr<Feed> feed_;
};

// Copies source into the already open, empty file `out`, flushes it to disk and
// checks that it holds exactly the source's bytes. The source is read by a
// thread of its own, so that a source that stops answering costs a bounded wait.
bool copyInto(const QString& source, int out, const QString& outPath, CopyFailure* why,
              const CopyStep& step) {
    auto feed = std::make_shared<Feed>();
    SourceRead read;
    {
        const std::lock_guard<std::mutex> lock(g_hookMutex);
        read = g_sourceRead;
    }
    std::thread(readSource, feed, native(source), std::move(read)).detach();
    const Abandon abandon(feed);
    const auto wait = std::chrono::milliseconds(sourceWaitMs());

    qint64 copied = 0;
    qint64 size = 0;
    for (;;) {
        std::vector<char> piece;
        {
            std::unique_lock<std::mutex> lock(feed->m);
            if (!feed->cv.wait_for(lock, wait,
                                   [&] { return !feed->pieces.empty() || feed->finished || feed->failed; })) {
                setWhy(why, QStringLiteral("%1 gave nothing for %2 ms").arg(source).arg(wait.count()),
                       ETIMEDOUT);
                return false;
            }
            if (!feed->pieces.empty()) {
                piece = std::move(feed->pieces.front());
                feed->pieces.pop_front();
                feed->cv.notify_all();
            } else if (feed->failed) {
                setWhy(why,
                       feed->error ? errnoText(feed->what, source, feed->error)
                                   : QStringLiteral("%1 %2").arg(QString::fromLatin1(feed->what), source),
                       feed->error);
                return false;
            } else {
                size = feed->size;
                break;
            }
        }
        if (!writeAll(out, piece.data(), piece.size())) {
            const int error = errno;
            setWhy(why, errnoText("cannot write", outPath, error), error);
            return false;
        }
        copied += static_cast<qint64>(piece.size());
        if (step && !step(copied)) {
            setWhy(why, QStringLiteral("copy stopped after %1 bytes").arg(copied));
            return false;
        }
    }
    if (::fsync(out) != 0) {
        const int error = errno;
        setWhy(why, errnoText("cannot flush", outPath, error), error);
        return false;
    }
    // The copy is checked by reading it back: from the medium, not from memory.
    ::posix_fadvise(out, 0, 0, POSIX_FADV_DONTNEED);
    struct stat written {};
    if (copied != size || ::fstat(out, &written) != 0 || written.st_size != size) {
        setWhy(why, QStringLiteral("size mismatch copying %1").arg(source));
        return false;
    }
    return true;
}

// Writes bytes as the whole new content of path, in the same all-or-nothing way.
bool writeWhole(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    QByteArray pattern =
        native(QDir(info.absolutePath()).filePath(QStringLiteral(".%1.part-XXXXXX").arg(info.fileName())));
    Fd out(::mkstemp(pattern.data()));
    if (!out.valid()) return false;
    bool ok =
        writeAll(out.get(), bytes.constData(), static_cast<size_t>(bytes.size())) && ::fsync(out.get()) == 0;
    ok = out.reset() && ok;
    ok = ok && ::rename(pattern.constData(), native(info.absoluteFilePath()).constData()) == 0;
    if (!ok) {
        ::unlink(pattern.constData());
        return false;
    }
    syncFolder(info.absolutePath());
    return true;
}

// ---- The note of folders elsewhere ----------------------------------------------

QString notePath(const QString& storeFolder) {
    return QDir(storeFolder).filePath(QString::fromLatin1(kElsewhereNote));
}

QStringList notedFolders(const QString& storeFolder) {
    QFile f(notePath(storeFolder));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QString folder = QString::fromUtf8(line).trimmed();
        if (!folder.isEmpty() && !out.contains(folder)) out << folder;
    }
    return out;
}

bool writeNote(const QString& storeFolder, const QStringList& folders) {
    if (folders.isEmpty()) {
        const QByteArray path = native(notePath(storeFolder));
        return ::unlink(path.constData()) == 0 || errno == ENOENT;
    }
    return writeWhole(notePath(storeFolder), (folders.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

// The names our staging folders and temporary files take.
const QRegularExpression& stagingName() {
    static const QRegularExpression re(QStringLiteral("^\\.__vorn__\\.(restore|backup)-[A-Za-z0-9]{6}$"));
    return re;
}

// Removes the staging folders (and, where given, the half-written files) of a
// folder; how many entries it removed.
int sweepFolder(const QString& folder, const QRegularExpression& part) {
    QDir dir(folder);
    int removed = 0;
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                                    QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QString name = entry.fileName();
        if (entry.isFile() && part.match(name).hasMatch()) {
            if (QFile::remove(entry.absoluteFilePath())) ++removed;
        } else if (entry.isDir() && stagingName().match(name).hasMatch()) {
            if (QDir(entry.absoluteFilePath()).removeRecursively()) ++removed;
        }
    }
    if (removed > 0) syncFolder(dir.absolutePath());
    return removed;
}

} // namespace

bool CopyFailure::diskFull() const {
    return error == ENOSPC || error == EDQUOT;
}

int sourceWaitMs() {
    return g_sourceWaitMs.load();
}

void setSourceWaitMs(int ms) {
    g_sourceWaitMs.store(ms);
}

void setSourceReadForTests(SourceRead read) {
    const std::lock_guard<std::mutex> lock(g_hookMutex);
    g_sourceRead = std::move(read);
}

void setTargetWriteForTests(TargetWrite write) {
    const std::lock_guard<std::mutex> lock(g_hookMutex);
    g_targetWrite = std::move(write);
}

QString storeFile(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(kStoreName));
}

QString quickBackupFile(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(kQuickName));
}

QString resolvedStoreFile(const QString& folder) {
    const QFileInfo info(storeFile(folder));
    if (!info.isSymLink()) return info.absoluteFilePath();
    // canonicalFilePath() follows every link of the chain; empty when it ends nowhere.
    return info.canonicalFilePath();
}

bool replaceWithCopy(const QString& source, const QString& target, CopyFailure* why, const CopyStep& step) {
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    // The temporary file sits beside the target so that the rename stays within one
    // file system and is atomic; its name is hidden and its own.
    QByteArray pattern =
        native(QDir(folder).filePath(QStringLiteral(".%1.part-XXXXXX").arg(targetInfo.fileName())));
    Fd out(::mkstemp(pattern.data()));
    if (!out.valid()) {
        const int error = errno;
        setWhy(why, errnoText("cannot create a file in", folder, error), error);
        return false;
    }
    const QString temp = QFile::decodeName(pattern);
    bool ok = copyInto(source, out.get(), temp, why, step);
    if (!out.reset() && ok) {
        const int error = errno;
        setWhy(why, errnoText("cannot close", temp, error), error);
        ok = false;
    }
    if (ok && ::rename(pattern.constData(), native(targetInfo.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        setWhy(why, errnoText("cannot rename over", target, error), error);
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

StagedStore::StagedStore(const QString& host, const QString& storeFolder, Purpose purpose)
    : host_(QDir(host).absolutePath()), storeFolder_(QDir(storeFolder).absolutePath()), purpose_(purpose) {}

StagedStore::~StagedStore() {
    bool gone = true;
    if (!folder_.isEmpty()) {
        // Only what this object put there: the staged file, and what opening it for
        // the check may have left (a journal), then the folder itself.
        QDir dir(folder_);
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            dir.remove(name);
        gone = ::rmdir(native(folder_).constData()) == 0;
    }
    // A folder that would not go stays noted for the sweep.
    if (noted_ && gone) {
        QStringList folders = notedFolders(storeFolder_);
        folders.removeAll(host_);
        writeNote(storeFolder_, folders);
    }
}

QString StagedStore::file() const {
    return folder_.isEmpty() ? QString() : storeFile(folder_);
}

bool StagedStore::stage(const QString& source, CopyFailure* why, const CopyStep& step) {
    if (!prepare(why)) return false;
    return replaceWithCopy(source, file(), why, step);
}

bool StagedStore::prepare(CopyFailure* why) {
    if (folder_.isEmpty()) {
        if (host_ != storeFolder_ && !noted_) {
            QStringList folders = notedFolders(storeFolder_);
            if (!folders.contains(host_)) folders << host_;
            if (!writeNote(storeFolder_, folders)) {
                const int error = errno;
                setWhy(why, errnoText("cannot write a note in", storeFolder_, error), error);
                return false;
            }
            noted_ = true;
        }
        const QString kind =
            purpose_ == Purpose::Restore ? QStringLiteral("restore") : QStringLiteral("backup");
        QByteArray pattern = native(QDir(host_).filePath(QStringLiteral(".__vorn__.%1-XXXXXX").arg(kind)));
        if (!::mkdtemp(pattern.data())) {
            const int error = errno;
            setWhy(why, errnoText("cannot create a folder in", host_, error), error);
            return false;
        }
        folder_ = QFile::decodeName(pattern);
    }
    return true;
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
    // The names replaceWithCopy gives its temporary files, for the store, its
    // quick backup, a rollback copy made by copying and the note.
    static const QRegularExpression part(
        QStringLiteral("^\\.(\\.?__vorn__|\\.__vorn__\\.rollback-[A-Za-z0-9]{6}|\\.__vorn__\\.elsewhere)\\."
                       "part-[A-Za-z0-9]{6}$"));
    // Elsewhere the store's file may bear another name (a linked store).
    static const QRegularExpression elsewherePart(
        QStringLiteral("^\\..+\\.rollback-[A-Za-z0-9]{6}\\.part-[A-Za-z0-9]{6}$"));
    const QString here = QDir(storeFolder).absolutePath();
    int removed = sweepFolder(here, part);
    const QStringList noted = notedFolders(here);
    QStringList unreachable;
    for (const QString& folder : noted) {
        if (folder == here) continue;
        // A USB stick that is not plugged in keeps its note until it is.
        if (!QFileInfo(folder).isDir()) {
            unreachable << folder;
            continue;
        }
        removed += sweepFolder(folder, elsewherePart);
    }
    if (!noted.isEmpty()) writeNote(here, unreachable);
    return removed;
}

} // namespace vorn::ui::backup

#include "kit/print/rawprinter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFutureWatcher>
#include <QHostAddress>
#include <QHostInfo>
#include <QPointer>
#include <QPromise>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace vorn::ui {

namespace {

QString seconds(int ms) {
    return QString::number((ms + 999) / 1000);
}

SendResult failure(const QString& why, qint64 written = 0) {
    SendResult r;
    r.written = written;
    r.error = why;
    return r;
}

// ---- Device files ------------------------------------------------------------------

QString openFailure(const QString& path, int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("找不到打印机设备\"%1\"，请检查打印机是否已连接并开机").arg(path);
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("没有写入打印机设备\"%1\"的权限（可将当前用户加入lp组后重新登录）").arg(path);
    case ENXIO:
    case ENODEV:
        return QStringLiteral("打印机设备\"%1\"未连接或未开机").arg(path);
    case EBUSY:
        return QStringLiteral("打印机设备\"%1\"正被其他程序占用").arg(path);
    case EISDIR:
        return QStringLiteral("\"%1\"是文件夹，不是打印机设备").arg(path);
    default:
        return QStringLiteral("无法打开打印机设备\"%1\"（%2）")
            .arg(path, QString::fromLocal8Bit(std::strerror(err)));
    }
}

QString writeFailure(const QString& path, int err) {
    switch (err) {
    case ENODEV:
    case ENXIO:
    case EPIPE:
        return QStringLiteral("打印机设备\"%1\"已断开").arg(path);
    case EIO:
        return QStringLiteral("打印机\"%1\"报告故障（可能缺纸、开盖或已脱机）").arg(path);
    case ENOSPC:
        return QStringLiteral("\"%1\"所在的磁盘已满").arg(path);
    default:
        return QStringLiteral("写入打印机设备\"%1\"出错（%2）")
            .arg(path, QString::fromLocal8Bit(std::strerror(err)));
    }
}

QString stalled(const QString& printer, int ms) {
    return QStringLiteral("打印机\"%1\"在%2秒内未接收数据（可能缺纸、未开机或已脱机）")
        .arg(printer, seconds(ms));
}

SendResult sendToDevice(const QString& path, const QByteArray& bytes, const SendLimits& limits) {
    if (path.trimmed().isEmpty()) return failure(QStringLiteral("未设置打印机设备的路径"));
    const QDeadlineTimer deadline(limits.totalMs);
    // Non-blocking, so neither a printer that takes nothing nor a FIFO without
    // a reader can hold the thread; never created, so a typing error in the path
    // is reported instead of becoming a file.
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return failure(openFailure(path, errno));

    SendResult result;
    qsizetype off = 0;
    while (off < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + off, size_t(bytes.size() - off));
        if (n > 0) {
            off += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            result = failure(writeFailure(path, errno), off);
            break;
        }
        // The printer's buffer is full: wait for room, as long as time is left.
        const qint64 left = deadline.remainingTime();
        if (left <= 0) {
            result = failure(stalled(path, limits.totalMs), off);
            break;
        }
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, int(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) {
            result = failure(writeFailure(path, errno), off);
            break;
        }
        if (ready == 0) {
            result = failure(stalled(path, limits.totalMs), off);
            break;
        }
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) {
            result = failure(QStringLiteral("打印机设备\"%1\"已断开").arg(path), off);
            break;
        }
    }
    ::close(fd);
    if (off == bytes.size()) {
        result.ok = true;
        result.error.clear();
    }
    result.written = off;
    return result;
}

// ---- Network printers ----------------------------------------------------------------

// The addresses of host, the name looked up within ms. An empty list with the
// reason in why when there are none.
QList<QHostAddress> resolve(const QString& host, int ms, QString& why) {
    QHostAddress literal;
    if (literal.setAddress(host)) return {literal};

    // QTcpSocket would look the name up without a time limit; a missing name
    // server must not hold the printer thread, so the lookup runs here with one.
    QList<QHostAddress> found;
    bool answered = false;
    QHostInfo::HostInfoError error = QHostInfo::NoError;
    QObject receiver;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const int id = QHostInfo::lookupHost(host, &receiver, [&](const QHostInfo& info) {
        answered = true;
        error = info.error();
        found = info.addresses();
        loop.quit();
    });
    if (!answered) {
        timer.start(ms);
        loop.exec();
    }
    if (!answered) {
        QHostInfo::abortHostLookup(id);
        why = QStringLiteral("%1秒内未能解析主机名\"%2\"，请检查网络或改用IP地址").arg(seconds(ms), host);
        return {};
    }
    if (error != QHostInfo::NoError || found.isEmpty()) {
        why = QStringLiteral("找不到主机\"%1\"，请检查打印机的地址").arg(host);
        return {};
    }
    return found;
}

QString connectFailure(const QString& printer, QAbstractSocket::SocketError error, int ms,
                       const QString& detail) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("打印机\"%1\"拒绝连接，请检查打印机是否开机、地址和端口是否正确").arg(printer);
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("%1秒内未能连接到打印机\"%2\"，请检查打印机是否开机并已接入网络")
            .arg(seconds(ms), printer);
    case QAbstractSocket::NetworkError:
        return QStringLiteral("无法连接到打印机\"%1\"：网络不可达").arg(printer);
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("找不到打印机\"%1\"").arg(printer);
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("没有连接打印机\"%1\"的权限").arg(printer);
    default:
        return QStringLiteral("无法连接到打印机\"%1\"（%2）").arg(printer, detail);
    }
}

SendResult sendToNetwork(const RawTarget& target, const QByteArray& bytes, const SendLimits& limits) {
    const QString printer = target.describe();
    if (target.host.trimmed().isEmpty()) return failure(QStringLiteral("未设置打印机的网络地址"));
    if (target.port == 0) return failure(QStringLiteral("打印机\"%1\"的端口不正确").arg(printer));
    const QDeadlineTimer total(limits.totalMs);
    const QDeadlineTimer connecting(std::min(limits.connectMs, limits.totalMs));

    QString why;
    const QList<QHostAddress> addresses =
        resolve(target.host, int(std::max<qint64>(1, connecting.remainingTime())), why);
    if (addresses.isEmpty()) return failure(why);

    QTcpSocket socket;
    bool connected = false;
    // A name may stand for several addresses (::1 and 127.0.0.1): the first
    // that answers takes the bytes; the reason given is the last address's.
    for (const QHostAddress& address : addresses) {
        const qint64 left = connecting.remainingTime();
        if (left <= 0) {
            why = connectFailure(printer, QAbstractSocket::SocketTimeoutError, limits.connectMs, QString());
            break;
        }
        socket.connectToHost(address, target.port);
        if (socket.waitForConnected(int(left))) {
            connected = true;
            break;
        }
        why = connectFailure(printer, socket.error(), limits.connectMs, socket.errorString());
        socket.abort();
    }
    if (!connected) return failure(why);

    SendResult result;
    qint64 queued = 0;
    while (queued < bytes.size()) {
        const qint64 n = socket.write(bytes.constData() + queued, bytes.size() - queued);
        if (n < 0) break;
        queued += n;
    }
    while (socket.bytesToWrite() > 0 && socket.state() == QAbstractSocket::ConnectedState) {
        const qint64 left = total.remainingTime();
        if (left <= 0 || !socket.waitForBytesWritten(int(left))) break;
    }
    const qint64 written = queued - socket.bytesToWrite();
    if (queued == bytes.size() && socket.bytesToWrite() == 0) {
        result.ok = true;
    } else if (socket.state() != QAbstractSocket::ConnectedState ||
               socket.error() == QAbstractSocket::RemoteHostClosedError) {
        result = failure(QStringLiteral("打印机\"%1\"在接收数据时断开了连接").arg(printer), written);
    } else {
        result = failure(stalled(printer, limits.totalMs), written);
    }
    result.written = written;

    // A polite close lets the printer see the end of the job; one that does
    // not answer is dropped.
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState) {
        const qint64 left = std::min<qint64>(total.remainingTime(), 1000);
        if (left <= 0 || !socket.waitForDisconnected(int(left))) socket.abort();
    }
    return result;
}

// ---- The printer thread ---------------------------------------------------------------

QThreadPool* gPool = nullptr;

// Run from the application's destructor: sends under way are bounded, so the
// program waits for them rather than cutting a receipt off halfway.
void stopPool() {
    if (!gPool) return;
    gPool->waitForDone();
    delete gPool;
    gPool = nullptr;
}

QThreadPool& pool() {
    if (!gPool) {
        gPool = new QThreadPool;
        gPool->setMaxThreadCount(1);
        qAddPostRoutine(stopPool);
    }
    return *gPool;
}

} // namespace

RawTarget RawTarget::deviceAt(const QString& path) {
    RawTarget t;
    t.kind = Kind::Device;
    t.device = path;
    return t;
}

RawTarget RawTarget::network(const QString& host, quint16 port) {
    RawTarget t;
    t.kind = Kind::Network;
    t.host = host;
    t.port = port;
    return t;
}

QString RawTarget::describe() const {
    if (kind == Kind::Device) return device;
    const QString h = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1:%2").arg(h).arg(port);
}

bool parsePrinterAddress(const QString& text, QString& host, quint16& port, QString* why) {
    auto refuse = [why](const QString& reason) {
        if (why) *why = reason;
        return false;
    };
    const QString t = text.trimmed();
    if (t.isEmpty()) return refuse(QStringLiteral("请输入打印机的网络地址，例如 192.168.1.100:9100"));

    QString h = t;
    QString p;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0) return refuse(QStringLiteral("网络地址\"%1\"的格式不正确").arg(t));
        h = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return refuse(QStringLiteral("网络地址\"%1\"的格式不正确").arg(t));
            p = rest.mid(1);
            if (p.isEmpty()) return refuse(QStringLiteral("请在\"%1\"的冒号后填写端口，例如 9100").arg(t));
        }
    } else if (t.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = t.indexOf(QLatin1Char(':'));
        h = t.left(colon);
        p = t.mid(colon + 1);
        if (p.isEmpty()) return refuse(QStringLiteral("请在\"%1\"的冒号后填写端口，例如 9100").arg(t));
    } else if (t.contains(QLatin1Char(':')) && QHostAddress(t).protocol() != QAbstractSocket::IPv6Protocol) {
        return refuse(QStringLiteral("网络地址\"%1\"的格式不正确").arg(t));
    }

    if (h.isEmpty()) return refuse(QStringLiteral("请在端口前填写打印机的主机名或IP地址"));
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9._-]*[A-Za-z0-9])?$"));
    if (QHostAddress(h).isNull() && !hostName.match(h).hasMatch())
        return refuse(QStringLiteral("主机名\"%1\"不正确，只能含字母、数字、点和短横线").arg(h));

    quint16 number = kRawPrinterPort;
    if (!p.isEmpty()) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
        const int value = digits.match(p).hasMatch() ? p.toInt() : 0;
        if (value < 1 || value > 65535)
            return refuse(QStringLiteral("端口\"%1\"不正确，应为1到65535之间的数字").arg(p));
        number = quint16(value);
    }
    host = h;
    port = number;
    if (why) why->clear();
    return true;
}

SendResult sendRaw(const RawTarget& target, const QByteArray& bytes, const SendLimits& limits) {
    return target.kind == RawTarget::Kind::Device ? sendToDevice(target.device, bytes, limits)
                                                  : sendToNetwork(target, bytes, limits);
}

void sendRawAsync(QObject* context, const RawTarget& target, const QByteArray& bytes,
                  std::function<void(const SendResult&)> done, const SendLimits& limits) {
    auto promise = std::make_shared<QPromise<SendResult>>();
    promise->start();
    // The watcher lives with context: should context go first, the watcher goes
    // with it and the result is dropped, while the send itself runs to its end.
    auto* watcher = new QFutureWatcher<SendResult>(context ? context : QCoreApplication::instance());
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, [watcher, done = std::move(done)] {
        const SendResult result = watcher->future().resultCount() > 0
                                      ? watcher->result()
                                      : failure(QStringLiteral("打印任务被中止"));
        watcher->deleteLater();
        if (done) done(result);
    });
    watcher->setFuture(promise->future());
    pool().start([promise, target, bytes, limits] {
        promise->addResult(sendRaw(target, bytes, limits));
        promise->finish();
    });
}

bool waitForRawSends(int timeoutMs) {
    return !gPool || gPool->waitForDone(timeoutMs);
}

} // namespace vorn::ui

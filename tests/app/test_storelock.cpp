// One program per data directory: a live program keeps a second one out; a
// lock that names no running program on this host is taken over; a directory
// that takes no file is used read-only without a lock.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

#include "frame/storelock.h"

using namespace vorn::ui;

namespace {

QString lockPath(const QTemporaryDir& dir) {
    return dir.filePath(StoreLock::fileName());
}

void writeLock(const QTemporaryDir& dir, const QByteArray& contents) {
    QFile file(lockPath(dir));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), contents.size());
}

QByteArray readLock(const QTemporaryDir& dir) {
    QFile file(lockPath(dir));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The executable's file name of a running process, as a lock file names it.
QByteArray programName(qint64 pid) {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName().toUtf8();
}

QByteArray host() {
    return QSysInfo::machineHostName().toUtf8();
}

// A lock file of the shape QLockFile writes: pid, program, host, machine, boot.
QByteArray lockText(qint64 pid, const QByteArray& program, const QByteArray& hostName,
                    const QByteArray& machine = QSysInfo::machineUniqueId(),
                    const QByteArray& boot = QSysInfo::bootUniqueId()) {
    return QByteArray::number(pid) + '\n' + program + '\n' + hostName + '\n' + machine + '\n' + boot + '\n';
}

// A process id that no process has now: one that just ended.
qint64 endedPid() {
    QProcess p;
    p.start(QStringLiteral("true"), {});
    if (!p.waitForStarted(30000)) return -1;
    const qint64 pid = p.processId();
    return p.waitForFinished(30000) ? pid : -1;
}

} // namespace

class TestStoreLock : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setDirWritableCheck({}); }

    void secondProgramIsRefusedUntilTheFirstEnds() {
        QTemporaryDir dir;
        QString why;
        StoreLock::Refusal refusal = StoreLock::Refusal::None;
        auto first = StoreLock::acquire(dir.path(), &why, &refusal);
        QVERIFY(first);
        QCOMPARE(refusal, StoreLock::Refusal::None);
        QVERIFY(QFile::exists(lockPath(dir)));
        QVERIFY(StoreLock::ownerAlive(lockPath(dir)));
        const QByteArray held = readLock(dir);
        auto second = StoreLock::acquire(dir.path(), &why, &refusal);
        QVERIFY(!second);
        QCOMPARE(refusal, StoreLock::Refusal::Busy);
        QCOMPARE(why, QStringLiteral("另一个程序正在使用这个数据目录中的数据库，请先关闭它，再启动本程序"));
        // The refused program left the first one's lock as it was.
        QCOMPARE(readLock(dir), held);
        // What the lock says is read as Qt writes it: the same text, held open
        // by nobody (a data folder shared over a network), still names this
        // live program.
        QTemporaryDir copy;
        writeLock(copy, held);
        QVERIFY(StoreLock::ownerAlive(lockPath(copy)));
        QVERIFY(!StoreLock::acquire(copy.path(), nullptr));
        // Another directory is another store.
        QTemporaryDir other;
        QVERIFY(StoreLock::acquire(other.path(), nullptr));
        first.reset();
        QVERIFY(!QFile::exists(lockPath(dir)));
        QVERIFY(StoreLock::acquire(dir.path(), nullptr));
    }

    // What a lock file may hold when its program is gone (or was never on this
    // host), and what it holds while its program runs here. Only the file
    // counts in these rows: nobody holds it open.
    void lockFileIsJudgedByItsOwner_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("alive");
        const qint64 self = QCoreApplication::applicationPid();
        const QByteArray me = programName(self);
        QVERIFY(!me.isEmpty());
        QTest::newRow("empty, as a power cut leaves it") << QByteArray() << false;
        static const char garbage[] = "\x7f"
                                      "ELF\x02\x01\x01\0\0\0 not a lock";
        QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1) << false;
        QTest::newRow("a process id alone") << QByteArray::number(self) + '\n' << false;
        QTest::newRow("text where the process id belongs") << "x" + lockText(self, me, host()) << false;
        QTest::newRow("written on another host") << lockText(self, me, host() + "-old-till") << false;
        QTest::newRow("another machine of the same name")
            << lockText(self, me, host(), "0123456789abcdef0123456789abcdef") << false;
        QTest::newRow("before this host last started")
            << lockText(self, me, host(), QSysInfo::machineUniqueId(), "00000000-0000-0000-0000-000000000000")
            << false;
        QTest::newRow("a program that ended") << lockText(endedPid(), me, host()) << false;
        QTest::newRow("its process id now runs another program")
            << lockText(self, "Vornmart-not-this", host()) << false;
        QTest::newRow("a live program on this host") << lockText(self, me, host()) << true;
        QTest::newRow("a live program, older lock without ids")
            << QByteArray::number(self) + '\n' + me + '\n' + host() + '\n'
            << true;
    }

    void lockFileIsJudgedByItsOwner() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, alive);
        QTemporaryDir dir;
        writeLock(dir, contents);
        QCOMPARE(StoreLock::ownerAlive(lockPath(dir)), alive);
        QString why;
        StoreLock::Refusal refusal = StoreLock::Refusal::None;
        auto lock = StoreLock::acquire(dir.path(), &why, &refusal);
        QCOMPARE(bool(lock), !alive);
        if (alive) {
            QCOMPARE(refusal, StoreLock::Refusal::Busy);
            QVERIFY(why.contains(QStringLiteral("另一个程序正在使用")));
            QCOMPARE(readLock(dir), contents);
        } else {
            // Taken over: the file now names this program, and holds its lock.
            QCOMPARE(refusal, StoreLock::Refusal::None);
            QVERIFY(readLock(dir).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
            QVERIFY(StoreLock::ownerAlive(lockPath(dir)));
            QVERIFY(!StoreLock::acquire(dir.path(), nullptr));
            lock.reset();
            QVERIFY(!QFile::exists(lockPath(dir)));
        }
    }

    // A live program of another process: it holds the lock, whatever its file says.
    void lockHeldByAnotherProcessIsRespected() {
        QTemporaryDir dir;
        writeLock(dir, QByteArray());
        QProcess holder;
        holder.setProgram(QStringLiteral("flock"));
        holder.setArguments({lockPath(dir), QStringLiteral("-c"), QStringLiteral("echo held; read line")});
        holder.start();
        if (!holder.waitForStarted(30000)) QSKIP("flock(1) is not installed");
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        StoreLock::Refusal refusal = StoreLock::Refusal::None;
        QVERIFY(StoreLock::ownerAlive(lockPath(dir)));
        QVERIFY(!StoreLock::acquire(dir.path(), nullptr, &refusal));
        QCOMPARE(refusal, StoreLock::Refusal::Busy);
        QVERIFY(QFile::exists(lockPath(dir)));
        holder.write("\n");
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(30000));
        // Its program gone, the empty file is taken over.
        QVERIFY(StoreLock::acquire(dir.path(), nullptr));
    }

    void directoryThatTakesNoFileIsUsedReadOnly() {
        QTemporaryDir dir;
        QStringList asked;
        setDirWritableCheck([&](const QString& d) {
            asked << d;
            return false;
        });
        StoreClaim claim = claimStore(dir.path());
        QCOMPARE(asked, QStringList{dir.path()});
        QVERIFY(claim.usable());
        QVERIFY(claim.readOnly);
        QVERIFY(!claim.lock);
        QVERIFY(claim.why.isEmpty());
        QVERIFY(!QFile::exists(lockPath(dir)));

        // Writable: the lock, or the reason there is none.
        setDirWritableCheck([](const QString&) { return true; });
        StoreClaim held = claimStore(dir.path());
        QVERIFY(held.usable() && held.lock && !held.readOnly);
        StoreClaim second = claimStore(dir.path());
        QVERIFY(!second.usable());
        QVERIFY(!second.readOnly);
        QVERIFY(second.why.contains(QStringLiteral("另一个程序正在使用")));
    }

    // Without a check put in, the directory's own answer counts: a folder
    // that is gone takes no file.
    void realCheckAsksTheDirectory() {
        QTemporaryDir dir;
        QVERIFY(dirWritable(dir.path()));
        QVERIFY(!dirWritable(dir.filePath(QStringLiteral("gone"))));
        StoreClaim claim = claimStore(dir.filePath(QStringLiteral("gone")));
        QVERIFY(claim.readOnly);
        if (geteuid() != 0) {
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            QVERIFY(!dirWritable(dir.path()));
            QVERIFY(claimStore(dir.path()).readOnly);
            QFile::setPermissions(dir.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreLock)
#include "test_storelock.moc"

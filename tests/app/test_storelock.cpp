// One program per data directory.
#include <QTemporaryDir>
#include <QtTest>

#include "frame/storelock.h"

using namespace vorn::ui;

class TestStoreLock : public QObject {
    Q_OBJECT
private slots:
    void secondProgramIsRefusedUntilTheFirstEnds() {
        QTemporaryDir dir;
        QString why;
        auto first = StoreLock::acquire(dir.path(), &why);
        QVERIFY(first);
        QVERIFY(QFile::exists(dir.filePath(StoreLock::fileName())));
        auto second = StoreLock::acquire(dir.path(), &why);
        QVERIFY(!second);
        QVERIFY(why.contains(QStringLiteral("另一个程序正在使用")));
        // Another directory is another store.
        QTemporaryDir other;
        QVERIFY(StoreLock::acquire(other.path(), nullptr));
        first.reset();
        QVERIFY(!QFile::exists(dir.filePath(StoreLock::fileName())));
        QVERIFY(StoreLock::acquire(dir.path(), nullptr));
    }

    void lockOfAProgramThatDiedIsTakenOver() {
        QTemporaryDir dir;
        // What a crashed program leaves: its process id (one that is not running),
        // host and application name.
        QFile stale(dir.filePath(StoreLock::fileName()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("999999\nVornmart\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        QVERIFY(StoreLock::acquire(dir.path(), nullptr));
    }
};

QTEST_GUILESS_MAIN(TestStoreLock)
#include "test_storelock.moc"

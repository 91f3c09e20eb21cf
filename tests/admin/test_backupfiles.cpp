// The file work of backup and restore: whole-or-nothing copies, the rollback
// copy, the staged candidate and the store check, then the copy sequence on a
// real store: data comes back, refusals leave the shop's data whole, a restored
// store that does not answer is rolled back.
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include "backupfiles.h"
#include "backupjob.h"
#include "storecheck.h"
#include "storefixture.h"
#include "vorn/core.h"

using namespace vorn::ui;
using namespace vorn::ui::backup;
using vorn::ui::test::StoreFixture;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Bytes that are not all alike, so a shifted or partial copy shows.
QByteArray pattern(int size, char seed) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = static_cast<char>(seed + i * 7 + i / 251);
    return b;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

int userCount(vorn::Core& core) {
    return core.get_urec_count(nullptr);
}

void addUser(vorn::Core& core, const char* name) {
    vorn::URec u;
    u.FUs_Name = name;
    u.FUs_Pas = "pw";
    u.FUi_Auth = 2;
    QCOMPARE(core.insert_urec(&u, 1), 1);
}

} // namespace

class TestBackupFiles : public QObject {
    Q_OBJECT

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    // ---- whole-or-nothing copies ---------------------------------------------

    void copyCreatesAndOverwrites() {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("src"));
        const QString dst = dir.filePath(QStringLiteral("dst.vorndb"));
        const QByteArray big = pattern(3 * 1024 * 1024 + 17, 'a'); // several pieces
        writeFile(src, big);
        CopyFailure why;
        QVERIFY2(replaceWithCopy(src, dst, &why), qPrintable(why.text));
        QCOMPARE(readAll(dst), big);
        const QByteArray small = pattern(100, 'x');
        writeFile(src, small);
        QVERIFY(replaceWithCopy(src, dst));
        QCOMPARE(readAll(dst), small); // shorter content leaves no tail of the old
        QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("dst.vorndb"), QStringLiteral("src")}));
    }

    void interruptedCopyKeepsThePreviousTarget() {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("src"));
        const QString dst = dir.filePath(QStringLiteral("dst"));
        writeFile(src, pattern(3 * 1024 * 1024, 'n'));
        const QByteArray old = pattern(5000, 'o');
        writeFile(dst, old);
        int pieces = 0;
        CopyFailure why;
        QVERIFY(!replaceWithCopy(src, dst, &why, [&](qint64 copied) {
            ++pieces;
            return copied < 1024 * 1024; // stops after the first full piece
        }));
        QCOMPARE(pieces, 1);
        QVERIFY(!why.text.isEmpty());
        QVERIFY(!why.diskFull());
        QCOMPARE(readAll(dst), old);
        QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("dst"), QStringLiteral("src")}));
    }

    void failedCopiesLeaveNothingBehind() {
        QTemporaryDir dir;
        const QString dst = dir.filePath(QStringLiteral("dst"));
        const QByteArray old = pattern(10, 'q');
        writeFile(dst, old);
        // No source.
        QVERIFY(!replaceWithCopy(dir.filePath(QStringLiteral("nothing")), dst));
        QCOMPARE(readAll(dst), old);
        // A folder is no source either.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QVERIFY(!replaceWithCopy(dir.filePath(QStringLiteral("sub")), dst));
        QCOMPARE(readAll(dst), old);
        // A target that is a folder, and a target in a folder that does not exist.
        QVERIFY(!replaceWithCopy(dst, dir.filePath(QStringLiteral("sub"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("sub"))).isDir());
        QVERIFY(!replaceWithCopy(dst, dir.filePath(QStringLiteral("no/such/file"))));
        QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("dst"), QStringLiteral("sub")}));
        QVERIFY(entries(dir.filePath(QStringLiteral("sub"))).isEmpty());
    }

    // ---- rollback copy and staged candidate ----------------------------------

    void rollbackCopyPutsTheOldFileBack() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("__vorn__"));
        const QString other = dir.filePath(QStringLiteral("other"));
        const QByteArray old = pattern(4000, 'r');
        const QByteArray fresh = pattern(3000, 'f');
        writeFile(file, old);
        writeFile(other, fresh);

        RollbackCopy rb;
        QVERIFY(!rb.putBack()); // nothing kept yet
        QVERIFY(rb.keep(file));
        QVERIFY(rb.isKept());
        QCOMPARE(readAll(rb.copyPath()), old);
        // The file is replaced by a rename, as a restore does; the kept copy is untouched.
        QVERIFY(replaceWithCopy(other, file));
        QCOMPARE(readAll(rb.copyPath()), old);
        QVERIFY(rb.putBack());
        QCOMPARE(readAll(file), old);
        QVERIFY(!rb.isKept());
        QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("__vorn__"), QStringLiteral("other")}));

        RollbackCopy gone;
        QVERIFY(gone.keep(file));
        gone.discard();
        QCOMPARE(readAll(file), old);
        QCOMPARE(entries(dir.path()).size(), 2);
        QVERIFY(!RollbackCopy().keep(dir.filePath(QStringLiteral("missing"))));
    }

    void stagedStoreCleansUp() {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("x.vorndb"));
        writeFile(src, pattern(777, 's'));
        QString folder;
        {
            StagedStore staged(dir.path());
            QVERIFY(staged.file().isEmpty());
            QVERIFY(staged.stage(src));
            folder = staged.folder();
            QCOMPARE(QFileInfo(folder).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
            QCOMPARE(QFileInfo(staged.file()).fileName(), QStringLiteral("__vorn__"));
            QCOMPARE(readAll(staged.file()), readAll(src));
            writeFile(staged.file() + QStringLiteral("-journal"), "j"); // as a check may leave
        }
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("x.vorndb")}));

        StagedStore missing(dir.path());
        QVERIFY(!missing.stage(dir.filePath(QStringLiteral("nope"))));
    }

    void interruptedCopiesAreSweptRollbacksKept() {
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("__vorn__"));
        writeFile(store, pattern(50, 'v'));
        writeFile(dir.filePath(QStringLiteral(".__vorn__")), pattern(50, 'b'));
        // What a copy killed midway leaves: a half-written store, quick backup and
        // rollback copy, and a restore's staging folder with its candidate.
        writeFile(dir.filePath(QStringLiteral(".__vorn__.part-a1B2c3")), "half");
        writeFile(dir.filePath(QStringLiteral("..__vorn__.part-Zz9yX8")), "half");
        writeFile(dir.filePath(QStringLiteral("..__vorn__.rollback-Q1w2E3.part-r4T5y6")), "half");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral(".__vorn__.restore-k7L8m9")));
        writeFile(dir.filePath(QStringLiteral(".__vorn__.restore-k7L8m9/__vorn__")), "candidate");
        // What must stay: a rollback copy (maybe the only good content), the lock,
        // and names that only look alike.
        writeFile(dir.filePath(QStringLiteral(".__vorn__.rollback-Q1w2E3")), pattern(50, 'v'));
        writeFile(dir.filePath(QStringLiteral("__vorn__.lock")), "1");
        writeFile(dir.filePath(QStringLiteral(".__vorn__.part-toolong7")), "mine");
        writeFile(dir.filePath(QStringLiteral(".shop.part-a1B2c3")), "mine");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral(".__vorn__.restore-notours")));

        QCOMPARE(sweepInterruptedCopies(dir.path()), 4);
        QCOMPARE(
            entries(dir.path()),
            (QStringList{QStringLiteral(".__vorn__"), QStringLiteral(".__vorn__.part-toolong7"),
                         QStringLiteral(".__vorn__.restore-notours"),
                         QStringLiteral(".__vorn__.rollback-Q1w2E3"), QStringLiteral(".shop.part-a1B2c3"),
                         QStringLiteral("__vorn__"), QStringLiteral("__vorn__.lock")}));
        QCOMPARE(readAll(store), pattern(50, 'v'));
        QCOMPARE(sweepInterruptedCopies(dir.path()), 0);
    }

    // ---- the store check -------------------------------------------------------

    void storeCheckKnowsOurStores() {
        const QString here = QDir::currentPath();
        QTemporaryDir dir;
        // A store of ours (the fixture's, copied while closed).
        QCOMPARE(fx.core().close(), 0);
        QVERIFY(replaceWithCopy(storeFile(here), storeFile(dir.path())));
        QCOMPARE(fx.core().open(), 0);
        QVERIFY(holdsStore(dir.path()));
        QCOMPARE(QDir::currentPath(), here);

        // Foreign bytes, an empty file, no file at all.
        writeFile(storeFile(dir.path()), pattern(8192, 'z'));
        QVERIFY(!holdsStore(dir.path()));
        writeFile(storeFile(dir.path()), QByteArray());
        QVERIFY(!holdsStore(dir.path()));
        QVERIFY(QFile::remove(storeFile(dir.path())));
        QVERIFY(!holdsStore(dir.path()));
        QVERIFY(!QFileInfo::exists(storeFile(dir.path()))); // the check created nothing
        QCOMPARE(QDir::currentPath(), here);

        // A store of ours that lost a table.
        QCOMPARE(fx.core().exec_sql("DROP TABLE VIP;"), 0);
        QCOMPARE(fx.core().close(), 0);
        QVERIFY(replaceWithCopy(storeFile(here), storeFile(dir.path())));
        QCOMPARE(fx.core().open(), 0);
        QVERIFY(!holdsStore(dir.path()));
    }

    // ---- the copy sequence -----------------------------------------------------

    void quickBackupThenRestoreBringsTheDataBack() {
        const QString here = QDir::currentPath();
        addUser(fx.core(), "before");
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        QVERIFY(fx.core().is_open());
        addUser(fx.core(), "after");
        QCOMPARE(userCount(fx.core()), 3);

        // A second backup overwrites the first.
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        addUser(fx.core(), "later");
        QCOMPARE(restoreStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        QVERIFY(fx.core().is_open());
        QCOMPARE(userCount(fx.core()), 3);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='later'"), 0);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='after'"), 1);
        // The store is writable again and nothing but the store and its backup is left.
        addUser(fx.core(), "again");
        QCOMPARE(entries(here), QStringList({QStringLiteral(".__vorn__"), QStringLiteral("__vorn__")}));
    }

    void foreignFileIsRefused() {
        const QString here = QDir::currentPath();
        addUser(fx.core(), "kept");
        QTemporaryDir elsewhere;
        const QString notes = elsewhere.filePath(QStringLiteral("notes.vorndb"));
        writeFile(notes, QByteArray("SQLite format 3") + pattern(4096, 'k'));
        const QByteArray before = readAll(storeFile(here));
        // Refused before the store is even closed: it is never reopened.
        int opens = 0;
        const Reopen count = [&](vorn::Core& core) { return ++opens > 0 && reopenStore(core); };
        QCOMPARE(restoreStore(fx.core(), here, notes, count), Outcome::Failed);
        QCOMPARE(opens, 0);
        QVERIFY(fx.core().is_open());
        QCOMPARE(fx.core().get_urec_count("FUs_Name='kept'"), 1);
        QCOMPARE(entries(here), QStringList({QStringLiteral("__vorn__")}));
        QCOMPARE(QDir::currentPath(), here);
        QCOMPARE(fx.core().close(), 0);
        QCOMPARE(readAll(storeFile(here)), before);
        QCOMPARE(fx.core().open(), 0);
    }

    void restoredStoreThatDoesNotAnswerIsRolledBack() {
        const QString here = QDir::currentPath();
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        addUser(fx.core(), "newer");
        // The first reopen (on the restored file) fails, the next (on the old one) works.
        int opens = 0;
        const Reopen flaky = [&](vorn::Core& core) { return ++opens > 1 && reopenStore(core); };
        QCOMPARE(restoreStore(fx.core(), here, quickBackupFile(here), flaky), Outcome::Failed);
        QCOMPARE(opens, 2);
        QVERIFY(fx.core().is_open());
        QCOMPARE(fx.core().get_urec_count("FUs_Name='newer'"), 1); // the shop's own data
        QCOMPARE(entries(here), QStringList({QStringLiteral(".__vorn__"), QStringLiteral("__vorn__")}));
    }

    void storeThatNeverReopensIsFatalButItsFileIsWhole() {
        const QString here = QDir::currentPath();
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        addUser(fx.core(), "newer");
        const Reopen never = [](vorn::Core&) { return false; };
        QCOMPARE(restoreStore(fx.core(), here, quickBackupFile(here), never), Outcome::Fatal);
        QVERIFY(!fx.core().is_open());
        // On disk the shop's own file is back in place.
        QCOMPARE(fx.core().open(), 0);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='newer'"), 1);

        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here), never), Outcome::Fatal);
        QVERIFY(!fx.core().is_open());
        QCOMPARE(fx.core().open(), 0);
    }

    void failedBackupReopensAndKeepsThePreviousBackup() {
        const QString here = QDir::currentPath();
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        const QByteArray first = readAll(quickBackupFile(here));
        QCOMPARE(backupStore(fx.core(), here, here + QStringLiteral("/no/such/folder/x.vorndb")),
                 Outcome::Failed);
        QVERIFY(fx.core().is_open());
        QCOMPARE(userCount(fx.core()), 1);
        QCOMPARE(readAll(quickBackupFile(here)), first);
    }

    void directoryIsRestoredBeforeEveryReopen() {
        const QString here = QDir::currentPath();
        QTemporaryDir elsewhere;
        QStringList seen;
        const Reopen watch = [&](vorn::Core& core) {
            seen << QDir::currentPath();
            return reopenStore(core);
        };
        QVERIFY(QDir::setCurrent(elsewhere.path())); // as a file dialog might leave it
        QCOMPARE(backupStore(fx.core(), here, elsewhere.filePath(QStringLiteral("a.vorndb")), watch),
                 Outcome::Done);
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        QCOMPARE(restoreStore(fx.core(), here, elsewhere.filePath(QStringLiteral("a.vorndb")), watch),
                 Outcome::Done);
        QCOMPARE(seen, QStringList({here, here}));
        QCOMPARE(QDir::currentPath(), here);
        QVERIFY(!QFileInfo::exists(elsewhere.filePath(QStringLiteral("__vorn__"))));
    }

    void lockFileBesideTheStoreIsLeftAlone() {
        const QString here = QDir::currentPath();
        QLockFile lock(QDir(here).filePath(QStringLiteral("__vorn__.lock")));
        QVERIFY(lock.tryLock());
        const QByteArray lockBytes = readAll(QDir(here).filePath(QStringLiteral("__vorn__.lock")));
        QTemporaryDir target;
        const QString file = target.filePath(QStringLiteral("2026-01-02.vorndb"));
        QCOMPARE(backupStore(fx.core(), here, file), Outcome::Done);
        QCOMPARE(entries(target.path()), QStringList({QStringLiteral("2026-01-02.vorndb")}));
        addUser(fx.core(), "gone");
        QCOMPARE(restoreStore(fx.core(), here, file), Outcome::Done);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='gone'"), 0);
        QCOMPARE(readAll(QDir(here).filePath(QStringLiteral("__vorn__.lock"))), lockBytes);
        QCOMPARE(entries(here), QStringList({QStringLiteral("__vorn__"), QStringLiteral("__vorn__.lock")}));
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestBackupFiles)
#include "test_backupfiles.moc"

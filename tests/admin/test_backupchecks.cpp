// Backups and restores that check what they copy: a damaged backup never
// replaces the shop's data, a spoiled or half-written backup never passes for
// one, a full disk is named, a source that is no file or never answers is given
// up, a linked store stays linked, and what a killed copy left elsewhere is
// found again at the next start.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "backupfiles.h"
#include "backupjob.h"
#include "storecheck.h"
#include "storefixture.h"
#include "vorn/core.h"
#include "vorn/journal.h"

using namespace vorn::ui;
using namespace vorn::ui::backup;
using vorn::ui::test::StoreFixture;

Q_DECLARE_METATYPE(std::function<void(QByteArray&)>)

namespace {

// The store's page (SQLCipher 3's default): a store file is a whole number of them.
constexpr int kPageSize = 1024;
constexpr int kUnits = 20000;

using Spoil = std::function<void(QByteArray&)>;

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

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void addUnits(vorn::Core& core, int n) {
    std::vector<vorn::SRec> units(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        units[i].FSs_Code = "C" + std::to_string(i % 400);
        units[i].FSs_Name = "unit " + std::to_string(i);
        units[i].FSi_Type = units[i].FSi_Supplier = 1;
        units[i].FSd_RetP = 10 + i % 7;
    }
    QCOMPARE(core.insert_srec(units.data(), n), n);
}

void addUser(vorn::Core& core, const char* name) {
    vorn::URec u;
    u.FUs_Name = name;
    u.FUs_Pas = "pw";
    u.FUi_Auth = 2;
    QCOMPARE(core.insert_urec(&u, 1), 1);
}

// Zeroes 8 bytes in the middle of a file, as a failing stick returns them.
void zeroMiddle(const QString& path) {
    QByteArray bytes = readAll(path);
    QVERIFY(bytes.size() > 16);
    for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 8; ++i)
        bytes[i] = '\0';
    writeFile(path, bytes);
}

// A source that gives nothing until the test lets it go (a hung share).
struct Gate {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    int waiting = 0;
    void release() {
        const std::lock_guard<std::mutex> lock(m);
        open = true;
        cv.notify_all();
    }
};

} // namespace

class TestBackupChecks : public QObject {
    Q_OBJECT

private slots:
    void init() { fx.setUp(); }
    void cleanup() {
        setSourceReadForTests({});
        setTargetWriteForTests({});
        setSourceWaitMs(30000);
        fx.tearDown();
    }

    // ---- damaged backups ---------------------------------------------------------

    void damagedBackupIsRefusedAndTheStoreKept_data() {
        QTest::addColumn<Spoil>("spoil");
        const auto cut = [](int bytes) { return Spoil([bytes](QByteArray& b) { b.chop(bytes); }); };
        QTest::newRow("cut by 16 bytes") << cut(16);
        QTest::newRow("cut by 100 bytes") << cut(100);
        QTest::newRow("cut by 1,000 bytes") << cut(1000);
        QTest::newRow("cut by 4,096 bytes") << cut(4096);
        QTest::newRow("8 bytes zeroed in the middle") << Spoil([](QByteArray& b) {
            for (qsizetype i = b.size() / 2; i < b.size() / 2 + 8; ++i)
                b[i] = '\0';
        });
        QTest::newRow("a page and a half missing") << Spoil(
            [](QByteArray& b) { b.truncate((b.size() / kPageSize - 1) * kPageSize - kPageSize / 2); });
        QTest::newRow("last page missing") << Spoil([](QByteArray& b) {
            QCOMPARE(b.size() % kPageSize, 0);
            b.truncate(b.size() - kPageSize);
        });
    }

    void damagedBackupIsRefusedAndTheStoreKept() {
        QFETCH(Spoil, spoil);
        const QString here = QDir::currentPath();
        addUnits(fx.core(), kUnits);
        QTemporaryDir elsewhere;
        const QString backupFile = elsewhere.filePath(QStringLiteral("x.vorndb"));
        QCOMPARE(backupStore(fx.core(), here, backupFile), Outcome::Done);
        addUser(fx.core(), "after the backup");

        QByteArray bytes = readAll(backupFile);
        spoil(bytes);
        QVERIFY(bytes != readAll(backupFile));
        writeFile(backupFile, bytes);

        const QByteArray before = readAll(storeFile(here));
        const QStringList filesBefore = entries(here);
        Details details;
        QCOMPARE(restoreStore(fx.core(), here, backupFile, reopenStore, &details), Outcome::Failed);
        QVERIFY(details.verdict == StoreVerdict::Damaged || details.verdict == StoreVerdict::Unreadable);
        QVERIFY(!details.diskFull);
        QVERIFY(fx.core().is_open());
        QCOMPARE(readAll(storeFile(here)), before);
        QCOMPARE(entries(here), filesBefore);
        QCOMPARE(fx.core().get_srec_count(nullptr), kUnits);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='after the backup'"), 1);
    }

    void soundBackupOfTheSameStoreRestores() {
        // The counterpart of the refusals above: the same backup, unspoiled, is taken.
        const QString here = QDir::currentPath();
        addUnits(fx.core(), kUnits);
        QTemporaryDir elsewhere;
        const QString backupFile = elsewhere.filePath(QStringLiteral("x.vorndb"));
        QCOMPARE(backupStore(fx.core(), here, backupFile), Outcome::Done);
        QCOMPARE(fx.core().exec_sql("DELETE FROM Store WHERE FSi_Id>100;"), 0);
        QCOMPARE(restoreStore(fx.core(), here, backupFile), Outcome::Done);
        QCOMPARE(fx.core().get_srec_count(nullptr), kUnits);
        QCOMPARE(fx.core().quick_check(), 0);
    }

    void restoredStoreThatReadsBackDamagedIsRolledBack() {
        // The candidate passed, but the file in the store's place does not read back
        // (the disk spoiled the rename's target): the old file and data return.
        const QString here = QDir::currentPath();
        addUnits(fx.core(), 5000);
        // With its indexes in place, opening the restored store reads none of the
        // goods pages: only reading the whole file finds the damage.
        QCOMPARE(fx.core().ensure_indexes(), 0);
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        addUser(fx.core(), "newer");
        int opens = 0;
        const Reopen spoilFirst = [&](vorn::Core& core) {
            if (++opens == 1) zeroMiddle(storeFile(here));
            return reopenStore(core);
        };
        QCOMPARE(restoreStore(fx.core(), here, quickBackupFile(here), spoilFirst), Outcome::Failed);
        QCOMPARE(opens, 2);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='newer'"), 1);
        QCOMPARE(fx.core().quick_check(), 0);
        QCOMPARE(entries(here), QStringList({QStringLiteral(".__vorn__"), QStringLiteral("__vorn__")}));
    }

    void backupWithoutUsersIsRefused() {
        const QString here = QDir::currentPath();
        QTemporaryDir elsewhere;
        const QString empty = elsewhere.filePath(QStringLiteral("nobody.vorndb"));
        QCOMPARE(fx.core().exec_sql("DELETE FROM User;"), 0);
        QCOMPARE(fx.core().close(), 0);
        QVERIFY(replaceWithCopy(storeFile(here), empty));
        QCOMPARE(fx.core().open(), 0);
        addUser(fx.core(), "kept");
        Details details;
        QCOMPARE(restoreStore(fx.core(), here, empty, reopenStore, &details), Outcome::Failed);
        QCOMPARE(details.verdict, StoreVerdict::NoUsers);
        QCOMPARE(fx.core().get_urec_count(nullptr), 1);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='kept'"), 1);
    }

    // ---- the tables kept beside the six ------------------------------------------------

    // A table of the program's own that is there but does not answer as it must
    // (a column lost, another table under its name) spoils the file like one of
    // the six would: no backup is made of it and no restore takes it.
    void damagedNewTableIsRefused_data() {
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QString>("table");
        QTest::newRow("Sale with its number only")
            << QStringLiteral("ALTER TABLE Sale RENAME TO Old;"
                              "CREATE TABLE Sale (FSAi_Id INTEGER PRIMARY KEY,FSAs_No VARCHAR(24));")
            << QStringLiteral("Sale");
        QTest::newRow("SaleUnit is another table")
            << QStringLiteral("DROP TABLE SaleUnit; CREATE TABLE SaleUnit (x INTEGER);") << QStringLiteral("SaleUnit");
        QTest::newRow("SalePayment without its amount")
            << QStringLiteral("ALTER TABLE SalePayment RENAME TO Old;"
                              "CREATE TABLE SalePayment (FSAPi_Id INTEGER PRIMARY KEY,FSAPi_Sale INTEGER);")
            << QStringLiteral("SalePayment");
        QTest::newRow("LoginFail without its place")
            << QStringLiteral("DROP TABLE LoginFail; CREATE TABLE LoginFail (FLFi_Id INTEGER PRIMARY KEY,"
                              "FLFs_Name VARCHAR(32),FLFt_Time TIMESTAMP);")
            << QStringLiteral("LoginFail");
    }
    void damagedNewTableIsRefused() {
        QFETCH(QString, spoil);
        QFETCH(QString, table);
        const QString here = QDir::currentPath();
        addUnits(fx.core(), 100);
        QCOMPARE(checkStore(here), StoreVerdict::Sound);
        QTemporaryDir elsewhere;
        const QString sound = elsewhere.filePath(QStringLiteral("sound.vorndb"));
        QCOMPARE(backupStore(fx.core(), here, sound), Outcome::Done);

        QCOMPARE(fx.core().exec_in_transaction(spoil.toStdString()), 0);
        QCOMPARE(checkStore(here), StoreVerdict::Incomplete);
        // The store itself goes on: only a copy of it is refused.
        Details details;
        const QString spoiled = elsewhere.filePath(QStringLiteral("spoiled.vorndb"));
        QCOMPARE(backupStore(fx.core(), here, spoiled, reopenStore, &details), Outcome::Failed);
        QCOMPARE(details.verdict, StoreVerdict::Incomplete);
        QVERIFY(!QFile::exists(spoiled));
        QVERIFY(fx.core().is_open());

        // The spoiled store as a backup: refused, the sound store in place stays.
        QCOMPARE(fx.core().close(), 0);
        QVERIFY(replaceWithCopy(storeFile(here), spoiled));
        QVERIFY(replaceWithCopy(sound, storeFile(here)));
        QCOMPARE(fx.core().open(), 0);
        addUser(fx.core(), "kept");
        details = Details{};
        QCOMPARE(restoreStore(fx.core(), here, spoiled, reopenStore, &details), Outcome::Failed);
        QCOMPARE(details.verdict, StoreVerdict::Incomplete);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='kept'"), 1);
        QCOMPARE(checkStore(here), StoreVerdict::Sound);
        QVERIFY2(fx.core().exec_sql(qPrintable(QStringLiteral("SELECT * FROM %1;").arg(table))) == 0,
                 qPrintable(table));
    }

    // A backup made before the program kept tables of its own is taken as it is
    // and gains them when the store opens.
    void oldBackupWithoutNewTablesIsRestoredAndGainsThem() {
        const QString here = QDir::currentPath();
        addUnits(fx.core(), 300);
        addUser(fx.core(), "old");
        QCOMPARE(fx.core().exec_in_transaction("DROP TABLE Sale; DROP TABLE SaleUnit; DROP TABLE SalePayment;"
                                               "DROP TABLE LoginFail; DROP TABLE IF EXISTS PriceHistory;"),
                 0);
        QVERIFY(fx.core().exec_sql("SELECT * FROM Sale;") != 0);
        QCOMPARE(checkStore(here), StoreVerdict::Sound); // lacking them is no damage
        QTemporaryDir elsewhere;
        const QString old = elsewhere.filePath(QStringLiteral("old.vorndb"));
        QCOMPARE(fx.core().close(), 0);
        QVERIFY(replaceWithCopy(storeFile(here), old));
        QCOMPARE(fx.core().open(), 0);
        // The open gave the store its tables back; the goods go, for the restore to bring back.
        QCOMPARE(fx.core().exec_sql("SELECT * FROM Sale;"), 0);
        QCOMPARE(fx.core().exec_sql("DELETE FROM Store;"), 0);

        Details details;
        QCOMPARE(restoreStore(fx.core(), here, old, reopenStore, &details), Outcome::Done);
        QCOMPARE(details.verdict, StoreVerdict::Sound);
        QCOMPARE(fx.core().get_srec_count(nullptr), 300);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='old'"), 1);
        for (const char* table : {"Sale", "SaleUnit", "SalePayment", "LoginFail"})
            QVERIFY2(fx.core().exec_sql((std::string("SELECT * FROM ") + table + ";").c_str()) == 0, table);
        QCOMPARE(checkStore(here), StoreVerdict::Sound);
        QVERIFY(vorn::Journal(fx.core()).has_tables());
        // And what it now holds is checked like the rest.
        const QString again = elsewhere.filePath(QStringLiteral("again.vorndb"));
        QCOMPARE(backupStore(fx.core(), here, again), Outcome::Done);
    }

    // ---- backups that are checked --------------------------------------------------

    void spoiledBackupCopyIsNotTakenAndThePreviousStays() {
        const QString here = QDir::currentPath();
        addUnits(fx.core(), 5000);
        QTemporaryDir elsewhere;
        const QString file = elsewhere.filePath(QStringLiteral("2026-01-02.vorndb"));
        QCOMPARE(backupStore(fx.core(), here, file), Outcome::Done);
        const QByteArray first = readAll(file);
        addUser(fx.core(), "second");

        // A medium that alters one byte in the middle of each piece of the store
        // it is given (small writes, as of the program's notes, pass).
        qint64 written = 0;
        setTargetWriteForTests([&](int fd, const char* data, size_t size) {
            std::vector<char> copy(data, data + size);
            if (size >= 4 * kPageSize) copy[size / 2] = static_cast<char>(copy[size / 2] ^ 0x5a);
            written += static_cast<qint64>(size);
            return ::write(fd, copy.data(), size);
        });
        Details details;
        QCOMPARE(backupStore(fx.core(), here, file, reopenStore, &details), Outcome::Failed);
        QVERIFY(written > 4 * kPageSize);
        QCOMPARE(details.verdict, StoreVerdict::Damaged);
        QCOMPARE(readAll(file), first);
        QCOMPARE(entries(elsewhere.path()), QStringList({QStringLiteral("2026-01-02.vorndb")}));
        QCOMPARE(entries(here), QStringList({QStringLiteral("__vorn__")}));
        QVERIFY(fx.core().is_open());
        QCOMPARE(fx.core().get_urec_count("FUs_Name='second'"), 1);
    }

    void fullDiskIsNamedAndLeavesNoPartialFile_data() {
        QTest::addColumn<bool>("quick");
        QTest::newRow("quick backup") << true;
        QTest::newRow("backup to another folder") << false;
    }

    void fullDiskIsNamedAndLeavesNoPartialFile() {
        QFETCH(bool, quick);
        const QString here = QDir::currentPath();
        addUnits(fx.core(), 3000);
        QTemporaryDir elsewhere;
        const QString file = quick ? quickBackupFile(here) : elsewhere.filePath(QStringLiteral("b.vorndb"));
        qint64 room = 8192; // what the disk still takes
        setTargetWriteForTests([&](int fd, const char* data, size_t size) -> ssize_t {
            if (room <= 0) {
                errno = ENOSPC;
                return -1;
            }
            const ssize_t n = ::write(fd, data, std::min<size_t>(size, static_cast<size_t>(room)));
            if (n > 0) room -= n;
            return n;
        });
        Details details;
        QCOMPARE(backupStore(fx.core(), here, file, reopenStore, &details), Outcome::Failed);
        QVERIFY(details.diskFull);
        QCOMPARE(room, qint64(0));
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(entries(here), QStringList({QStringLiteral("__vorn__")}));
        QVERIFY(entries(elsewhere.path()).isEmpty());
        QVERIFY(fx.core().is_open());

        // A restore that runs out of room while staging says so too.
        setTargetWriteForTests({});
        QCOMPARE(backupStore(fx.core(), here, file), Outcome::Done);
        room = 0;
        setTargetWriteForTests([&](int, const char*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        Details restoreDetails;
        QCOMPARE(restoreStore(fx.core(), here, file, reopenStore, &restoreDetails), Outcome::Failed);
        QVERIFY(restoreDetails.diskFull);
        QCOMPARE(fx.core().get_srec_count(nullptr), 3000);
    }

    // ---- sources that are no file, or never answer ----------------------------------

    void sourceThatIsNoRegularFileIsRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO named like a backup") << QStringLiteral("fifo");
        QTest::newRow("folder named like a backup") << QStringLiteral("folder");
        QTest::newRow("link to a FIFO") << QStringLiteral("link");
    }

    void sourceThatIsNoRegularFileIsRefused() {
        QFETCH(QString, kind);
        const QString here = QDir::currentPath();
        addUser(fx.core(), "kept");
        QTemporaryDir elsewhere;
        const QString source = elsewhere.filePath(QStringLiteral("x.vorndb"));
        const QString fifo = elsewhere.filePath(kind == QLatin1String("link") ? QStringLiteral("pipe")
                                                                              : QStringLiteral("x.vorndb"));
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(elsewhere.path()).mkdir(QStringLiteral("x.vorndb")));
        } else {
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            if (kind == QLatin1String("link")) QVERIFY(QFile::link(fifo, source));
        }
        // Nobody ever writes to the FIFO: an open() of it would never return.
        const QByteArray before = readAll(storeFile(here));
        QCOMPARE(restoreStore(fx.core(), here, source), Outcome::Failed);
        QVERIFY(fx.core().is_open());
        QCOMPARE(fx.core().get_urec_count("FUs_Name='kept'"), 1);
        QCOMPARE(readAll(storeFile(here)), before);
        QCOMPARE(entries(here), QStringList({QStringLiteral("__vorn__")}));
    }

    void sourceThatStopsAnsweringIsGivenUp() {
        const QString here = QDir::currentPath();
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        addUser(fx.core(), "kept");
        auto gate = std::make_shared<Gate>();
        setSourceReadForTests([gate](int fd, char* buffer, size_t size) {
            std::unique_lock<std::mutex> lock(gate->m);
            ++gate->waiting;
            gate->cv.notify_all();
            gate->cv.wait(lock, [&] { return gate->open; });
            return ::read(fd, buffer, size);
        });
        setSourceWaitMs(200);
        CopyFailure why;
        QVERIFY(!replaceWithCopy(quickBackupFile(here), QDir(here).filePath(QStringLiteral("copy")), &why));
        QCOMPARE(why.error, ETIMEDOUT);
        QCOMPARE(restoreStore(fx.core(), here, quickBackupFile(here)), Outcome::Failed);
        {
            // Both copies did reach the source; neither got a byte from it.
            std::unique_lock<std::mutex> lock(gate->m);
            gate->cv.wait(lock, [&] { return gate->waiting == 2; });
        }
        gate->release();
        QVERIFY(fx.core().is_open());
        QCOMPARE(fx.core().get_urec_count("FUs_Name='kept'"), 1);
        QCOMPARE(entries(here), QStringList({QStringLiteral(".__vorn__"), QStringLiteral("__vorn__")}));
    }

    // ---- a linked store -------------------------------------------------------------

    void restoreWritesThroughALinkedStore() {
        const QString here = QDir::currentPath();
        QVERIFY(QDir(here).mkdir(QStringLiteral("data")));
        const QString real = QDir(here).filePath(QStringLiteral("data/shop.db"));
        QCOMPARE(fx.core().close(), 0);
        QVERIFY(QFile::rename(storeFile(here), real));
        QVERIFY(QFile::link(real, storeFile(here)));
        QCOMPARE(fx.core().open(), 0);

        addUser(fx.core(), "in the backup");
        QCOMPARE(backupStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        addUser(fx.core(), "after the backup");
        QCOMPARE(restoreStore(fx.core(), here, quickBackupFile(here)), Outcome::Done);
        QVERIFY(QFileInfo(storeFile(here)).isSymLink());
        QCOMPARE(QFileInfo(storeFile(here)).symLinkTarget(), real);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='in the backup'"), 1);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='after the backup'"), 0);
        QCOMPARE(entries(QDir(here).filePath(QStringLiteral("data"))),
                 QStringList({QStringLiteral("shop.db")}));
        QCOMPARE(entries(here), QStringList({QStringLiteral(".__vorn__"), QStringLiteral("__vorn__"),
                                             QStringLiteral("data")}));
        // The linked file holds the restored data when read on its own.
        QCOMPARE(fx.core().close(), 0);
        QVERIFY(QFile::remove(storeFile(here)));
        QVERIFY(QFile::rename(real, storeFile(here)));
        QCOMPARE(fx.core().open(), 0);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='in the backup'"), 1);
    }

    // ---- what a killed backup leaves elsewhere ----------------------------------------

    void backupElsewhereIsNotedWhileItRuns() {
        const QString here = QDir::currentPath();
        addUnits(fx.core(), 20000); // several pieces
        QTemporaryDir elsewhere;
        QStringList seenHere;
        QStringList seenThere;
        QByteArray note;
        {
            StagedStore staged(elsewhere.path(), here, StagedStore::Purpose::Backup);
            QVERIFY(staged.stage(storeFile(here), nullptr, [&](qint64) {
                // What a kill at this moment would leave on disk.
                if (seenHere.isEmpty()) {
                    seenHere = entries(here);
                    seenThere = entries(elsewhere.path());
                    note = readAll(QDir(here).filePath(QStringLiteral(".__vorn__.elsewhere")));
                }
                return true;
            }));
        }
        QCOMPARE(seenHere, QStringList({QStringLiteral(".__vorn__.elsewhere"), QStringLiteral("__vorn__")}));
        QCOMPARE(seenThere.size(), 1);
        QVERIFY(seenThere.first().startsWith(QStringLiteral(".__vorn__.backup-")));
        QCOMPARE(note, QDir(elsewhere.path()).absolutePath().toUtf8() + '\n');
        // Gone with the object, note and all.
        QCOMPARE(entries(here), QStringList({QStringLiteral("__vorn__")}));
        QVERIFY(entries(elsewhere.path()).isEmpty());
    }

    void sweepFindsWhatAKilledCopyLeftElsewhere() {
        const QString here = QDir::currentPath();
        QTemporaryDir stick;
        QTemporaryDir linked;
        // Left by a backup to a stick and a restore into a linked store's folder.
        QVERIFY(QDir(stick.path()).mkpath(QStringLiteral(".__vorn__.backup-a1B2c3")));
        writeFile(stick.filePath(QStringLiteral(".__vorn__.backup-a1B2c3/__vorn__")), "half");
        QVERIFY(QDir(linked.path()).mkpath(QStringLiteral(".__vorn__.restore-Zz9yX8")));
        writeFile(linked.filePath(QStringLiteral(".shop.db.rollback-Q1w2E3.part-r4T5y6")), "half");
        // What must stay: the user's backups, a rollback copy, look-alikes.
        writeFile(stick.filePath(QStringLiteral("2026-01-02.vorndb")), "mine");
        writeFile(linked.filePath(QStringLiteral("shop.db")), "store");
        writeFile(linked.filePath(QStringLiteral(".shop.db.rollback-Q1w2E3")), "old");
        QVERIFY(QDir(stick.path()).mkpath(QStringLiteral(".__vorn__.backup-notours")));
        const QString gone = QDir(here).filePath(QStringLiteral("unplugged"));
        writeFile(QDir(here).filePath(QStringLiteral(".__vorn__.elsewhere")),
                  (stick.path() + '\n' + linked.path() + '\n' + gone + '\n').toUtf8());

        QCOMPARE(sweepInterruptedCopies(here), 3);
        QCOMPARE(entries(stick.path()), QStringList({QStringLiteral(".__vorn__.backup-notours"),
                                                     QStringLiteral("2026-01-02.vorndb")}));
        QCOMPARE(entries(linked.path()),
                 QStringList({QStringLiteral(".shop.db.rollback-Q1w2E3"), QStringLiteral("shop.db")}));
        // A stick not plugged in stays noted until it is.
        QCOMPARE(readAll(QDir(here).filePath(QStringLiteral(".__vorn__.elsewhere"))), gone.toUtf8() + '\n');
        QVERIFY(QDir(here).mkdir(QStringLiteral("unplugged")));
        QCOMPARE(sweepInterruptedCopies(here), 0);
        QVERIFY(!QFileInfo::exists(QDir(here).filePath(QStringLiteral(".__vorn__.elsewhere"))));
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestBackupChecks)
#include "test_backupchecks.moc"

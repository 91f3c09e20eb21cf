// The import every kind of record shares (the file, its bounded read, the two
// dialogs, the check, the write and the status sentence, each way out of it)
// and the export every list shares, with a checker and a writer of their own.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>

#include "kit/text/clock.h"
#include "kit/sheet/csvimport.h"
#include "kit/sheet/sheetexport.h"
#include "kit/sheet/sheetwriter.h"
#include "storefixture.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

// A checker that checks nothing: it answers what the test sets and records
// what the import asked of it.
struct FakeChecker : ImportChecker {
    // Set by the test.
    std::vector<ImportProblem> found;
    int skip = 0;
    bool ok = true;
    QString tooMany;
    bool storeFail = false;
    int writes = 3;
    // Seen.
    int checked = 0;
    std::vector<CsvRecord> records;
    std::vector<int> mapping;
    bool wrote = false;
    int64_t moment = 0;

    void check(const std::vector<CsvRecord>& r, const std::vector<int>& m) override {
        ++checked;
        records = r;
        mapping = m;
    }
    const std::vector<ImportProblem>& problems() const override { return found; }
    int skipped() const override { return skip; }
    QString summary() const override { return QStringLiteral("将导入 %1 行").arg(records.size()); }
    bool allowed() const override { return ok; }
    QString refusal() const override { return tooMany; }
    bool storeFailed() const override { return storeFail; }
    int write(vorn::Core&, int64_t m, const std::function<void(int)>& percent) override {
        wrote = true;
        moment = m;
        if (percent) percent(100);
        return writes;
    }
    QString success(int written) const override { return QStringLiteral("成功\"导入\"%1个物件").arg(written); }
};

const QString kAbandoned = QStringLiteral("放弃该次物件\"导入\"操作");
const QString kNothing = QStringLiteral("未\"导入\"任何物件");
const QString kFailed = QStringLiteral("未知异常导致物件\"导入\"失败，放弃该次\"导入\"操作");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestCsvImport : public QObject {
    Q_OBJECT

    StoreFixture fx;
    QStringList dialogs; // what the runner was shown, in order

    void runImport(FakeChecker& checker, bool acceptMapping, bool confirm, int* reloads = nullptr,
                  const QString& title = QStringLiteral("导入物件")) {
        const ImportHost host{*fx.shell,
                              [&](QDialog& d) {
                                  if (qobject_cast<CImportDlg*>(&d)) {
                                      dialogs << QStringLiteral("mapping");
                                      acceptMapping ? d.accept() : d.reject();
                                  } else {
                                      dialogs << QStringLiteral("report");
                                      confirm ? d.accept() : d.reject();
                                  }
                                  return d.result();
                              },
                              [reloads] {
                                  if (reloads) ++*reloads;
                              }};
        std::vector<ImportField> fields = {{QStringLiteral("编码"), {QStringLiteral("code")}, true},
                                           {QStringLiteral("名称"), {}, false}};
        runCsvImport({host, title, QStringLiteral("物件"), fields, checker});
    }

private slots:
    void init() {
        fx.setUp();
        dialogs.clear();
        setNowForTests(1700000000);
    }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    void readImportFile_data() {
        QTest::addColumn<QString>("source"); // a file of that many bytes, or a path as it is
        QTest::addColumn<QString>("refusal");
        const qint64 limit = 4096;
        QTest::newRow("at the limit") << QString::number(limit) << QString();
        QTest::newRow("one byte over") << QString::number(limit + 1) << QStringLiteral("文件\"f.csv\"太大");
        // A device reports no size and never ends: only the bounded read stops it.
        QTest::newRow("endless device") << QStringLiteral("/dev/zero") << QStringLiteral("文件\"zero\"太大");
        QTest::newRow("missing") << QStringLiteral("missing.csv") << QStringLiteral("无法打开文件\"missing.csv\"（");
        QTest::newRow("only blanks") << QStringLiteral("blank") << QStringLiteral("文件\"f.csv\"中没有任何内容");
    }
    void readImportFile() {
        QFETCH(QString, source);
        QFETCH(QString, refusal);
        const qint64 limit = 4096;
        QString path = source;
        bool isSize = false;
        const qint64 size = source.toLongLong(&isSize);
        if (isSize || source == QStringLiteral("blank")) {
            path = fx.path(QStringLiteral("f.csv"));
            writeFile(path, isSize ? QByteArray(size, 'a') : QByteArray(" \r\n\t\n"));
        } else if (!source.startsWith(u'/')) {
            path = fx.path(source);
        }
        QByteArray bytes("old");
        const QString said = vorn::ui::readImportFile(path, QStringLiteral("物件"), bytes, limit);
        if (refusal.isEmpty()) {
            QVERIFY2(said.isEmpty(), qPrintable(said));
            QCOMPARE(qint64(bytes.size()), size);
        } else {
            QVERIFY2(said.startsWith(refusal), qPrintable(said));
            QVERIFY(said.endsWith(kAbandoned) || said.endsWith(kNothing));
            QVERIFY(bytes.isEmpty());
        }
    }

    void eachWayOut_data() {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("acceptMapping");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<QString>("tooMany");
        QTest::addColumn<bool>("storeFail");
        QTest::addColumn<int>("writes");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("failure"); // the status is also in the error box
        QTest::addColumn<bool>("wrote");
        QTest::addColumn<int>("reloads");
        const QStringList none, mapping{QStringLiteral("mapping")},
            both{QStringLiteral("mapping"), QStringLiteral("report")};
        QTest::newRow("no file") << false << true << true << true << QString() << false << 3 << 0 << none
                                 << kAbandoned << false << false << 0;
        QTest::newRow("mapping cancelled") << true << false << true << true << QString() << false << 3 << 0
                                           << mapping << kAbandoned << false << false << 0;
        QTest::newRow("report cancelled") << true << true << false << true << QString() << false << 3 << 0
                                          << both << kAbandoned << false << false << 0;
        QTest::newRow("nothing passed") << true << true << false << false << QString() << false << 3 << 2
                                        << both << kNothing << false << false << 0;
        QTest::newRow("too many") << true << true << false << false << QStringLiteral("太多") << false << 3
                                  << 0 << both << QStringLiteral("太多") << true << false << 0;
        QTest::newRow("store failed in the check") << true << true << true << true << QString() << true << 3
                                                   << 0 << mapping << kFailed << true << false << 0;
        QTest::newRow("write failed") << true << true << true << true << QString() << false << -1 << 0 << both
                                      << kFailed << true << true << 0;
        QTest::newRow("nothing written") << true << true << true << true << QString() << false << 0 << 0
                                         << both << kNothing << false << true << 0;
        QTest::newRow("written") << true << true << true << true << QString() << false << 3 << 0 << both
                                 << QStringLiteral("成功\"导入\"3个物件") << false << true << 1;
        QTest::newRow("written, some skipped") << true << true << true << true << QString() << false << 3 << 2
                                               << both << QStringLiteral("成功\"导入\"3个物件，跳过2行") << false
                                               << true << 1;
    }
    void eachWayOut() {
        QFETCH(bool, chosen);
        QFETCH(bool, acceptMapping);
        QFETCH(bool, confirm);
        QFETCH(bool, allowed);
        QFETCH(QString, tooMany);
        QFETCH(bool, storeFail);
        QFETCH(int, writes);
        QFETCH(int, skipped);
        QFETCH(QStringList, dialogs);
        QFETCH(QString, status);
        QFETCH(bool, failure);
        QFETCH(bool, wrote);
        QFETCH(int, reloads);

        const QString file = fx.path(QStringLiteral("in.csv"));
        writeFile(file, "code,名称\r\nA1,甲\r\nA2,乙\r\n");
        setImportFileChooser(fx.shell->st,
                             [&](QWidget*, const QString&) { return chosen ? file : QString(); });
        FakeChecker checker;
        checker.ok = allowed;
        checker.tooMany = tooMany;
        checker.storeFail = storeFail;
        checker.writes = writes;
        checker.skip = skipped;
        int reloaded = 0;
        runImport(checker, acceptMapping, confirm, &reloaded);

        QCOMPARE(this->dialogs, dialogs);
        QCOMPARE(fx.shell->statusText(), status);
        QCOMPARE(fx.shell->failures, failure ? QStringList{status} : QStringList());
        QCOMPARE(checker.wrote, wrote);
        QCOMPARE(reloaded, reloads);
        // The check runs once the mapping is accepted, on the data lines in the mapping's order.
        QCOMPARE(checker.checked, dialogs.isEmpty() || !acceptMapping ? 0 : 1);
        if (checker.checked) {
            QCOMPARE(checker.records.size(), size_t(2));
            QCOMPARE(checker.records[1].fields, (QStringList{QStringLiteral("A2"), QStringLiteral("乙")}));
            QCOMPARE(checker.mapping, (std::vector<int>{0, 1}));
        }
        if (wrote) QCOMPARE(checker.moment, int64_t(1700000000));
    }

    // Each import starts its file dialog where its own last file was; a
    // cancelled dialog changes nothing.
    void theFolderOfTheLastFileIsRemembered() {
        QVERIFY(QDir(fx.path(QString())).mkpath(QStringLiteral("a")));
        const QString file = fx.path(QStringLiteral("a/in.csv"));
        writeFile(file, "code\r\nA1\r\n");
        QStringList started;
        QString answer = file;
        setImportFileChooser(fx.shell->st, [&](QWidget*, const QString& folder) {
            started << folder;
            return answer;
        });
        FakeChecker checker;
        runImport(checker, false, false);
        runImport(checker, false, false);
        runImport(checker, false, false, nullptr, QStringLiteral("导入别的"));
        answer.clear();
        runImport(checker, false, false);
        runImport(checker, false, false);
        const QString here = QDir::currentPath(), a = QFileInfo(file).absolutePath();
        QCOMPARE(started, (QStringList{here, a, here, a, a}));
    }

    // ---- The export ----

    void exportWaysOut_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("writes");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("failure");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("progressHeard"); // -1: not written
        QTest::newRow("nothing listed") << 0 << true << true << QStringLiteral("未\"导出\"任何物件") << false
                                        << false << -1;
        QTest::newRow("cancelled") << 3 << false << true << QStringLiteral("放弃该次物件\"导出\"操作") << false
                                   << true << -1;
        QTest::newRow("written") << 3 << true << true << QStringLiteral("已导出3条物件记录到\"%1\"") << false
                                 << true << 0;
        QTest::newRow("failed") << 3 << true << false
                                << QStringLiteral("物件\"导出\"失败：磁盘满，放弃该次\"导出\"操作") << true << true
                                << 0;
        // A long list is written under the busy window, which shows the progress.
        QTest::newRow("long list") << int(kExportUnderBusyWindow) << true << true
                                   << QStringLiteral("已导出%2条物件记录到\"%1\"") << false << true << 1;
        QTest::newRow("just short") << int(kExportUnderBusyWindow - 1) << true << true
                                    << QStringLiteral("已导出%2条物件记录到\"%1\"") << false << true << 0;
    }
    void exportWaysOut() {
        QFETCH(int, count);
        QFETCH(bool, chosen);
        QFETCH(bool, writes);
        QFETCH(QString, status);
        QFETCH(bool, failure);
        QFETCH(bool, asked);
        QFETCH(int, progressHeard);
        const QString path = fx.path(QStringLiteral("out.xlsx"));
        QStringList prompts;
        setExportPathPrompt([&](QWidget*, const QString& title, const QString& suggested) {
            prompts << title + u'|' + suggested;
            return chosen ? path : QString();
        });
        int written = -1;
        runSheetExport({*fx.shell, QStringLiteral("导出物件..."), QStringLiteral("物件"), size_t(count),
                        [&](const QString& to, const std::function<void(int)>& percent, QString* error) {
                            written = percent ? 1 : 0;
                            if (to != path) return false;
                            if (!writes) *error = QStringLiteral("磁盘满");
                            return writes;
                        }});
        setExportPathPrompt({});
        QString expected = status;
        if (expected.contains(QStringLiteral("%1"))) expected = expected.arg(QDir::toNativeSeparators(path));
        if (expected.contains(QStringLiteral("%2"))) expected = expected.arg(count);
        QCOMPARE(fx.shell->statusText(), expected);
        QCOMPARE(fx.shell->failures, failure ? QStringList{expected} : QStringList());
        const QString day = QDateTime::fromSecsSinceEpoch(now()).toString(QStringLiteral("yyyyMMdd"));
        QCOMPARE(prompts, asked ? QStringList{QStringLiteral("导出物件|物件-%1.xlsx").arg(day)} : QStringList());
        QCOMPARE(written, progressHeard);
    }
};

QTEST_MAIN(TestCsvImport)
#include "test_csvimport.moc"

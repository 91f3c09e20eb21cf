// The import command as the goods page runs it: the file, the column mapping,
// the report of the check, the write, and what the page and status bar say.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTest>

#include "goodsfixture.h"
#include "goodsimport.h"
#include "kit/text/gbk.h"
#include "kit/sheet/importdlg.h"
#include "kit/sheet/importreport.h"
#include "res/commandids.h"
#include "res/vornres.h"
#include "storeview.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

// A catalogue as a shop brings it over: Chinese headings of other programs, a
// bad price, a name GBK cannot hold, an unknown type.
const QString kCatalogue = QStringLiteral("条码,品名,类别,规格,进价,售价,数量,供应商,备注\r\n"
                                          "6901,可口可乐,饮料,330ml,1.5,3,12,ACME,\r\n"
                                          "6902,雪碧,饮料,330ml,abc,3,5,ACME,\r\n"
                                          "6903,笑脸\U0001F600饼干,饮料,1kg,2,4,1,,\r\n"
                                          "6904,薯片,零食,100g,2.5,5.5,,,\"盒装, 整件\"\r\n");

enum class Step { Preview, Report };

// With VORN_SCREENSHOT_DIR set, the two dialogs of the first import are kept as
// pictures in the program's look (Fusion, a Chinese font, the office style sheet).
QString pictureDir() {
    return qEnvironmentVariable("VORN_SCREENSHOT_DIR");
}

void applyProgramLook() {
    vornInitResources();
    QFile qss(QStringLiteral(":/style/office2010blue.qss"));
    QVERIFY(qss.open(QIODevice::ReadOnly));
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty()) {
        QFont f(chinese.contains(QStringLiteral("WenQuanYi Micro Hei"))
                    ? QStringLiteral("WenQuanYi Micro Hei")
                    : chinese.first());
        f.setPixelSize(12);
        QApplication::setFont(f);
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    qApp->setStyleSheet(QString::fromUtf8(qss.readAll()));
}

void keepPicture(QDialog& d, const QString& name) {
    if (pictureDir().isEmpty()) return;
    d.show();
    QVERIFY(d.grab().save(QDir(pictureDir()).filePath(name)));
    d.hide();
}

} // namespace

class TestGoodsImport : public QObject {
    Q_OBJECT

private:
    GoodsFixture fx;
    std::unique_ptr<CStoreView> page;
    QString file;
    // What the runner saw and does.
    int previews = 0;
    int reports = 0;
    Step cancelAt = Step::Report;
    bool cancel = false;
    QStringList problemTexts;
    QStringList problemKinds;
    QString summary;
    std::function<void()> beforeConfirm;
    bool pictures = false;

    void writeFile(const QByteArray& bytes) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    int run(QDialog& d) {
        if (auto* preview = qobject_cast<CImportDlg*>(&d)) {
            ++previews;
            if (pictures) keepPicture(d, QStringLiteral("goods-import-mapping.png"));
            if (cancel && cancelAt == Step::Preview) {
                d.reject();
            } else {
                preview->accept();
            }
            return d.result();
        }
        auto* report = qobject_cast<CImportReportDlg*>(&d);
        if (!report) qFatal("unexpected dialog");
        ++reports;
        if (pictures) keepPicture(d, QStringLiteral("goods-import-report.png"));
        QTableWidget* list = report->problemList();
        for (int r = 0; r < list->rowCount(); ++r) {
            problemTexts << QStringLiteral("%1 %2").arg(list->item(r, 0)->text(), list->item(r, 1)->text());
            problemKinds << list->item(r, 2)->text();
        }
        summary = report->findChild<QLabel*>(QStringLiteral("summaryLabel"))->text();
        if (cancel && cancelAt == Step::Report) {
            d.reject();
        } else {
            if (beforeConfirm) beforeConfirm();
            report->accept();
        }
        return d.result();
    }

    void importFile() { page->onCommand(cmd::ImportGoods); }

private slots:
    void initTestCase() {
        if (!pictureDir().isEmpty()) applyProgramLook();
    }
    void init() {
        fx.setUp();
        QCOMPARE(fx.core().exec_sql(("INSERT INTO Type VALUES(NULL,'" + gbk(QStringLiteral("饮料")) +
                                     "');INSERT INTO Supplier VALUES(NULL,'ACME');")
                                        .c_str()),
                 0);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        page = std::make_unique<CStoreView>(*fx.shell);
        file = fx.path(QStringLiteral("goods.csv"));
        setImportFileChooser(fx.shell->st, [this](QWidget*, const QString&) { return file; });
        page->setDialogRunner([this](QDialog& d) { return run(d); });
        previews = reports = 0;
        cancel = false;
        problemTexts.clear();
        problemKinds.clear();
        summary.clear();
        beforeConfirm = nullptr;
        pictures = false;
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
    }

    void aGbkCatalogueIsCheckedReportedAndEntered() {
        QStringEncoder enc("GBK");
        QString text = kCatalogue;
        text.replace(QString::fromUcs4(U"\U0001F600"), QString()); // GBK cannot carry it; see the UTF-8 case
        writeFile(enc.encode(text));
        importFile();
        QCOMPARE(previews, 1);
        QCOMPARE(reports, 1);
        QCOMPARE(summary, QStringLiteral("将导入 3 行，共 14 件商品；跳过 1 行"));
        QCOMPARE(problemKinds, QStringList({QStringLiteral("跳过"), QStringLiteral("提示")}));
        QVERIFY(problemTexts[0].startsWith(QStringLiteral("3 \"进货价(元)\"")));
        QCOMPARE(problemTexts[1], QStringLiteral("5 类型\"零食\"不存在，按\"未知\"导入"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"导入\"14件商品（3行），跳过1行"));
        QVERIFY(fx.shell->failures.isEmpty());

        const std::vector<vorn::SRec> rows = fx.stored();
        QCOMPARE(rows.size(), size_t(14));
        QCOMPARE(
            fx.core().get_srec_count(("FSs_Code='6901' AND FSs_Name='" + gbk(QStringLiteral("可口可乐")) +
                                      "' AND FSd_OriP=1.5 AND FSd_MemP=3.0 AND FSi_Supplier>1")
                                         .c_str()),
            12);
        QCOMPARE(fx.core().get_srec_count("FSs_Code='6903' AND FSi_Supplier=1"), 1);
        QCOMPARE(fx.core().get_srec_count(("FSs_Code='6904' AND FSi_Type=1 AND FSs_Remark='" +
                                           gbk(QStringLiteral("盒装, 整件")) + "'")
                                              .c_str()),
                 1);
        // One stock time for the whole import.
        for (const vorn::SRec& r : rows)
            QCOMPARE(r.FSt_StoT, rows.front().FSt_StoT);
    }

    void aUtf8CatalogueRefusesTheEmojiName() {
        writeFile(kCatalogue.toUtf8());
        pictures = true;
        importFile();
        QCOMPARE(summary, QStringLiteral("将导入 2 行，共 13 件商品；跳过 2 行"));
        QVERIFY(problemTexts.contains(QStringLiteral("4 \"商品名称\"含有无法保存的字符")));
        QCOMPARE(fx.core().get_srec_count("FSs_Code='6903'"), 0);
        QCOMPARE(fx.core().get_srec_count(nullptr), 13);
    }

    void cancellingAnyStepWritesNothing() {
        writeFile(kCatalogue.toUtf8());
        // The file dialog.
        setImportFileChooser(fx.shell->st, [](QWidget*, const QString&) { return QString(); });
        importFile();
        QCOMPARE(previews, 0);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次商品\"导入\"操作"));
        setImportFileChooser(fx.shell->st, [this](QWidget*, const QString&) { return file; });
        // The preview: no check, no report.
        cancel = true;
        cancelAt = Step::Preview;
        importFile();
        QCOMPARE(previews, 1);
        QCOMPARE(reports, 0);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次商品\"导入\"操作"));
        // The report.
        cancelAt = Step::Report;
        importFile();
        QCOMPARE(reports, 1);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次商品\"导入\"操作"));
        QCOMPARE(fx.core().get_srec_count(nullptr), 0);
        QVERIFY(fx.shell->failures.isEmpty());
    }

    void aFailedWriteLeavesNothing() {
        writeFile(kCatalogue.toUtf8());
        // The store refuses the last line; the lines before it must not stay.
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER refuse BEFORE INSERT ON Store WHEN NEW.FSs_Code='6904' "
                                    "BEGIN SELECT RAISE(ABORT,'refused'); END;"),
                 0);
        importFile();
        const QString failure = QStringLiteral("未知异常导致商品\"导入\"失败，放弃该次\"导入\"操作");
        QCOMPARE(fx.shell->failures, QStringList{failure});
        QCOMPARE(fx.core().get_srec_count(nullptr), 0);
        // A store gone between the check and the write: the same.
        QCOMPARE(fx.core().exec_sql("DROP TRIGGER refuse;"), 0);
        beforeConfirm = [this] { fx.core().close(); };
        importFile();
        QCOMPARE(fx.shell->failures.size(), 2);
        QCOMPARE(fx.core().open(), 0);
        QCOMPARE(fx.core().get_srec_count(nullptr), 0);
    }

    void nothingToEnterCannotBeConfirmed() {
        writeFile(QStringLiteral("商品编码,商品名称,零售价(元)\n,无码,3\nX1,坏价,-1\n").toUtf8());
        importFile();
        QCOMPARE(summary, QStringLiteral("将导入 0 行，共 0 件商品；跳过 2 行"));
        QCOMPARE(problemKinds, QStringList({QStringLiteral("跳过"), QStringLiteral("跳过")}));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未\"导入\"任何商品"));
        QCOMPARE(fx.core().get_srec_count(nullptr), 0);
    }

    void unreadableAndOversizedFilesAreRefused() {
        file = fx.path(QStringLiteral("missing.csv"));
        importFile();
        QCOMPARE(previews, 0);
        QCOMPARE(fx.shell->failures.size(), 1);
        QVERIFY(fx.shell->failures[0].startsWith(QStringLiteral("无法打开文件\"missing.csv\"")));

        file = fx.path(QStringLiteral("huge.csv"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(kMaxImportFileBytes + 1)); // sparse: nothing is really written
        f.close();
        importFile();
        QCOMPARE(previews, 0);
        QCOMPARE(fx.shell->failures.size(), 2);
        QVERIFY(fx.shell->failures[1].startsWith(QStringLiteral("文件\"huge.csv\"太大，不能超过50MB")));
    }

    void aBigFileIsCheckedWholeBeforeTheWrite() {
        // Big enough for the check to run under the busy window.
        QString text = QStringLiteral("商品编码,商品名称,零售价(元)\n");
        for (int i = 0; i < 25000; ++i)
            text += i % 1000 == 999 ? QStringLiteral("C%1,坏价,x\n").arg(i)
                                    : QStringLiteral("C%1,好,%2\n").arg(i).arg(i % 50);
        writeFile(text.toUtf8());
        importFile();
        QCOMPARE(summary, QStringLiteral("将导入 24,975 行，共 24,975 件商品；跳过 25 行"));
        QCOMPARE(problemTexts.size(), 25);
        QVERIFY(problemTexts.first().startsWith(QStringLiteral("1001 ")));
        QCOMPARE(fx.core().get_srec_count(nullptr), 24975);
        QCOMPARE(fx.core().get_srec_count("FSs_Code='C1998' AND FSd_RetP=48.0"), 1);
    }

    void aSearchedListShowsTheNewUnits() {
        writeFile(kCatalogue.toUtf8());
        // Never searched: the list stays empty, as a page starts.
        importFile();
        QCOMPARE(page->model()->rowCount(), 0);
        QVERIFY(!page->hasRecord());
        // Searched for a code: the next import shows its new units at once.
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("6904"));
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 1);
        importFile();
        QCOMPARE(page->model()->rowCount(), 2);
        QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("成功\"导入\"13件商品")));
    }
};

QTEST_MAIN(TestGoodsImport)
#include "test_goodsimport.moc"

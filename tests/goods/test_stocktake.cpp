// The stock-take window: a count by scanner alone, saved and continued in a
// new window, confirmed with the question saying what will be written; counts
// typed into the sheet; the scope by types; uncounted codes as 0; closing with
// unsaved counts; the export; and what the code edit reads.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "footerstrip.h"
#include "goodsfixture.h"
#include "kit/sheet/sheetwriter.h"
#include "kit/text/clock.h"
#include "stocktakedlg.h"
#include "stocktakemodel.h"
#include "stocktakeprint.h"
#include "stocktakescan.h"
#include "vorn/sqltext.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

class TestStockTake : public QObject {
    Q_OBJECT

    GoodsFixture fx;

    void scan(CStockTakeDlg& dlg, const QString& text) {
        QTest::keyClicks(dlg.scanEdit(), text);
        QTest::keyClick(dlg.scanEdit(), Qt::Key_Return);
    }
    static const vorn::StockTakeRow& row(CStockTakeDlg& dlg, const char* code) {
        const int r = dlg.model()->rowOf(code);
        Q_ASSERT(r >= 0);
        return dlg.model()->rows()[static_cast<size_t>(r)];
    }
    int stock(const char* code, int flag = 0) {
        return fx.core().get_srec_count(
            (std::string("FSs_Code='") + code + "' AND FSi_Flag=" + std::to_string(flag)).c_str());
    }
    // A: 3 in stock (one older at 2.0), B: 1 at 4.0, C: 1 of type 2.
    void shop() {
        std::vector<vorn::SRec> u = {GoodsFixture::unit("A", 2.0, 5, 1000),
                                     GoodsFixture::unit("A", 3.0, 5, 2000),
                                     GoodsFixture::unit("A", 3.0, 5, 2000), GoodsFixture::unit("B", 4.0, 9)};
        vorn::SRec c = GoodsFixture::unit("C", 1.0, 2);
        c.FSi_Type = 2;
        u.push_back(c);
        fx.insert(u);
    }

private slots:
    void init() {
        fx.setUp();
        vorn::ui::setNowForTests(vorn::local_time_of(2026, 12, 8, 18, 0, 0));
        fx.shell->st.currentUser.FUs_Name = "alice";
        vorn::TRec t;
        t.FTs_Name = "drinks";
        QCOMPARE(fx.core().insert_trec(&t, 1), 1);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        shop();
    }
    void cleanup() {
        vorn::ui::setNowForTests(0);
        fx.tearDown();
    }

    void readsTheCodeEdit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("spin");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("quantity");
        QTest::newRow("scan") << "6901234567890" << 1 << "6901234567890" << 1;
        QTest::newRow("spin box") << " A1 " << 5 << "A1" << 5;
        QTest::newRow("star") << "12*6901234567890" << 1 << "6901234567890" << 12;
        QTest::newRow("star over spin") << "3 * A1" << 7 << "A1" << 3;
        QTest::newRow("times sign") << QStringLiteral("2×A1") << 1 << "A1" << 2;
        QTest::newRow("empty") << "  " << 1 << "" << 0;
        QTest::newRow("no code") << "4*" << 1 << "" << 0;
        QTest::newRow("bad quantity") << "x*A1" << 1 << "" << 0;
        QTest::newRow("zero") << "0*A1" << 1 << "" << 0;
        QTest::newRow("a code as quantity") << "6901234567890*A1" << 1 << "" << 0;
    }
    void readsTheCodeEdit() {
        QFETCH(QString, text);
        QFETCH(int, spin);
        const StockScan s = readStockScan(text, spin);
        QTEST(s.code, "code");
        QTEST(s.quantity, "quantity");
    }

    // The whole count with the scanner alone: Enter after each code.
    void scannerOnlyCount() {
        {
            CStockTakeDlg dlg(*fx.shell);
            QVERIFY(!dlg.started());
            dlg.startTake();
            QVERIFY(dlg.started());
            QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("成功开始盘点全部商品")));
            QCOMPARE(dlg.model()->rowCount(), 3);
            for (const char* code : {"A", "B", "2*B", "ZZZ", "A"})
                scan(dlg, QString::fromLatin1(code));
            QVERIFY(fx.shell->statuses.contains(
                QStringLiteral("未在盘点范围内找到编码为\"ZZZ\"的商品，未计入任何数量")));
            QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("成功盘点")));
            QCOMPARE(dlg.scanEdit()->text(), QString());
            QCOMPARE(row(dlg, "A").counted, 2);
            QCOMPARE(row(dlg, "B").counted, 3);
            QCOMPARE(row(dlg, "C").counted, std::nullopt);
            // A is one short: the oldest unit's 2.0; B two over at its 4.0.
            QCOMPARE(row(dlg, "A").cost, int64_t(-20));
            QCOMPARE(row(dlg, "B").cost, int64_t(80));
            QCOMPARE(dlg.footer()->text(TakeCost), QStringLiteral("6.0"));
            QCOMPARE(dlg.footer()->text(TakeCounted), QStringLiteral("5"));
            QVERIFY(dlg.save());
            QVERIFY(dlg.unsaved().empty());
        }
        // A new window finds the count again.
        CStockTakeDlg dlg(*fx.shell);
        QVERIFY(dlg.started());
        QVERIFY(fx.shell->statusText().contains(QStringLiteral("已盘2种商品")));
        QCOMPARE(row(dlg, "A").counted, 2);
        scan(dlg, QStringLiteral("C"));
        fx.boxes.answers = {true};
        dlg.confirmTake();
        QCOMPARE(fx.boxes.shown.size(), 1);
        QVERIFY(fx.boxes.shown[0].contains(QStringLiteral("报损（盘亏）1件，进货价合计2.0元")));
        QVERIFY(fx.boxes.shown[0].contains(QStringLiteral("入库（盘盈）2件，进货价合计8.0元")));
        QVERIFY(fx.boxes.shown[0].contains(QStringLiteral("没有未盘点的商品")));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("成功\"确认盘点\"：报损1件，盘盈入库2件，差异金额6.0元"));
        QCOMPARE(stock("A"), 2);
        QCOMPARE(stock("A", 2), 1);
        QCOMPARE(fx.stored("FSi_Flag=2")[0].FSt_StoT, int64_t(1000));
        QCOMPARE(stock("B"), 3);
        QCOMPARE(stock("C"), 1);
        QVERIFY(fx.shell->failures.isEmpty());
    }

    void countTypedIntoTheSheet() {
        CStockTakeDlg dlg(*fx.shell);
        dlg.startTake();
        const int a = dlg.model()->rowOf("A");
        QVERIFY(dlg.model()->flags(dlg.model()->index(a, TakeCounted)) & Qt::ItemIsEditable);
        QVERIFY(!(dlg.model()->flags(dlg.model()->index(a, TakeBook)) & Qt::ItemIsEditable));
        QVERIFY(dlg.model()->setData(dlg.model()->index(a, TakeCounted), QStringLiteral("5"), Qt::EditRole));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功将\"name-A\"的实盘数量改为5件"));
        QCOMPARE(row(dlg, "A").difference, 2);
        QVERIFY(
            !dlg.model()->setData(dlg.model()->index(a, TakeCounted), QStringLiteral("-1"), Qt::EditRole));
        QVERIFY(!dlg.model()->setData(dlg.model()->index(a, TakeCounted), QStringLiteral("x"), Qt::EditRole));
        QCOMPARE(row(dlg, "A").counted, 5);
        QVERIFY(dlg.model()->setData(dlg.model()->index(a, TakeCounted), QString(), Qt::EditRole));
        QCOMPARE(row(dlg, "A").counted, std::nullopt);
        QCOMPARE(dlg.unsaved().at("A"), -1);
        QCOMPARE(dlg.model()->data(dlg.model()->index(a, TakeDifference), Qt::DisplayRole).toString(),
                 QString());
    }

    void scopeByTypes() {
        CStockTakeDlg dlg(*fx.shell);
        dlg.someTypes()->setChecked(true);
        dlg.startTake();
        QVERIFY(!dlg.started());
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未选择任何商品类型，未开始盘点"));
        for (int i = 0; i < dlg.typeList()->count(); ++i)
            if (dlg.typeList()->item(i)->data(Qt::UserRole).toInt() == 2)
                dlg.typeList()->item(i)->setCheckState(Qt::Checked);
        dlg.startTake();
        QVERIFY(dlg.started());
        QCOMPARE(dlg.take().types, std::vector<int>{2});
        QCOMPARE(dlg.model()->rowCount(), 1);
        scan(dlg, QStringLiteral("A"));
        QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("未在盘点范围内")));
        QVERIFY(dlg.unsaved().empty());
    }

    // Uncounted codes are left alone unless the box says they count 0.
    void uncountedAsZero() {
        CStockTakeDlg dlg(*fx.shell);
        dlg.startTake();
        scan(dlg, QStringLiteral("3*A"));
        QVERIFY(dlg.summary()->text().startsWith(QStringLiteral("盘亏 0 件")));
        dlg.zeroUncounted()->setChecked(true);
        QCOMPARE(row(dlg, "B").counted, 0);
        QVERIFY(dlg.summary()->text().startsWith(QStringLiteral("盘亏 2 件（进货价 5.0 元）")));
        fx.boxes.answers = {false};
        dlg.confirmTake();
        QVERIFY(fx.boxes.shown.last().contains(QStringLiteral("未盘点的2种商品按0计，其库存全部报损")));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"确认盘点\"操作"));
        QCOMPARE(stock("B"), 1);
        fx.boxes.answers = {true};
        dlg.confirmTake();
        QCOMPARE(stock("A"), 3);
        QCOMPARE(stock("B"), 0);
        QCOMPARE(stock("C"), 0);
    }

    void closingOffersToSave_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("saved") << true;
        QTest::newRow("dropped") << false;
    }
    void closingOffersToSave() {
        QFETCH(bool, answer);
        {
            CStockTakeDlg dlg(*fx.shell);
            dlg.startTake();
            scan(dlg, QStringLiteral("B"));
            fx.boxes.answers = {answer};
            dlg.reject();
            QCOMPARE(fx.boxes.shown.size(), 1);
            QVERIFY(fx.shell->statusText().startsWith(answer ? QStringLiteral("成功")
                                                             : QStringLiteral("放弃该次")));
        }
        CStockTakeDlg again(*fx.shell);
        QVERIFY(again.started());
        QCOMPARE(row(again, "B").counted, answer ? std::optional<int>(1) : std::nullopt);
    }

    void abandoned() {
        CStockTakeDlg dlg(*fx.shell);
        dlg.startTake();
        scan(dlg, QStringLiteral("A"));
        fx.boxes.answers = {true};
        dlg.abandonTake();
        QVERIFY(!dlg.started());
        QCOMPARE(dlg.model()->rowCount(), 0);
        QCOMPARE(stock("A"), 3);
        CStockTakeDlg next(*fx.shell);
        QVERIFY(!next.started());
    }

    void exported() {
        CStockTakeDlg dlg(*fx.shell);
        dlg.startTake();
        scan(dlg, QStringLiteral("A"));
        const QString file = fx.path(QStringLiteral("take.csv"));
        setExportPathPrompt([&](QWidget*, const QString&, const QString&) { return file; });
        dlg.exportSheet();
        setExportPathPrompt({});
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 3 + 1);
        QVERIFY(lines[0].contains(QStringLiteral("差异金额(元)")));
        QVERIFY(lines[1].startsWith(QStringLiteral("A,name-A,")));
        QVERIFY(lines[1].endsWith(QStringLiteral(",3,1,-2,-5.0")));
        QVERIFY(lines[4].startsWith(QStringLiteral("合计")));
    }

    void printed() {
        CStockTakeDlg dlg(*fx.shell);
        dlg.startTake();
        scan(dlg, QStringLiteral("A"));
        const QString html = stockTakeHtml(QStringLiteral("盘点表"), dlg.model()->rows(),
                                           [&](int t) { return dlg.model()->typeName(t); });
        QCOMPARE(html.count(QStringLiteral("<tr>")), 1 + 3 + 1);
        QVERIFY(html.contains(QStringLiteral("<td>drinks</td>")));
        QVERIFY(html.contains(QStringLiteral("<td align=\"right\">-2</td><td align=\"right\">-5.0</td>")));
        const QString file = fx.path(QStringLiteral("take.pdf"));
        dlg.printSheet(file);
        QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("成功将盘点表3种商品")));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(5), QByteArray("%PDF-"));
    }

    // The window as the user sees it, for a look: Chinese, nothing cut, fits 1024x768.
    void picture() {
        CStockTakeDlg dlg(*fx.shell);
        dlg.startTake();
        scan(dlg, QStringLiteral("2*A"));
        scan(dlg, QStringLiteral("B"));
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        QVERIFY(dlg.minimumSizeHint().width() <= 1024);
        const QString out = qEnvironmentVariable("VORN_STOCKTAKE_PNG");
        if (!out.isEmpty()) {
            dlg.show();
            QVERIFY(dlg.grab().save(out));
            fx.boxes.answers = {true};
            dlg.abandonTake();
            CStockTakeDlg blank(*fx.shell);
            blank.show();
            QVERIFY(blank.grab().save(out + QStringLiteral(".start.png")));
        }
    }
};

QTEST_MAIN(TestStockTake)
#include "test_stocktake.moc"

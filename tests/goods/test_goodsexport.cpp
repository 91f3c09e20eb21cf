// Goods out to spreadsheets: the export command writes the units the list
// shows, in its order, every stored field a shop needs to bring them back, under
// the headings the goods import maps; cancelling and failing leave no file.
#include <QDateTime>
#include <QFile>
#include <QTest>

#include "goodsstate.h"
#include "goodscells.h"
#include "goodsexport.h"
#include "goodsfixture.h"
#include "kit/page/pagehost.h"
#include "kit/text/csv.h"
#include "kit/text/gbk.h"
#include "kit/sheet/sheetwriter.h"
#include "res/commandids.h"
#include "storeview.h"
#include "xlsxread.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

std::vector<CsvRecord> readCsv(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF")) return {};
    return parseCsv(decodeText(bytes, TextEncoding::Utf8));
}

QString timeOf(int64_t t) {
    return QDateTime::fromSecsSinceEpoch(t).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

const int64_t kStocked = QDateTime(QDate(2012, 3, 5), QTime(9, 8, 7)).toSecsSinceEpoch();
const int64_t kSold = QDateTime(QDate(2012, 4, 1), QTime(18, 30, 0)).toSecsSinceEpoch();

} // namespace

class TestGoodsExport : public QObject {
    Q_OBJECT

    GoodsFixture fx;
    std::unique_ptr<CStoreView> page;
    int typeId = 0;
    int supplierId = 0;
    QStringList prompts; // suggested names the export asked with
    QString answer;      // what the path prompt answers

private slots:
    void init() {
        fx.setUp();
        vorn::TRec type;
        type.FTs_Name = gbk(QStringLiteral("饮料"));
        QCOMPARE(fx.core().insert_trec(&type, 1), 1);
        vorn::SPRec supplier;
        supplier.FSPs_Name = gbk(QStringLiteral("华联, \"总店\""));
        QCOMPARE(fx.core().insert_sprec(&supplier, 1), 1);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        typeId = fx.shell->st.types.back().FTi_Id;
        supplierId = fx.shell->st.suppliers.back().FSPi_Id;

        // A drink in stock with all six prices, a sold towel of an unknown
        // supplier, and a unit of a type that is gone.
        vorn::SRec cola = GoodsFixture::unit("6901234567892", 1.25, 3.0, kStocked);
        cola.FSs_Name = gbk(QStringLiteral("可乐 \"经典\""));
        cola.FSi_Type = typeId;
        cola.FSs_Size = "330ml";
        cola.FSd_MemP = 2.85;
        cola.FSd_GolP = 2.75;
        cola.FSd_WhoP = 2.5;
        cola.FSd_SpeP = 2.05;
        cola.FSi_Supplier = supplierId;
        cola.FSs_Remark = gbk(QStringLiteral("第一行\n第二行"));
        vorn::SRec towel = GoodsFixture::unit("A-2", 5, 12, kStocked);
        towel.FSs_Name = gbk(QStringLiteral("毛巾"));
        towel.FSs_Size.clear();
        towel.FSi_Flag = 1;
        towel.FSd_ReaP = 9.95;
        towel.FSt_SalT = kSold;
        towel.FSi_Supplier = 99;
        vorn::SRec odd = GoodsFixture::unit("B", 0, 0.5, kStocked);
        odd.FSi_Type = 77;
        fx.insert({cola, towel, odd});

        prompts.clear();
        answer.clear();
        setExportPathPrompt([this](QWidget*, const QString&, const QString& suggested) {
            prompts << suggested;
            return answer;
        });
        page = std::make_unique<CStoreView>(*fx.shell);
    }
    void cleanup() {
        setExportPathPrompt({});
        page.reset();
        fx.tearDown();
    }

    // The headings are what the goods import maps; they must not drift.
    void headingsAreTheImportsNames() {
        QCOMPARE(goodsSheet({}, {}).headings,
                 (QStringList{"商品编码", "商品名称", "类型", "规格", "进货价(元)", "零售价(元)",
                              "普通会员价(元)", "金卡会员价(元)", "批发价(元)", "特价(元)", "入库时间",
                              "商品状态", "实售价(元)", "售出时间", "供货商", "备注"}));
    }

    void nothingListedNothingExported() {
        QVERIFY(!page->isCommandEnabled(cmd::ExportGoods));
        exportGoods(*fx.shell, shownRows(*page, goodsState(fx.shell->st).rows));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未\"导出\"任何商品"));
        QVERIFY(prompts.isEmpty());
    }

    // Sorted by retail price, highest first: the file follows the list.
    void csvHoldsTheListedUnitsInListOrder() {
        QVERIFY(page->onCommand(cmd::SearchGoods));
        page->sortBy(ColRetP, false);
        QCOMPARE(page->model()->rowCount(), 3);
        QVERIFY(page->isCommandEnabled(cmd::ExportGoods));
        answer = fx.path(QStringLiteral("商品.csv"));
        QVERIFY(page->onCommand(cmd::ExportGoods));

        QCOMPARE(prompts.size(), qsizetype(1));
        QVERIFY(prompts[0].startsWith(QStringLiteral("商品-")));
        QVERIFY(prompts[0].endsWith(QStringLiteral(".xlsx")));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("已导出3条商品记录到\"%1\"").arg(QDir::toNativeSeparators(answer)));
        QVERIFY(fx.shell->failures.isEmpty());

        const std::vector<CsvRecord> rec = readCsv(answer);
        QCOMPARE(rec.size(), size_t(4));
        QCOMPARE(rec[0].fields, goodsSheet({}, {}).headings);
        QCOMPARE(rec[1].fields,
                 (QStringList{"A-2", "毛巾", "未知", "", "5.0", "12.0", "12.0", "12.0", "12.0", "12.0",
                              timeOf(kStocked), "已销售", "10.0", timeOf(kSold), "未指定", ""}));
        QCOMPARE(rec[2].fields, (QStringList{"6901234567892", "可乐 \"经典\"", "饮料", "330ml", "1.3", "3.0",
                                             "2.9", "2.8", "2.5", "2.1", timeOf(kStocked), "库存中", "0.0",
                                             "", "华联, \"总店\"", "第一行\n第二行"}));
        QCOMPARE(rec[3].fields, (QStringList{"B", "name-B", "未知", "S", "0.0", "0.5", "0.5", "0.5", "0.5",
                                             "0.5", timeOf(kStocked), "库存中", "0.0", "", "未指定", ""}));
    }

    void xlsxHoldsTheSameUnits() {
        if (!vorn::ui::test::haveUnzip()) QSKIP("unzip is not installed");
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("6901234567892"));
        QVERIFY(page->onCommand(cmd::SearchGoods));
        QCOMPARE(page->model()->rowCount(), 1);
        answer = fx.path(QStringLiteral("商品.XLSX"));
        QVERIFY(page->onCommand(cmd::ExportGoods));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("已导出1条商品记录到\"%1\"").arg(QDir::toNativeSeparators(answer)));

        using namespace vorn::ui::test;
        QCOMPARE(sheetNames(answer), QStringList{QStringLiteral("商品")});
        const XlsxSheet s = readSheet(answer, 1);
        const std::vector<XlsxStyle> styles = readStyles(answer);
        QCOMPARE(s.rows.size(), qsizetype(2));
        QCOMPARE(s.texts(1), goodsSheet({}, {}).headings);
        QCOMPARE(s.frozenRows, 1);
        QCOMPARE(s.cell(2, 0).type, QStringLiteral("inlineStr")); // the code stays text
        QCOMPARE(s.cell(2, 0).value, QStringLiteral("6901234567892"));
        QCOMPARE(s.cell(2, 2).value, QStringLiteral("饮料"));
        // Prices are numbers shown with one decimal (the store keeps tenths).
        const double prices[] = {1.3, 3.0, 2.9, 2.8, 2.5, 2.1};
        for (int c = 4; c < 10; ++c) {
            QCOMPARE(s.cell(2, c).value.toDouble(), prices[c - 4]);
            QCOMPARE(styles.at(static_cast<size_t>(s.cell(2, c).style)).numFmt, QStringLiteral("0.0"));
        }
        QCOMPARE(s.cell(2, 10).value, timeOf(kStocked));
        QCOMPARE(s.cell(2, 14).value, QStringLiteral("华联, \"总店\""));
        QCOMPARE(s.cell(2, 15).value, QStringLiteral("第一行\n第二行"));
        // Every column is at least as wide as its heading.
        for (int c = 1; c <= 16; ++c)
            QVERIFY2(s.widths.value(c) >= goodsSheet({}, {}).headings[c - 1].size() * 2,
                     qPrintable(QString::number(c)));
    }

    void cancelledWritesNothing() {
        QVERIFY(page->onCommand(cmd::SearchGoods));
        answer.clear();
        QVERIFY(page->onCommand(cmd::ExportGoods));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次商品\"导出\"操作"));
        QVERIFY(fx.shell->failures.isEmpty());
    }

    void failureIsReportedAndLeavesNoFile() {
        QVERIFY(page->onCommand(cmd::SearchGoods));
        answer = fx.path(QStringLiteral("没有的文件夹/商品.xlsx"));
        QVERIFY(page->onCommand(cmd::ExportGoods));
        QCOMPARE(fx.shell->failures.size(), qsizetype(1));
        QVERIFY(fx.shell->failures[0].startsWith(QStringLiteral("商品\"导出\"失败：")));
        QVERIFY(fx.shell->failures[0].contains(QDir::toNativeSeparators(answer)));
        QVERIFY(fx.shell->failures[0].endsWith(QStringLiteral("放弃该次\"导出\"操作")));
        QVERIFY(!QFileInfo::exists(answer));
    }

    // A long list goes out under the busy window, every unit of it.
    void longListUnderTheBusyWindow() {
        std::vector<vorn::SRec> many;
        for (int i = 0; i < 6000; ++i)
            many.push_back(GoodsFixture::unit("L" + std::to_string(i), i * 0.1, i * 0.2));
        fx.insert(many);
        fx.shell->win.show();
        QVERIFY(page->onCommand(cmd::SearchGoods));
        QCOMPARE(page->model()->rowCount(), 6003);
        answer = fx.path(QStringLiteral("all.csv"));
        QVERIFY(page->onCommand(cmd::ExportGoods));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("已导出6003条商品记录到\"%1\"").arg(QDir::toNativeSeparators(answer)));
        const std::vector<CsvRecord> rec = readCsv(answer);
        QCOMPARE(rec.size(), size_t(6004));
        // Row by row as the list words them.
        const auto& goods = goodsState(fx.shell->st).rows;
        for (size_t r = 0; r < goods.size(); r += 997) {
            QCOMPARE(rec[r + 1].fields[0],
                     goodsCellText(goods[r], ColCode, fx.shell->st.types, fx.shell->st.suppliers));
            QCOMPARE(rec[r + 1].fields[5],
                     goodsCellText(goods[r], ColRetP, fx.shell->st.types, fx.shell->st.suppliers));
        }
    }
};

QTEST_MAIN(TestGoodsExport)
#include "test_goodsexport.moc"

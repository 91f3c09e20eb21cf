// The figures behind the charts as tables (one row per month, day or slice,
// one column per series, values as money), written to a spreadsheet, and the
// page's "导出数据" command exporting the charts it shows.
#include <QFile>
#include <QtTest>
#include <memory>

#include "kit/text/clock.h"
#include "kit/text/csv.h"
#include "kit/text/gbk.h"
#include "kit/sheet/sheetwriter.h"
#include "res/commandids.h"
#include "res/vornres.h"
#include "statchartview.h"
#include "statfigures.h"
#include "statfixture.h"
#include "statisticsview.h"
#include "statpages.h"
#include "statstate.h"
#include "xlsxread.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

// A cell as the CSV writes it, so rows compare as texts.
QString text(const SheetCell& c) {
    switch (c.kind) {
    case SheetCell::Kind::Text:
        return c.text;
    case SheetCell::Kind::Number:
        return QStringLiteral("#") + QString::number(c.number);
    case SheetCell::Kind::Money:
    default:
        return QStringLiteral("$") + QString::number(c.number);
    }
}

QList<QStringList> texts(const FigureTable& t) {
    QList<QStringList> out;
    for (const auto& row : t.rows) {
        QStringList r;
        for (const SheetCell& c : row)
            r << text(c);
        out << r;
    }
    return out;
}

// Periods of yearPlan({2011, 2012}): month m of year i sold 100 * (i + 1) + m,
// at a cost of m.
std::vector<PeriodTotal> twoYears() {
    std::vector<PeriodTotal> t;
    for (int i = 0; i < 2; ++i)
        for (int m = 1; m <= 12; ++m)
            t.push_back({100.0 * (i + 1) + m, double(m), true});
    return t;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFigures : public QObject {
    Q_OBJECT

    StoreFixture fx;
    std::unique_ptr<CStatisticsView> page;
    QString answer;

private slots:
    void initTestCase() { vornInitResources(); }
    void init() {
        fx.setUp();
        setNowForTests(at(2012, 6, 1).toSecsSinceEpoch());
        answer.clear();
        setExportPathPrompt([this](QWidget*, const QString&, const QString&) { return answer; });
    }
    void cleanup() {
        setExportPathPrompt({});
        page.reset();
        fx.tearDown();
        setNowForTests(0);
    }

    // Lines: a row per month, a column per year.
    void yearLines() {
        const ChartSet set = yearCharts({2011, 2012}, twoYears(), 2012);
        const FigureTable sales = figureTable(set[0]);
        QCOMPARE(sales.title, QStringLiteral("年度-销售额折线图"));
        QCOMPARE(sales.heading, (QStringList{"月份", "2011年售额", "2012年售额"}));
        QCOMPARE(sales.rows.size(), size_t(12));
        const QList<QStringList> rows = texts(sales);
        for (int m = 1; m <= 12; ++m)
            QCOMPARE(rows[m - 1],
                     (QStringList{QStringLiteral("#%1").arg(m), QStringLiteral("$%1").arg(100 + m),
                                  QStringLiteral("$%1").arg(200 + m)}));

        const FigureTable profit = figureTable(set[3]);
        QCOMPARE(profit.title, QStringLiteral("年度-销售利润折线图"));
        QCOMPARE(profit.heading, (QStringList{"月份", "2011年利润", "2012年利润"}));
        QCOMPARE(texts(profit)[11], (QStringList{"#12", "$100", "$200"}));
    }

    // Pies: a row per slice named by its legend text.
    void yearPies() {
        const ChartSet two = yearCharts({2011, 2012}, twoYears(), 2012);
        const FigureTable byYear = figureTable(two[1]);
        QCOMPARE(byYear.title, QStringLiteral("年度-销售额比例图"));
        QCOMPARE(byYear.heading, (QStringList{"项目", "金额(单位: 元)"}));
        // 12 months of 100 + m: 1200 + 78; of 200 + m: 2400 + 78.
        QCOMPARE(texts(byYear), (QList<QStringList>{{"2011年售额", "$1278"}, {"2012年售额", "$2478"}}));

        const std::vector<PeriodTotal> both = twoYears();
        const std::vector<PeriodTotal> one(both.begin(), both.begin() + 12);
        const ChartSet single = yearCharts({2011}, one, 2012);
        const FigureTable quarters = figureTable(single[2]);
        QCOMPARE(quarters.title, QStringLiteral("年度-销售利润比例图"));
        // Profit of a month is 100 each, 300 a quarter.
        QCOMPARE(texts(quarters), (QList<QStringList>{{"2011年第1季度利润", "$300"},
                                                      {"2011年第2季度利润", "$300"},
                                                      {"2011年第3季度利润", "$300"},
                                                      {"2011年第4季度利润", "$300"}}));
    }

    // Bars: a row per day by its date; type pies by the type's name, an id no
    // longer known without one.
    void customBarsAndTypePies() {
        std::vector<vorn::TRec> typeList(2);
        typeList[0].FTi_Id = 1;
        typeList[0].FTs_Name = gbk(QStringLiteral("未知"));
        typeList[1].FTi_Id = 2;
        typeList[1].FTs_Name = gbk(QStringLiteral("饮料"));
        std::vector<PeriodTotal> totals = {
            {10, 4, true}, {0, 0, true}, {7.25, 9, true}, {17.25, 13, true}, {0, 0, true}};
        const ChartSet set = customCharts(QDate(2011, 12, 31), QDate(2012, 1, 2), {2, 9}, typeList, totals);

        const FigureTable days = figureTable(set[0]);
        QCOMPARE(days.title, QStringLiteral("自定义时间-销售额折线图"));
        QCOMPARE(days.heading, (QStringList{"日期", "金额(单位: 元)"}));
        QCOMPARE(texts(days),
                 (QList<QStringList>{{"2011-12-31", "$10"}, {"2012-01-01", "$0"}, {"2012-01-02", "$7.25"}}));
        QCOMPARE(texts(figureTable(set[3]))[2], (QStringList{"2012-01-02", "$-1.75"}));

        const FigureTable types = figureTable(set[1]);
        QCOMPARE(types.title, QStringLiteral("自定义类型-销售额比例图"));
        QCOMPARE(texts(types), (QList<QStringList>{{"饮料", "$17.25"}, {"", "$0"}}));
    }

    // Series that do not share every argument: one row per argument in order,
    // an empty cell where a series has no point.
    void seriesWithDifferentPoints() {
        ChartLook look;
        look.title = QStringLiteral("t");
        look.kind = ChartKind::Lines;
        look.xTitle = QStringLiteral("月份");
        look.series = {{QStringLiteral("a"), {{3, 1.5, {}, {}, false}, {1, 2, {}, {}, false}}},
                       {QString(), {{2, 4, {}, {}, false}, {3, 5, {}, {}, false}}}};
        const FigureTable t = figureTable(look);
        QCOMPARE(t.heading, (QStringList{"月份", "a", "金额(单位: 元)"}));
        QCOMPARE(texts(t), (QList<QStringList>{{"#1", "$2", ""}, {"#2", "", "$4"}, {"#3", "$1.5", "$5"}}));
    }

    // A chart without series is its title alone.
    void csvOfSeveralTables() {
        const ChartSet set = yearCharts({2011, 2012}, twoYears(), 2012);
        const std::vector<FigureTable> tables = {figureTable(set[1]), figureTable(emptyCustomCharts()[0])};
        const QString path = fx.path(QStringLiteral("f.csv"));
        QString error;
        QVERIFY2(writeFigures(path, tables, &error), qPrintable(error));
        QCOMPARE(readAll(path), QByteArray("\xEF\xBB\xBF") + QStringLiteral("年度-销售额比例图\r\n"
                                                                            "项目,金额(单位: 元)\r\n"
                                                                            "2011年售额,1278.0\r\n"
                                                                            "2012年售额,2478.0\r\n"
                                                                            "\r\n"
                                                                            "自定义时间-销售额折线图\r\n")
                                                                 .toUtf8());
        QVERIFY(!writeFigures(fx.path(QStringLiteral("no/f.csv")), tables, &error));
        QVERIFY(!error.isEmpty());
    }

    void exportEnabledOnlyWithCharts() {
        QVERIFY(!statCommandEnabled(cmd::ExportFigures, 0, false, 0));
        QVERIFY(statCommandEnabled(cmd::ExportFigures, 0, true, 0));
        QVERIFY(statCommandEnabled(cmd::ExportFigures, 1, true, 3));
        makePage();
        QVERIFY(!page->isCommandEnabled(cmd::ExportFigures));
        answer = fx.path(QStringLiteral("x.csv"));
        QVERIFY(page->onCommand(cmd::ExportFigures)); // does nothing yet
        QVERIFY(!QFileInfo::exists(answer));
        QVERIFY(fx.shell->statuses.isEmpty());
        page->onCommand(cmd::MakeCharts);
        QVERIFY(page->isCommandEnabled(cmd::ExportFigures));
    }

    // The overview exports its four charts in page order; a zoomed page the one
    // it shows.
    void exportsTheShownCharts() {
        if (!haveUnzip()) QSKIP("unzip is not installed");
        insertUnits(fx.core(),
                    {soldUnit(1, 4, 10, at(2011, 3, 31, 23, 59, 59)), soldUnit(1, 5, 20.25, at(2011, 4, 1))});
        fx.shell->st.extension<StatState>().years = {2011};
        makePage();
        page->onCommand(cmd::MakeCharts);

        answer = fx.path(QStringLiteral("数据.xlsx"));
        QVERIFY(page->onCommand(cmd::ExportFigures));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("成功导出4个图表的销售统计数据到\"%1\"").arg(QDir::toNativeSeparators(answer)));
        QCOMPARE(sheetNames(answer), (QStringList{"年度-销售额折线图", "年度-销售额比例图",
                                                  "年度-销售利润折线图", "年度-销售利润比例图"}));
        const XlsxSheet lines = readSheet(answer, 1);
        QCOMPARE(lines.texts(1), QStringList{"年度-销售额折线图"});
        QCOMPARE(lines.texts(2), (QStringList{"月份", "2011年售额"}));
        QCOMPARE(lines.texts(3), (QStringList{"1", "0"}));
        QCOMPARE(lines.texts(5), (QStringList{"3", "10"}));
        QCOMPARE(lines.texts(6), (QStringList{"4", "20.3"})); // the store keeps tenths
        QCOMPARE(readSheet(answer, 4).texts(3), (QStringList{"2011年第1季度利润", "6"}));

        page->onCommand(cmd::ZoomChart);
        page->onCommand(cmd::NextChart);
        page->onCommand(cmd::NextChart); // page 3: chart 4, the profit lines
        answer = fx.path(QStringLiteral("one.csv"));
        QVERIFY(page->onCommand(cmd::ExportFigures));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("成功导出1个图表的销售统计数据到\"%1\"").arg(QDir::toNativeSeparators(answer)));
        const QString csv = decodeText(readAll(answer), TextEncoding::Utf8);
        const std::vector<CsvRecord> rec = parseCsv(csv);
        QCOMPARE(rec.size(), size_t(14));
        QCOMPARE(rec[0].fields, QStringList{"年度-销售利润折线图"});
        QCOMPARE(rec[4].fields, (QStringList{"3", "6.0"}));
        QCOMPARE(rec[5].fields, (QStringList{"4", "15.3"})); // 20.3 - 5
    }

    void cancelledAndFailed() {
        makePage();
        page->onCommand(cmd::MakeCharts);
        QVERIFY(page->onCommand(cmd::ExportFigures));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次数据\"导出\"操作"));
        answer = fx.path(QStringLiteral("missing/f.xlsx"));
        QVERIFY(page->onCommand(cmd::ExportFigures));
        QCOMPARE(fx.shell->failures.size(), qsizetype(1));
        // The house pattern, with the writer's reason inside it.
        const QString failure = fx.shell->failures[0];
        QVERIFY2(failure.startsWith(QStringLiteral("未知异常导致销售统计数据\"导出\"失败（")), qPrintable(failure));
        QVERIFY2(failure.endsWith(QStringLiteral("），放弃该次\"导出\"操作")), qPrintable(failure));
        QCOMPARE(fx.shell->statusText(), failure);
        QVERIFY(!QFile::exists(answer));
    }

private:
    void makePage() {
        fx.shell->win.show();
        page = std::make_unique<CStatisticsView>(*fx.shell, &fx.shell->win);
        page->setGeometry(0, 0, 1001, 601);
        page->show();
    }
};

QTEST_MAIN(TestFigures)
#include "test_figures.moc"

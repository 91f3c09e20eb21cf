// The statistics page: its commands' enabling and pressed states, the pages and
// their layout, the charts drawn from the series, the conditions kept on the
// main window's state, a failed sum reported, and export.
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDialog>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPieSeries>
#include <QPieSlice>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "kit/dialog/calendarpair.h"
#include "kit/text/clock.h"
#include "kit/dialog/housecolours.h"
#include "res/commandids.h"
#include "res/vornres.h"
#include "statcdtdlg.h"
#include "statchartview.h"
#include "statfixture.h"
#include "statisticsview.h"
#include "statpages.h"
#include "statstate.h"
#include "statyeardlg.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

const int kAll[] = {cmd::StatByYear, cmd::SetYears,  cmd::StatByCustom, cmd::SetCustom, cmd::MakeCharts,
                    cmd::ZoomChart,  cmd::PrevChart, cmd::NextChart,    cmd::AllCharts};

QList<int> enabled(const CStatisticsView& page) {
    QList<int> on;
    for (int id : kAll)
        if (page.isCommandEnabled(id)) on << id;
    return on;
}

QList<int> checked(const CStatisticsView& page) {
    QList<int> on;
    for (int id : kAll)
        if (page.isCommandChecked(id)) on << id;
    return on;
}

QList<int> visibleCharts(const CStatisticsView& page) {
    QList<int> on;
    for (int n = 1; n <= 4; ++n)
        if (!page.chart(n)->isHidden()) on << n;
    return on;
}

template <class S> S* onlySeries(StatChartView* view) {
    const auto all = view->chart()->series();
    if (all.size() != 1) return nullptr;
    return qobject_cast<S*>(all.first());
}

} // namespace

class TestStatisticsView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vornInitResources(); }
    void init() {
        fx.setUp();
        setNowForTests(at(2012, 6, 1).toSecsSinceEpoch());
        fx.shell->win.show();
        page = std::make_unique<CStatisticsView>(*fx.shell, &fx.shell->win);
        page->setGeometry(0, 0, 1001, 601);
        page->show();
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
        setNowForTests(0);
    }

    void overviewInIntegerHalvesAndPagesOneToFour() {
        auto places = chartPlaces(0, 1001, 601);
        QCOMPARE(places[0].rect, QRect(0, 0, 500, 300));
        QCOMPARE(places[1].rect, QRect(500, 0, 501, 300));
        QCOMPARE(places[2].rect, QRect(500, 300, 501, 301));
        QCOMPARE(places[3].rect, QRect(0, 300, 500, 301));
        // Page 3 shows chart 4 (bottom left), page 4 chart 3 (bottom right).
        for (int p = 1; p <= 4; ++p) {
            places = chartPlaces(p, 1001, 601);
            const int shown = p == 3 ? 3 : p == 4 ? 2 : p - 1;
            for (int c = 0; c < 4; ++c) {
                QCOMPARE(places[static_cast<size_t>(c)].visible, c == shown);
                if (c == shown) QCOMPARE(places[static_cast<size_t>(c)].rect, QRect(0, 0, 1001, 601));
            }
        }
        QCOMPARE(page->chart(2)->geometry(), QRect(500, 0, 501, 300));
    }

    void commandsBeforeAndAfterTheFirstCharts() {
        QCOMPARE(enabled(*page), QList<int>({cmd::StatByYear, cmd::SetYears, cmd::StatByCustom, cmd::MakeCharts}));
        QCOMPARE(checked(*page), QList<int>({cmd::StatByYear, cmd::AllCharts}));
        for (int n = 1; n <= 4; ++n)
            QVERIFY(page->chart(n)->chart()->title().isEmpty());
        QVERIFY(page->exportButton()->isHidden());

        // The page commands do nothing without charts.
        page->onCommand(cmd::ZoomChart);
        QCOMPARE(page->page(), 0);

        page->onCommand(cmd::StatByCustom);
        QCOMPARE(enabled(*page), QList<int>({cmd::StatByYear, cmd::StatByCustom, cmd::SetCustom, cmd::MakeCharts}));
        QCOMPARE(checked(*page), QList<int>({cmd::StatByCustom, cmd::AllCharts}));

        page->onCommand(cmd::MakeCharts);
        QVERIFY(page->hasCharts());
        QCOMPARE(fx.shell->statusText(), QStringLiteral("生成销售数据统计图表"));
        QCOMPARE(enabled(*page), QList<int>({cmd::StatByYear, cmd::StatByCustom, cmd::SetCustom, cmd::MakeCharts,
                                             cmd::ZoomChart, cmd::AllCharts}));
        QVERIFY(!page->exportButton()->isHidden());

        // Zoom: page 1, then forward to 4 and back, each showing its one chart.
        page->onCommand(cmd::ZoomChart);
        QCOMPARE(page->page(), 1);
        QCOMPARE(visibleCharts(*page), QList<int>({1}));
        QCOMPARE(page->chart(1)->geometry(), QRect(0, 0, 1001, 601));
        QCOMPARE(checked(*page), QList<int>({cmd::StatByCustom, cmd::ZoomChart}));
        QVERIFY(!page->isCommandEnabled(cmd::PrevChart));
        QVERIFY(page->isCommandEnabled(cmd::NextChart));
        const QList<int> shownOn[] = {{2}, {4}, {3}};
        for (int p = 2; p <= 4; ++p) {
            page->onCommand(cmd::NextChart);
            QCOMPARE(page->page(), p);
            QCOMPARE(visibleCharts(*page), shownOn[p - 2]);
        }
        QVERIFY(!page->isCommandEnabled(cmd::NextChart));
        QVERIFY(page->isCommandEnabled(cmd::PrevChart));
        page->onCommand(cmd::PrevChart);
        QCOMPARE(page->page(), 3);
        QCOMPARE(visibleCharts(*page), QList<int>({4}));

        page->onCommand(cmd::AllCharts);
        QCOMPARE(page->page(), 0);
        QCOMPARE(visibleCharts(*page), QList<int>({1, 2, 3, 4}));
        QCOMPARE(page->chart(3)->geometry(), QRect(500, 300, 501, 301));
        QVERIFY(!page->isCommandEnabled(cmd::NextChart));
        QVERIFY(!page->isCommandEnabled(cmd::PrevChart));
    }

    void noSpanGivesEmptyCustomCharts() {
        page->onCommand(cmd::StatByCustom);
        page->onCommand(cmd::MakeCharts);
        QCOMPARE(page->chart(1)->chart()->title(), QStringLiteral("自定义时间-销售额折线图"));
        QCOMPARE(page->chart(4)->chart()->title(), QStringLiteral("自定义时间-销售利润折线图"));
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(page->chart(n)->chart()->series().isEmpty());
            QVERIFY(page->chart(n)->chart()->axes().isEmpty());
        }
    }

    void yearChartsAreDrawnAsComputed() {
        fillStore();
        fx.shell->st.extension<StatState>().years = {2011};
        page->onCommand(cmd::MakeCharts);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("生成销售数据统计图表"));

        auto* line = onlySeries<QLineSeries>(page->chart(1));
        QVERIFY(line);
        QCOMPARE(line->name(), QStringLiteral("2011年售额"));
        QCOMPARE(line->count(), 12);
        QCOMPARE(line->at(3), QPointF(4, 23));
        QVERIFY(page->chart(1)->shownValueLabels() > 0);
        QCOMPARE(page->chart(1)->chart()->axes(Qt::Horizontal).first()->titleText(), QStringLiteral("月份"));
        QCOMPARE(page->chart(1)->chart()->axes(Qt::Vertical).first()->titleText(), QStringLiteral("金额(单位: 元)"));

        // Quarter slices with their values as labels, legend texts apart, specials pulled out.
        auto* pie = onlySeries<QPieSeries>(page->chart(2));
        QVERIFY(pie);
        QCOMPARE(pie->count(), 4);
        const QList<bool> pulled{false, true, false, true};
        const auto markers = page->chart(2)->chart()->legend()->markers(pie);
        QCOMPARE(markers.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(pie->slices()[i]->isExploded(), pulled[i]);
            QCOMPARE(markers[i]->label(), QStringLiteral("2011年第%1季度售额").arg(i + 1));
            // Slice labels in the house text colour, as the other chart texts.
            QCOMPARE(pie->slices()[i]->labelColor(), houseTextColour());
        }
        QCOMPARE(pie->slices()[1]->label(), QStringLiteral("23.0"));
        // A loss draws no wedge but keeps its legend entry.
        auto* profitPie = onlySeries<QPieSeries>(page->chart(3));
        QVERIFY(profitPie);
        QCOMPARE(profitPie->slices()[2]->value(), 0.0);
        QVERIFY(!profitPie->slices()[2]->isLabelVisible());
        QVERIFY(profitPie->slices()[2]->isExploded());
        QCOMPARE(page->chart(3)->chart()->legend()->markers(profitPie)[2]->label(),
                 QStringLiteral("2011年第3季度利润"));

        // Switching the mode alone leaves the charts as they are.
        page->onCommand(cmd::StatByCustom);
        QCOMPARE(page->chart(1)->chart()->title(), QStringLiteral("年度-销售额折线图"));
        QCOMPARE(onlySeries<QLineSeries>(page->chart(1)), line);
    }

    void customChartsAreDrawnAsComputed() {
        fillStore();
        StatState& ss = fx.shell->st.extension<StatState>();
        ss.mode = 1;
        ss.spanStart = QDate(2011, 1, 1);
        ss.spanEnd = QDate(2011, 4, 3);
        ss.types = {1, 42};
        page->onCommand(cmd::MakeCharts);

        auto* bars = onlySeries<QBarSeries>(page->chart(1));
        QVERIFY(bars);
        QCOMPARE(bars->barSets().size(), 1);
        QCOMPARE(bars->barSets()[0]->count(), 93);
        QCOMPARE(bars->barSets()[0]->at(89), 10.0); // March 31st
        QVERIFY(!bars->isLabelsVisible());
        QCOMPARE(page->chart(1)->chart()->axes(Qt::Horizontal).first()->titleText(), QStringLiteral("日期"));
        QCOMPARE(page->chart(1)->chart()->axes(Qt::Horizontal).first()->labelsAngle(), 270);
        // The day labels are thinned to what half the page holds, and start on the first day.
        const QStringList days = page->chart(1)->dayAxisLabels();
        QVERIFY(!days.isEmpty());
        QVERIFY(days.size() < 93);
        QCOMPARE(days.first(), QStringLiteral("01-01")); // a small chart has room for month and day
        // One chart over the page has room for more of them, with the year.
        page->onCommand(cmd::ZoomChart);
        QVERIFY(page->chart(1)->dayAxisLabels().size() > days.size());
        QCOMPARE(page->chart(1)->dayAxisLabels().first(), QStringLiteral("2011-01-01"));

        auto* pie = onlySeries<QPieSeries>(page->chart(2));
        QVERIFY(pie);
        QCOMPARE(pie->count(), 2);
        const auto markers = page->chart(2)->chart()->legend()->markers(pie);
        QCOMPARE(markers[0]->label(), QStringLiteral("未知"));
        QCOMPARE(markers[1]->label().trimmed(), QString()); // id 42 names no type
        QVERIFY(pie->slices()[0]->isExploded()); // the largest
        QVERIFY(pie->slices()[1]->isExploded()); // nothing sold
    }

    void failedSumsSayTheChartsAreIncomplete() {
        fx.shell->st.extension<StatState>().years = {2011, 2012};
        fx.core().close();
        page->onCommand(cmd::MakeCharts);
        const QString text = QStringLiteral("未知异常导致24个时段的销售数据读取失败，生成的销售数据统计图表不完整");
        QCOMPARE(fx.shell->statusText(), text);
        QCOMPARE(fx.shell->failures, QStringList({text}));
        // What could be drawn is drawn: the charts and their titles are there.
        QVERIFY(page->hasCharts());
        QCOMPARE(page->chart(1)->chart()->series().size(), 2);
    }

    void conditionsLiveOnTheStateAcrossPages() {
        fillStore();
        page->setDialogRunner([](QDialog& d) {
            if (auto* years = qobject_cast<CStatYearDlg*>(&d)) {
                for (int y : {2012, 2011}) {
                    for (int i = 0; i < years->offeredList()->count(); ++i)
                        if (years->offeredList()->item(i)->text() == QString::number(y))
                            years->offeredList()->setCurrentRow(i);
                    years->choose();
                }
                years->onOk();
            }
            return d.result();
        });
        page->onCommand(cmd::SetYears);
        page->onCommand(cmd::StatByCustom);

        int answer = 1;
        page->setDialogRunner([&answer](QDialog& d) {
            auto* cdt = qobject_cast<CStatCdtDlg*>(&d);
            if (!cdt) return 0;
            cdt->calendars()->setSpan(QDate(2011, 5, 1), QDate(2011, 5, 3));
            cdt->offeredList()->setCurrentRow(0);
            cdt->giveBack(); // nothing chosen yet: no effect
            if (answer == 1) cdt->onOk();
            if (answer == 0) {
                cdt->onClearAll();
                cdt->onOk();
            }
            if (answer == -1) cdt->onCancel();
            return d.result();
        });
        page->onCommand(cmd::SetCustom);
        StatState& ss = fx.shell->st.extension<StatState>();
        QCOMPARE(ss.spanStart, QDate(2011, 5, 1));
        QCOMPARE(ss.spanEnd, QDate(2011, 5, 3));
        answer = -1;
        page->onCommand(cmd::SetCustom);
        QCOMPARE(ss.spanEnd, QDate(2011, 5, 3));

        // A new page (the tab chosen again) finds the mode and conditions; its charts start empty.
        page = std::make_unique<CStatisticsView>(*fx.shell, &fx.shell->win);
        QVERIFY(page->isCommandChecked(cmd::StatByCustom));
        QVERIFY(!page->hasCharts());
        QCOMPARE(ss.years, std::vector<int>({2012, 2011}));
        QVERIFY(ss.hasSpan());

        answer = 0;
        page->setDialogRunner([&answer](QDialog& d) {
            auto* cdt = qobject_cast<CStatCdtDlg*>(&d);
            if (!cdt) return 0;
            cdt->onClearAll();
            cdt->onOk();
            return d.result();
        });
        page->onCommand(cmd::SetCustom);
        QVERIFY(!ss.hasSpan());
        QVERIFY(!ss.spanStart.isValid());
    }

    void exportWritesPngAndPdf() {
        fillStore();
        fx.shell->st.extension<StatState>().years = {2011};
        page->onCommand(cmd::MakeCharts);

        const QString png = fx.path(QStringLiteral("charts.png"));
        QVERIFY(page->exportCharts(png));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(2002, 1202));
        const QString pdf = fx.path(QStringLiteral("charts.pdf"));
        QVERIFY(page->exportCharts(pdf));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(file.size() > 10000);
        QVERIFY(!page->exportCharts(fx.path(QStringLiteral("no/such/dir/charts.png"))));

        // Through the chooser: cancelled, a name without suffix, and a place that cannot be written.
        QString answer;
        page->setFileChooser([&answer](QWidget*, const QString& suggested) {
            if (!suggested.endsWith(QStringLiteral(".png"))) return QString();
            return answer;
        });
        page->exportShown();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次图表\"导出\"操作"));
        answer = fx.path(QStringLiteral("plain"));
        page->exportShown();
        QVERIFY(QFile::exists(answer + QStringLiteral(".png")));
        QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("成功导出销售数据统计图表到")));
        answer = fx.path(QStringLiteral("no/such/dir/x.pdf"));
        page->exportShown();
        QCOMPARE(fx.shell->failures.last(), QStringLiteral("未知异常导致图表\"导出\"失败，放弃该次\"导出\"操作"));
    }

private:
    void fillStore() {
        insertUnits(fx.core(), {soldUnit(1, 4, 10, at(2011, 3, 31, 23, 59, 59)),
                                soldUnit(1, 5, 20, at(2011, 4, 1, 0, 0, 0)), soldUnit(2, 6, 3, at(2011, 4, 15)),
                                soldUnit(1, 10, 8, at(2011, 8, 1)), soldUnit(1, 1, 7, at(2011, 12, 31, 23, 59, 59)),
                                soldUnit(1, 1, 9, at(2012, 1, 1, 0, 0, 0))});
    }

    StoreFixture fx;
    std::unique_ptr<CStatisticsView> page;
};

QTEST_MAIN(TestStatisticsView)
#include "test_statisticsview.moc"

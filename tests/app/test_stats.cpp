// The statistics page inside the real main window: its commands' states and
// pages through the ribbon, the conditions kept across page switches, and the
// pictures of the year and custom charts on a generated demo shop (written when
// VORN_SCREENSHOT_DIR is set).
#include <QAbstractButton>
#include <QCategoryAxis>
#include <QGraphicsTextItem>
#include <QDateTime>
#include <QLayout>
#include <QtTest>

#include "frame_fixture.h"
#include "gen.h"
#include "kit/text/clock.h"
#include "kit/page/loadingwnd.h"
#include "res/commandids.h"
#include "statchartview.h"
#include "statisticsview.h"
#include "statstate.h"
#include "res/tabs.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

// The demo shop's "now": its two years of sales end here.
QDateTime demoNow() { return QDateTime(QDate(2026, 11, 28), QTime(18, 30)); }

CStatisticsView* statPage(FrameFixture& f) {
    f.frame->selectTab(tabs::Stats);
    flush();
    return qobject_cast<CStatisticsView*>(f.frame->view());
}

// Whether the ribbon draws a large button pressed.
bool largeButtonPressed(FrameFixture& f, int id) {
    auto* button = qobject_cast<QAbstractButton*>(f.ribbon().widget(id));
    return button && button->isChecked();
}

// Counts the times a widget is painted.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// A label drawn under the daily bars: its text and where it stands in the scene.
struct DrawnLabel {
    QString text;
    QRectF box;
};

// The day labels as drawn: the visible upright texts under the plot.
QList<DrawnLabel> drawnDayLabels(const StatChartView& view) {
    QList<DrawnLabel> out;
    const QRectF plot = view.chart()->mapToScene(view.chart()->plotArea()).boundingRect();
    for (QGraphicsItem* item : view.scene()->items()) {
        auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || qAbs(text->rotation()) < 1) continue;
        // The axis's start carries an empty label of its own.
        if (text->toPlainText().isEmpty() || text->sceneBoundingRect().top() < plot.bottom() - 1) continue;
        out.append({text->toPlainText(), text->sceneBoundingRect()});
    }
    std::sort(out.begin(), out.end(), [](const DrawnLabel& a, const DrawnLabel& b) { return a.box.left() < b.box.left(); });
    return out;
}

// The axis title "日期" as drawn.
QRectF drawnAxisTitle(const StatChartView& view, const QString& title) {
    for (QGraphicsItem* item : view.scene()->items())
        if (auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item); text && text->isVisible() && text->toPlainText() == title)
            return text->sceneBoundingRect();
    return QRectF();
}

void shoot(CMainFrame& frame, const QString& name) {
    const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        if (frame.layout()) frame.layout()->activate();
    }
    const QString file = QDir(dir).filePath(name);
    QVERIFY2(frame.grab().save(file), qPrintable(file));
}

} // namespace

class TestFrameStats : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        CLoadingWnd::setLingerMs(0);
    }
    void cleanup() { setNowForTests(0); }

    void commandsAndPagesThroughTheRibbon() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        CStatisticsView* page = statPage(f);
        QVERIFY(page);
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Qelto进销存 - 销售统计"));

        QVERIFY(f.frame->isChecked(cmd::StatByYear));
        QVERIFY(!f.frame->isChecked(cmd::StatByCustom));
        QVERIFY(f.frame->isEnabled(cmd::SetYears));
        QVERIFY(!f.frame->isEnabled(cmd::SetCustom));
        QVERIFY(f.frame->isEnabled(cmd::MakeCharts));
        for (int id : {cmd::ZoomChart, cmd::PrevChart, cmd::NextChart, cmd::AllCharts})
            QVERIFY(!f.frame->isEnabled(id));

        f.frame->onCommand(cmd::StatByCustom);
        QVERIFY(f.frame->isChecked(cmd::StatByCustom));
        QVERIFY(!f.frame->isChecked(cmd::StatByYear));
        QVERIFY(!f.frame->isEnabled(cmd::SetYears));
        QVERIFY(f.frame->isEnabled(cmd::SetCustom));

        f.frame->onCommand(cmd::MakeCharts);
        QCOMPARE(f.frame->statusText(), QStringLiteral("生成销售数据统计图表"));
        QVERIFY(f.frame->isEnabled(cmd::ZoomChart));
        QVERIFY(f.frame->isEnabled(cmd::AllCharts));
        QVERIFY(f.frame->isChecked(cmd::AllCharts));
        QVERIFY(largeButtonPressed(f, cmd::AllCharts));
        QVERIFY(!largeButtonPressed(f, cmd::ZoomChart));
        QVERIFY(!f.frame->isEnabled(cmd::NextChart));

        // Zoom, then three times "下一页": page 4, which is chart 3 (bottom right).
        f.frame->onCommand(cmd::ZoomChart);
        QVERIFY(f.frame->isChecked(cmd::ZoomChart));
        QVERIFY(!f.frame->isChecked(cmd::AllCharts));
        // The ribbon shows the zoom pressed and "all charts" released.
        QVERIFY(largeButtonPressed(f, cmd::ZoomChart));
        QVERIFY(!largeButtonPressed(f, cmd::AllCharts));
        QVERIFY(!f.frame->isEnabled(cmd::PrevChart));
        for (int i = 0; i < 3; ++i)
            f.frame->onCommand(cmd::NextChart);
        QCOMPARE(page->page(), 4);
        QVERIFY(!page->chart(3)->isHidden());
        QVERIFY(page->chart(4)->isHidden());
        QCOMPARE(page->chart(3)->geometry(), page->rect());
        QVERIFY(!f.frame->isEnabled(cmd::NextChart));
        f.frame->onCommand(cmd::PrevChart);
        QCOMPARE(page->page(), 3);
        QVERIFY(!page->chart(4)->isHidden());
        f.frame->onCommand(cmd::AllCharts);
        QCOMPARE(page->page(), 0);
        QCOMPARE(page->chart(1)->geometry(), QRect(0, 0, page->width() / 2, page->height() / 2));

        // Another tab: the statistics commands go with their page.
        f.frame->selectTab(tabs::Goods);
        flush();
        QVERIFY(!f.frame->isEnabled(cmd::MakeCharts));
        QVERIFY(!f.frame->isEnabled(cmd::StatByYear));
    }

    // A large button is drawn as the page reports it: clicked, it shows pressed
    // and up; released by the other button, it is drawn anew, unpressed.
    void largeButtonsAreDrawnAsTheirState() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        QVERIFY(statPage(f));
        f.frame->onCommand(cmd::MakeCharts);
        auto* zoom = qobject_cast<QAbstractButton*>(f.ribbon().widget(cmd::ZoomChart));
        auto* all = qobject_cast<QAbstractButton*>(f.ribbon().widget(cmd::AllCharts));
        QVERIFY(zoom && all);
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        // Each click releases the other button: both ways, twice.
        const std::pair<QAbstractButton*, QAbstractButton*> rounds[] = {{zoom, all}, {all, zoom}, {zoom, all}};
        for (const auto& [clicked, released] : rounds) {
            QCoreApplication::processEvents();
            PaintCounter counter;
            released->installEventFilter(&counter);
            QTest::mouseClick(clicked, Qt::LeftButton);
            flush();
            QVERIFY(clicked->isChecked());
            QVERIFY(!clicked->isDown());
            QVERIFY(!released->isChecked());
            QVERIFY(!released->isDown());
            QTRY_VERIFY2(counter.paints > 0, qPrintable(released->text() + QStringLiteral(" was not drawn again")));
            released->removeEventFilter(&counter);
        }
    }

    // The daily bars of the longest span: at every window size from the
    // smallest screen up, in the overview and zoomed, every date label drawn is
    // whole, has room for its text, and keeps clear of its neighbours, of the
    // plot and of the axis title.
    void dayLabelsAreWholeAtEveryWindowSize() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        CStatisticsView* page = statPage(f);
        QVERIFY(page);
        f.frame->onCommand(cmd::StatByCustom);
        StatState& ss = f.frame->state().extension<StatState>();
        ss.spanStart = QDate(2026, 8, 28);
        ss.spanEnd = ss.spanStart.addDays(92);
        ss.types = {1};
        f.frame->onCommand(cmd::MakeCharts);
        StatChartView* bars = page->chart(1);
        QVERIFY(bars->dayAxis());
        QCOMPARE(bars->look().series.at(0).points.size(), size_t(93));
        f.frame->setMinimumSize(0, 0);
        const QSize windows[] = {{1024, 768},  {1152, 864},  {1280, 720},  {1280, 800},  {1280, 1024}, {1360, 768},
                                 {1366, 768},  {1440, 900},  {1536, 864},  {1600, 900},  {1600, 1000}, {1600, 1200},
                                 {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1440}};
        for (const QSize& window : windows) {
            for (int command : {cmd::AllCharts, cmd::ZoomChart}) {
                f.frame->resize(window);
                f.frame->onCommand(command);
                flush();
                const QString where = QStringLiteral("%1x%2 %3").arg(window.width()).arg(window.height())
                                          .arg(command == cmd::ZoomChart ? "zoomed" : "overview");
                QCategoryAxis* axis = bars->dayAxis();
                QTRY_VERIFY2(!axis->labelsTruncated(), qPrintable(where));
                flush();
                const QStringList categories = axis->categoriesLabels();
                const QList<DrawnLabel> drawn = drawnDayLabels(*bars);
                QVERIFY2(drawn.size() >= 5, qPrintable(where));
                const QRectF plot = bars->chart()->mapToScene(bars->chart()->plotArea()).boundingRect();
                const QRectF title = drawnAxisTitle(*bars, QStringLiteral("日期"));
                QVERIFY2(!title.isEmpty(), qPrintable(where));
                const QFontMetricsF fm(axis->labelsFont());
                for (qsizetype i = 0; i < drawn.size(); ++i) {
                    const DrawnLabel& l = drawn[i];
                    const QString at = where + QStringLiteral(" \"%1\"").arg(l.text);
                    QVERIFY2(categories.contains(l.text), qPrintable(at + QStringLiteral(" is not a whole date")));
                    // Upright: the text runs along the box's height.
                    QVERIFY2(fm.horizontalAdvance(l.text) <= l.box.height(), qPrintable(at));
                    QVERIFY2(l.box.top() >= plot.bottom() && l.box.bottom() <= title.top() + 1, qPrintable(at));
                    QVERIFY2(l.box.left() >= bars->chart()->mapToScene(QPointF(0, 0)).x(), qPrintable(at));
                    if (i > 0) QVERIFY2(drawn[i - 1].box.right() <= l.box.left(), qPrintable(at));
                }
                // The year shows where there is room for it: a zoomed chart from 1280 x 800 up.
                if (command == cmd::ZoomChart && window.height() >= 800)
                    QVERIFY2(drawn.first().text.size() == 10, qPrintable(where + " " + drawn.first().text));
            }
        }
    }

    void conditionsSurviveAPageSwitch() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        QVERIFY(statPage(f));
        f.frame->onCommand(cmd::StatByCustom);
        StatState& ss = f.frame->state().extension<StatState>();
        ss.years = {2013, 2011};
        ss.spanStart = QDate(2011, 5, 1);
        ss.spanEnd = QDate(2011, 5, 3);
        ss.types = {1};
        f.frame->onCommand(cmd::MakeCharts);
        QVERIFY(f.frame->isEnabled(cmd::ZoomChart));

        f.frame->selectTab(tabs::Goods);
        flush();
        CStatisticsView* page = statPage(f);
        QVERIFY(page);
        // The new page starts without charts but with the mode and conditions as left.
        QVERIFY(!page->hasCharts());
        QVERIFY(page->chart(1)->chart()->title().isEmpty());
        QVERIFY(!f.frame->isEnabled(cmd::ZoomChart));
        QVERIFY(f.frame->isChecked(cmd::StatByCustom));
        const StatState& kept = f.frame->state().extension<StatState>();
        QCOMPARE(kept.mode, 1);
        QCOMPARE(kept.years, std::vector<int>({2013, 2011}));
        QCOMPARE(kept.spanEnd, QDate(2011, 5, 3));
        QCOMPARE(kept.types, std::vector<int>({1}));
        f.frame->onCommand(cmd::MakeCharts);
        QCOMPARE(page->chart(1)->chart()->title(), QStringLiteral("自定义时间-销售额折线图"));
    }

    void picturesOfADemoShop() {
        setNowForTests(demoNow().toSecsSinceEpoch());
        FrameFixture f;
        QVERIFY(f.create());
        AppState& st = f.frame->state();
        vorn::bench::GenOptions opt;
        opt.units = 20000;
        opt.members = 120;
        opt.years = 2;
        opt.now = demoNow().toSecsSinceEpoch();
        vorn::bench::GenResult made;
        QCOMPARE(vorn::bench::generate(st.core, opt, {}, &made), 0);
        QCOMPARE(st.core.ensure_indexes(), 0);
        QVERIFY(st.loadTypesAndSuppliers());
        QVERIFY(f.loginAsAdmin());
        CStatisticsView* page = statPage(f);
        QVERIFY(page);

        const int year = demoNow().date().year();
        st.extension<StatState>().years = {year - 1, year};
        f.frame->onCommand(cmd::MakeCharts);
        QCOMPARE(f.frame->statusText(), QStringLiteral("生成销售数据统计图表"));
        QCOMPARE(page->chart(1)->look().series.size(), size_t(2));
        QVERIFY(page->chart(1)->shownValueLabels() > 0);
        shoot(*f.frame, QStringLiteral("stats-year.png"));

        f.frame->onCommand(cmd::StatByCustom);
        StatState& ss = st.extension<StatState>();
        ss.spanEnd = demoNow().date();
        ss.spanStart = ss.spanEnd.addDays(-92);
        ss.types.assign(std::begin(made.type_ids), std::end(made.type_ids));
        f.frame->onCommand(cmd::MakeCharts);
        QCOMPARE(f.frame->statusText(), QStringLiteral("生成销售数据统计图表"));
        QCOMPARE(page->chart(1)->look().series.at(0).points.size(), size_t(93));
        QCOMPARE(page->chart(2)->look().series.at(0).points.size(), size_t(10));
        shoot(*f.frame, QStringLiteral("stats-custom.png"));
    }
};

QTEST_MAIN(TestFrameStats)
#include "test_stats.moc"

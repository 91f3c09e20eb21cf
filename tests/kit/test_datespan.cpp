// The date span dialog and its pair of calendars.
#include <QCalendarWidget>
#include <QDateTime>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "kit/dialog/calendarpair.h"
#include "kit/text/clock.h"
#include "kit/dialog/datespandlg.h"

using vorn::ui::CalendarPair;
using vorn::ui::CDateSpanDlg;
using vorn::ui::DayCalendar;

namespace {

const QDate kToday(2011, 6, 15);

QPushButton* button(QWidget& root, const char* name) {
    auto* b = root.findChild<QPushButton*>(QLatin1String(name));
    if (!b) qFatal("no button %s", name);
    return b;
}

QTableView* gridOf(DayCalendar* day) {
    return day->calendar()->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
}

// Clicks the cell of the given day of the month the calendar shows (the day must
// be one that appears once on the page, e.g. 15).
void clickDay(DayCalendar* day, int dayOfMonth) {
    QTableView* grid = gridOf(day);
    QAbstractItemModel* model = grid->model();
    for (int r = 1; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            if (index.data().toInt() == dayOfMonth) {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                  grid->visualRect(index).center());
                return;
            }
        }
    }
    QFAIL("day not on the page");
}

int countColour(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
    return n;
}

} // namespace

class TestKitDateSpan : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void noSpanShowsTodayAndConfirmsAOneDaySpan();
    void givenSpanIsShownAndKept();
    void startAfterEndBecomesTheEndDay();
    void clearAllThenConfirmAnswersNoSpan();
    void oneCalendarsOwnClearThenConfirmAnswersNoSpan();
    void cancelAfterChangingBothAnswersCancelled();
    void answerIsCancelledUntilClosed();
    void todayButtonSelectsTodayAndTurnsToItsMonth();
    void clickingADayAfterClearingSelectsIt();
    void clearedCalendarShowsNoHighlightedDay();
    void enterConfirmsEvenFromACalendar();
    void escapeCancels();
};

void TestKitDateSpan::init() {
    vorn::ui::setNowForTests(QDateTime(kToday, QTime(10, 30)).toSecsSinceEpoch());
}

void TestKitDateSpan::cleanup() { vorn::ui::setNowForTests(0); }

void TestKitDateSpan::noSpanShowsTodayAndConfirmsAOneDaySpan() {
    CDateSpanDlg dlg{QDate(), QDate()};
    QCOMPARE(dlg.windowTitle(), QStringLiteral("日期选择"));
    QCOMPARE(dlg.calendars()->startCalendar()->selectedDay(), kToday);
    QCOMPARE(dlg.calendars()->endCalendar()->selectedDay(), kToday);
    dlg.onOk();
    QCOMPARE(dlg.answer(), 1);
    QCOMPARE(dlg.start(), kToday);
    QCOMPARE(dlg.end(), kToday);
}

void TestKitDateSpan::givenSpanIsShownAndKept() {
    CDateSpanDlg dlg{QDate(2011, 5, 1), QDate(2011, 5, 10)};
    QCOMPARE(dlg.calendars()->startCalendar()->calendar()->monthShown(), 5);
    button(dlg, "okButton")->click();
    QCOMPARE(dlg.answer(), 1);
    QCOMPARE(dlg.start(), QDate(2011, 5, 1));
    QCOMPARE(dlg.end(), QDate(2011, 5, 10));
}

void TestKitDateSpan::startAfterEndBecomesTheEndDay() {
    CDateSpanDlg dlg{QDate(2011, 5, 10), QDate(2011, 5, 1)};
    dlg.onOk();
    QCOMPARE(dlg.answer(), 1);
    QCOMPARE(dlg.start(), QDate(2011, 5, 1));
    QCOMPARE(dlg.end(), QDate(2011, 5, 1));
}

void TestKitDateSpan::clearAllThenConfirmAnswersNoSpan() {
    CDateSpanDlg dlg{QDate(2011, 5, 1), QDate(2011, 5, 10)};
    button(dlg, "clearAllButton")->click();
    QVERIFY(dlg.calendars()->startCalendar()->selectedDay().isNull());
    QVERIFY(dlg.calendars()->endCalendar()->selectedDay().isNull());
    dlg.onOk();
    QCOMPARE(dlg.answer(), 0);
}

void TestKitDateSpan::oneCalendarsOwnClearThenConfirmAnswersNoSpan() {
    for (const char* which : {"startCalendar", "endCalendar"}) {
        CDateSpanDlg dlg{QDate(2011, 5, 1), QDate(2011, 5, 10)};
        auto* day = dlg.findChild<DayCalendar*>(QLatin1String(which));
        QVERIFY(day);
        button(*day, "clearButton")->click();
        QVERIFY(day->selectedDay().isNull());
        dlg.onOk();
        QCOMPARE(dlg.answer(), 0);
    }
}

void TestKitDateSpan::cancelAfterChangingBothAnswersCancelled() {
    CDateSpanDlg dlg{QDate(2011, 5, 1), QDate(2011, 5, 10)};
    dlg.calendars()->startCalendar()->calendar()->setSelectedDate(QDate(2011, 4, 2));
    dlg.calendars()->endCalendar()->calendar()->setSelectedDate(QDate(2011, 4, 20));
    QCOMPARE(dlg.calendars()->startCalendar()->selectedDay(), QDate(2011, 4, 2));
    button(dlg, "cancelButton")->click();
    QCOMPARE(dlg.answer(), -1);
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
}

void TestKitDateSpan::answerIsCancelledUntilClosed() {
    CDateSpanDlg dlg{QDate(2011, 5, 1), QDate(2011, 5, 10)};
    QCOMPARE(dlg.answer(), -1);
    dlg.onClearAll();
    QCOMPARE(dlg.answer(), -1);
    // A confirmed dialog that is then closed by the window's own close is cancelled.
    dlg.show();
    dlg.reject();
    QCOMPARE(dlg.answer(), -1);
}

void TestKitDateSpan::todayButtonSelectsTodayAndTurnsToItsMonth() {
    CDateSpanDlg dlg{QDate(2010, 1, 3), QDate(2010, 2, 4)};
    DayCalendar* end = dlg.calendars()->endCalendar();
    button(*end, "clearButton")->click();
    button(*end, "todayButton")->click();
    QCOMPARE(end->selectedDay(), kToday);
    QCOMPARE(end->calendar()->monthShown(), 6);
    QCOMPARE(end->calendar()->yearShown(), 2011);
    QCOMPARE(dlg.calendars()->startCalendar()->selectedDay(), QDate(2010, 1, 3));
    dlg.onOk();
    QCOMPARE(dlg.answer(), 1);
    QCOMPARE(dlg.start(), QDate(2010, 1, 3));
    QCOMPARE(dlg.end(), kToday);
}

void TestKitDateSpan::clickingADayAfterClearingSelectsIt() {
    CDateSpanDlg dlg{QDate(), QDate()};
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    DayCalendar* start = dlg.calendars()->startCalendar();
    start->clear();
    // The calendar still holds today internally; a click on that same day must
    // select it all the same.
    clickDay(start, kToday.day());
    QCOMPARE(start->selectedDay(), kToday);
    dlg.onOk();
    QCOMPARE(dlg.answer(), 1);
}

void TestKitDateSpan::clearedCalendarShowsNoHighlightedDay() {
    CDateSpanDlg dlg{QDate(), QDate()};
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTableView* grid = gridOf(dlg.calendars()->startCalendar());
    const QColor highlight = grid->palette().color(QPalette::Active, QPalette::Highlight);
    const QColor inactive = grid->palette().color(QPalette::Inactive, QPalette::Highlight);
    auto marked = [&] {
        const QImage image = grid->viewport()->grab().toImage();
        return countColour(image, highlight) + countColour(image, inactive);
    };
    QVERIFY(marked() > 20);
    button(dlg, "clearAllButton")->click();
    QCOMPARE(marked(), 0);
    dlg.calendars()->startCalendar()->selectToday();
    QVERIFY(marked() > 20);
}

void TestKitDateSpan::enterConfirmsEvenFromACalendar() {
    CDateSpanDlg dlg{QDate(2011, 5, 3), QDate(2011, 5, 4)};
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTableView* grid = gridOf(dlg.calendars()->endCalendar());
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(dlg.answer(), 1);
    QCOMPARE(dlg.end(), QDate(2011, 5, 4));
    QVERIFY(!dlg.isVisible());
}

void TestKitDateSpan::escapeCancels() {
    CDateSpanDlg dlg{QDate(2011, 5, 3), QDate(2011, 5, 4)};
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(button(dlg, "okButton"), Qt::Key_Escape);
    QCOMPARE(dlg.answer(), -1);
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(TestKitDateSpan)
#include "test_datespan.moc"

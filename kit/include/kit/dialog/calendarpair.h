// The two calendars of a date span ("起始日期:" and "终止日期:"), shared by the
// date span dialog and the custom condition dialog of the statistics.
//
// A QCalendarWidget always holds some date; a span must also be able to hold
// none, so each calendar keeps its own "selected day", null after "清空", and
// then shows no highlighted day.
#pragma once

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QTableView;

namespace vorn::ui {

// One month calendar with its "今天" and "清空" buttons.
class DayCalendar : public QWidget {
    Q_OBJECT
public:
    explicit DayCalendar(const QString& caption, QWidget* parent = nullptr);

    // The selected day, or a null date when nothing is selected.
    QDate selectedDay() const { return selected_; }
    // Selects day and turns to its month; a null date clears the selection.
    void setSelectedDay(const QDate& day);

    QCalendarWidget* calendar() const { return calendar_; }
    QPushButton* todayButton() const { return todayButton_; }
    QPushButton* clearButton() const { return clearButton_; }

    // Today's local date by the program's clock.
    static QDate today();

public slots:
    void selectToday(); // "今天"
    void clear();       // "清空"

signals:
    void selectedDayChanged(const QDate& day);

private:
    void takeFromCalendar(const QDate& day);
    void showHighlight(bool on);

    QLabel* caption_;
    QCalendarWidget* calendar_;
    QTableView* grid_ = nullptr;
    QPushButton* todayButton_;
    QPushButton* clearButton_;
    QDate selected_;
    bool settingDate_ = false;
};

class CalendarPair : public QWidget {
    Q_OBJECT
public:
    explicit CalendarPair(QWidget* parent = nullptr);

    // Both null: no span, so both calendars show today. Otherwise start goes to
    // the first calendar and end to the second (a null one is shown cleared).
    void setSpan(const QDate& start, const QDate& end);

    // The span the calendars hold: 1 with start and end filled in (a start later
    // than the end becomes the end: a one-day span on the end day), or 0 when a
    // calendar has no selected day (start and end untouched).
    int readSpan(QDate& start, QDate& end) const;

    DayCalendar* startCalendar() const { return start_; }
    DayCalendar* endCalendar() const { return end_; }

public slots:
    void clearAll(); // "清空所有日期"

private:
    DayCalendar* start_;
    DayCalendar* end_;
};

} // namespace vorn::ui

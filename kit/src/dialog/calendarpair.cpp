#include "kit/dialog/calendarpair.h"

#include <QCalendarWidget>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "kit/text/clock.h"

namespace vorn::ui {

QDate DayCalendar::today() { return QDateTime::fromSecsSinceEpoch(now()).date(); }

DayCalendar::DayCalendar(const QString& caption, QWidget* parent) : QWidget(parent) {
    caption_ = new QLabel(caption, this);
    caption_->setObjectName(QStringLiteral("caption"));

    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("calendar"));
    // Month and weekday names in Chinese whatever the system locale says.
    calendar_->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    calendar_->setSelectionMode(QCalendarWidget::SingleSelection);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setGridVisible(false);
    calendar_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    grid_ = calendar_->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));

    todayButton_ = new QPushButton(QStringLiteral("今天"), this);
    todayButton_->setObjectName(QStringLiteral("todayButton"));
    todayButton_->setAutoDefault(false);
    clearButton_ = new QPushButton(QStringLiteral("清空"), this);
    clearButton_->setObjectName(QStringLiteral("clearButton"));
    clearButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(todayButton_);
    buttons->addWidget(clearButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption_);
    layout->addWidget(calendar_);
    layout->addLayout(buttons);

    connect(todayButton_, &QPushButton::clicked, this, &DayCalendar::selectToday);
    connect(clearButton_, &QPushButton::clicked, this, &DayCalendar::clear);
    // clicked() as well: after "清空" the calendar still holds its old date, and a
    // click on that very day changes nothing in the calendar but must select it.
    connect(calendar_, &QCalendarWidget::clicked, this, &DayCalendar::takeFromCalendar);
    connect(calendar_, &QCalendarWidget::activated, this, &DayCalendar::takeFromCalendar);
    connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] {
        if (!settingDate_) takeFromCalendar(calendar_->selectedDate());
    });

    setSelectedDay(today());
}

void DayCalendar::setSelectedDay(const QDate& day) {
    if (!day.isValid()) {
        clear();
        return;
    }
    settingDate_ = true;
    calendar_->setSelectedDate(day);
    calendar_->setCurrentPage(day.year(), day.month());
    settingDate_ = false;
    takeFromCalendar(calendar_->selectedDate());
}

void DayCalendar::selectToday() { setSelectedDay(today()); }

void DayCalendar::clear() {
    showHighlight(false);
    if (selected_.isNull()) return;
    selected_ = QDate();
    emit selectedDayChanged(selected_);
}

void DayCalendar::takeFromCalendar(const QDate& day) {
    showHighlight(true);
    if (day == selected_) return;
    selected_ = day;
    emit selectedDayChanged(selected_);
}

void DayCalendar::showHighlight(bool on) {
    if (!grid_) return;
    // The grid always marks the calendar's date; with no day selected that mark
    // is drawn in the plain cell colours, so nothing looks chosen.
    if (on) {
        grid_->setPalette(QPalette());
    } else {
        QPalette palette = grid_->palette();
        palette.setColor(QPalette::Highlight, palette.color(QPalette::Base));
        palette.setColor(QPalette::HighlightedText, palette.color(QPalette::Text));
        grid_->setPalette(palette);
    }
    grid_->viewport()->update();
}

CalendarPair::CalendarPair(QWidget* parent) : QWidget(parent) {
    start_ = new DayCalendar(QStringLiteral("起始日期:"), this);
    start_->setObjectName(QStringLiteral("startCalendar"));
    start_->setProperty("vornId", 1036);
    end_ = new DayCalendar(QStringLiteral("终止日期:"), this);
    end_->setObjectName(QStringLiteral("endCalendar"));
    end_->setProperty("vornId", 1037);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->addWidget(start_);
    layout->addWidget(end_);
}

void CalendarPair::setSpan(const QDate& start, const QDate& end) {
    if (start.isNull() && end.isNull()) {
        start_->selectToday();
        end_->selectToday();
        return;
    }
    start_->setSelectedDay(start);
    end_->setSelectedDay(end);
}

int CalendarPair::readSpan(QDate& start, QDate& end) const {
    const QDate from = start_->selectedDay();
    const QDate to = end_->selectedDay();
    if (!from.isValid() || !to.isValid()) return 0;
    start = from > to ? to : from;
    end = to;
    return 1;
}

void CalendarPair::clearAll() {
    start_->clear();
    end_->clear();
}

} // namespace vorn::ui

#include "birthdaypicker.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

#include "kit/dialog/calendarpair.h"

namespace vorn::ui {

namespace {

// A date edit always holds a date; "none" is the day before the first one
// offered, which the edit shows as its special text.
QDate noDay() {
    return BirthdayPicker::firstDay().addDays(-1);
}

} // namespace

BirthdayPicker::BirthdayPicker(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("birthdayPicker"));
    edit_ = new QDateEdit(this);
    edit_->setObjectName(QStringLiteral("birthday"));
    edit_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit_->setCalendarPopup(true);
    edit_->setDateRange(noDay(), lastDay());
    edit_->setSpecialValueText(QStringLiteral("未设置"));
    edit_->setDate(noDay());
    // The calendar of a picker without a day would open in December 1899.
    edit_->calendarWidget()->installEventFilter(this);

    clear_ = new QToolButton(this);
    clear_->setObjectName(QStringLiteral("clearBirthday"));
    clear_->setText(QStringLiteral("清空"));
    clear_->setToolTip(QStringLiteral("不设生日"));
    clear_->setFocusPolicy(Qt::NoFocus);
    connect(clear_, &QToolButton::clicked, this, &BirthdayPicker::clear);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(edit_, 1);
    row->addWidget(clear_);
    setFocusProxy(edit_);
}

QDate BirthdayPicker::day() const {
    const QDate d = edit_->date();
    return d < firstDay() ? QDate() : d;
}

void BirthdayPicker::setDay(const QDate& day) {
    edit_->setDate(day.isValid() && day >= firstDay() && day <= lastDay() ? day : noDay());
}

void BirthdayPicker::clear() {
    edit_->setDate(noDay());
}

bool BirthdayPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_->calendarWidget() && event->type() == QEvent::Show && !hasDay()) {
        const QDate today = DayCalendar::today();
        edit_->calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vorn::ui

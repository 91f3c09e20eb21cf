// The birthday of a member: a day, or none at all. A member whose birthday
// nobody entered must not get one (the reminder would announce him every year
// on the day he joined), so unlike a plain date edit this picker can hold no
// date: it then reads "未设置", and its "清空" button brings it back there.
#pragma once

#include <QDate>
#include <QWidget>

class QDateEdit;
class QToolButton;

namespace vorn::ui {

class BirthdayPicker : public QWidget {
    Q_OBJECT
public:
    explicit BirthdayPicker(QWidget* parent = nullptr);

    // The day picked, or a null date when there is none.
    QDate day() const;
    // Shows the day; a null date (or one outside 1900-01-01 to 2099-12-31,
    // which no birthday can be) shows none.
    void setDay(const QDate& day);
    bool hasDay() const { return day().isValid(); }

    // The earliest and latest day offered.
    static QDate firstDay() { return QDate(1900, 1, 1); }
    static QDate lastDay() { return QDate(2099, 12, 31); }

    // The date edit (object name "birthday") and the "清空" button ("clearBirthday").
    QDateEdit* dateEdit() const { return edit_; }
    QToolButton* clearButton() const { return clear_; }

public slots:
    void clear(); // "清空"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDateEdit* edit_;
    QToolButton* clear_;
};

} // namespace vorn::ui

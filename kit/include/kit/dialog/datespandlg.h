// The date span dialog "日期选择": the span of whole days a search restricts a
// date-time column to (goods stock and sale time, member creation time).
#pragma once

#include <QDate>
#include <QDialog>

class QPushButton;

namespace vorn::ui {

class CalendarPair;

class CDateSpanDlg : public QDialog {
    Q_OBJECT
public:
    // Both dates null means no span: both calendars then show today.
    CDateSpanDlg(const QDate& start, const QDate& end, QWidget* parent = nullptr);

    // 1 a span was chosen, 0 confirmed without one, -1 cancelled (and until closed).
    int answer() const { return answer_; }
    // The chosen span; meaningful for answer 1 only.
    QDate start() const { return start_; }
    QDate end() const { return end_; }

    CalendarPair* calendars() const { return calendars_; }

public slots:
    void onClearAll(); // "清空所有日期" (1025)
    void onOk();       // "确定" (1018)
    void onCancel();   // "取消" (1019)

    void accept() override; // as onOk
    void reject() override; // as onCancel

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CalendarPair* calendars_;
    QPushButton* clearAllButton_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    int answer_ = -1;
    QDate start_;
    QDate end_;
};

} // namespace vorn::ui

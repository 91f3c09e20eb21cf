// The custom condition dialog "自定义条件设置": the span of days (at most 93)
// and the goods types (at most 10) the custom charts compare.
#pragma once

#include <QDate>
#include <QDialog>
#include <vector>

#include "vorn/records.h"

class QListWidget;

namespace vorn::ui {

class CalendarPair;
class Shell;

class CStatCdtDlg : public QDialog {
    Q_OBJECT
public:
    // start and end: the current span (both null: none). types is replaced on a
    // confirmed span only. typeList: the goods types, in their list order.
    CStatCdtDlg(Shell& shell, const QDate& start, const QDate& end, std::vector<int>& types,
                const std::vector<vorn::TRec>& typeList, QWidget* parent = nullptr);

    // 1 a span was chosen (start() and end()), 0 confirmed without one, -1
    // cancelled (and until closed).
    int answer() const { return answer_; }
    QDate start() const { return start_; }
    QDate end() const { return end_; }

    QListWidget* chosenList() const { return chosen_; }   // "统计类型:" (1023)
    QListWidget* offeredList() const { return offered_; } // "可选商品类型:" (1024)
    CalendarPair* calendars() const { return calendars_; }

public slots:
    void choose();     // "<-" (1018)
    void giveBack();   // "->" (1019)
    void onClearAll(); // "清空所有日期" (1025)
    void onOk();       // "确定" (1021)
    void onCancel();   // "取消" (1022)

    void accept() override { onOk(); }
    void reject() override { onCancel(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Shell& shell_;
    std::vector<int>& types_;
    int answer_ = -1;
    QDate start_;
    QDate end_;
    QListWidget* chosen_;
    QListWidget* offered_;
    CalendarPair* calendars_;
};

} // namespace vorn::ui

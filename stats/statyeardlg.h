// The year dialog "年份设置": which calendar years the year charts compare (at
// most 3), in the order the user chose them.
#pragma once

#include <QDialog>
#include <vector>

class QListWidget;
class QPushButton;

namespace vorn::ui {

class Shell;

class CStatYearDlg : public QDialog {
    Q_OBJECT
public:
    // years is changed in place on OK only. currentYear decides how far the
    // offered years reach (2011 to the later of 2030 and currentYear).
    CStatYearDlg(Shell& shell, std::vector<int>& years, int currentYear, QWidget* parent = nullptr);

    // After OK the number of chosen years; -1 when cancelled (and until closed).
    int answer() const { return answer_; }

    QListWidget* chosenList() const { return chosen_; }   // "统计年份:" (1024)
    QListWidget* offeredList() const { return offered_; } // "可选年份列表:" (1023)

public slots:
    void choose();   // "<-" (1018)
    void giveBack(); // "->" (1019)
    void onOk();     // "确定" (1020)
    void onCancel(); // "取消" (1021)

    void accept() override { onOk(); }
    void reject() override { onCancel(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Shell& shell_;
    std::vector<int>& years_;
    int answer_ = -1;
    QListWidget* chosen_;
    QListWidget* offered_;
};

} // namespace vorn::ui

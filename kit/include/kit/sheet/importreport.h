// The second step of an import: what checking every line found, before
// anything is written. Lists each problem with its line number and says how
// many lines (and what they amount to) will be entered; the user confirms or
// cancels, and cancelling writes nothing.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace vorn::ui {

struct ImportProblem {
    int line = 0;  // line of the file
    QString text;  // what is wrong, and what happens to the line
    bool skipped = true; // the line is left out (false: entered with a fallback, e.g. an unknown type)
};

class CImportReportDlg : public QDialog {
    Q_OBJECT
public:
    // `summary` says what will be entered ("将导入 998 行，共 100,000 件商品"), in
    // the caller's words. With nothing to enter the confirm button is disabled.
    CImportReportDlg(const QString& title, const QString& summary, std::vector<ImportProblem> problems,
                     bool anythingToEnter, QWidget* parent = nullptr);

    // Columns: "行号", "问题", and "处理" ("跳过" for a line left out, "提示" for
    // one entered with a fallback). Rows in line order.
    QTableWidget* problemList() const { return list_; }
    QPushButton* confirmButton() const { return confirm_; }

public slots:
    // "确认导入"; does nothing while there is nothing to enter.
    void accept() override;

private:
    QTableWidget* list_ = nullptr;
    QPushButton* confirm_ = nullptr;
};

} // namespace vorn::ui

// "退货" (F8 at the counter): goods a customer brings back. The sale is found
// by the number on its receipt (typed or scanned) or picked from the day's
// sales; its lines that can still come back are listed with what was paid for
// each unit. The cashier ticks the lines, sets how many of each (all by
// default) and whether they go back into stock or are written off (报损); the
// refund by method is planned by the journal as the choice changes, and
// "确定" writes the return in one transaction.
//
// Without a receipt an administrator or the shop owner enters goods codes and
// quantities: the most recently sold units of each code come back, refunded
// in cash at the prices they were sold for. A salesperson's return needs an
// administrator's or the owner's approval (kit's CApprovalDlg), kept with it.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

#include "kit/dialog/dialogrunner.h"
#include "vorn/journal.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace vorn::ui {

class Shell;

class CReturnDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { ColPick, ColCode, ColName, ColPrice, ColLeft, ColQuantity, ColDamaged, ColumnCount };

    CReturnDlg(Shell& shell, QWidget* parent = nullptr);

    // How the approval dialog is run (tests answer it without a loop).
    void setApprovalRunner(DialogRunner runner) { runApproval_ = std::move(runner); }

    // The day's sales could not be read (the rest of the dialog still works).
    bool dayLoadFailed() const { return dayFailed_; }
    // Administrators and the shop owner may return without a receipt and
    // need no approval.
    bool mayActAlone() const;

    QLineEdit* numberEdit() const { return number_; }
    QComboBox* daySalesCombo() const { return days_; }
    QTableWidget* table() const { return table_; }
    QCheckBox* allCashCheck() const { return allCash_; }
    QCheckBox* noReceiptCheck() const { return noReceipt_; }
    QLineEdit* codeEdit() const { return code_; }
    QSpinBox* codeQuantity() const { return codeQty_; }
    QCheckBox* printCheck() const { return print_; }
    QLabel* saleLabel() const { return saleLabel_; }
    QLabel* refundLabel() const { return refundLabel_; }
    QLabel* messageLabel() const { return message_; }

    // The lines listed, and the choice made on each.
    int lineCount() const { return static_cast<int>(lines_.size()); }
    void setLineChosen(int row, bool chosen);
    void setLineQuantity(int row, int quantity);
    void setLineDamaged(int row, bool damaged);

    // The sale found (its id 0 when none), the return as the choice stands,
    // and what the last plan said.
    const vorn::SaleDetail& sale() const { return sale_; }
    vorn::ReturnRequest request() const;
    const vorn::ReturnResult& plan() const { return plan_; }
    // After "确定": the return written (Done) or the write that failed (Failed).
    const vorn::ReturnResult& outcome() const { return result_; }
    QString approver() const { return approver_; }
    bool printWanted() const;

    // The sentence for a refusal of the journal's (empty for Done and Failed).
    static QString refusalText(const vorn::ReturnResult& r);
    // "现金 12.5  微信 3.0": the refund by method.
    static QString refundsText(const std::vector<vorn::Payment>& refunds);

public slots:
    void onFind();                // the sale of the number typed
    void onPickDaySale(int index); // a sale of the day's list (index 0 is the prompt)
    void onNoReceipt(bool on);
    void onAddCode();             // without a receipt: the code and quantity as a line
    void refreshPlan();
    void onOk();
    void onCancel();

protected:
    // F12 or Ctrl+Enter confirms, as checkout at the counter; Enter finds.
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Line {
        QString code, name;
        int64_t price = -1;     // tenths each; -1 unknown (without a receipt)
        std::vector<int> units; // with a receipt: the units that can come back
        int left = 0;           // how many can come back; 0 unknown (without a receipt)
        int quantity = 0;       // how many come back
        bool chosen = true;
        bool damaged = false;
    };
    void loadDaySales();
    void clearSale();
    void showLines();
    void say(const QString& text);

    Shell& shell_;
    DialogRunner runApproval_;
    bool dayFailed_ = false;
    bool filling_ = false;
    std::vector<vorn::SaleRecord> daySales_;
    vorn::SaleDetail sale_;
    std::vector<Line> lines_;
    vorn::ReturnResult plan_;
    vorn::ReturnResult result_;
    QString approver_;

    QLineEdit* number_;
    QPushButton* find_;
    QComboBox* days_;
    QLabel* saleLabel_;
    QTableWidget* table_;
    QCheckBox* noReceipt_;
    QLineEdit* code_;
    QSpinBox* codeQty_;
    QPushButton* addCode_;
    QCheckBox* allCash_;
    QCheckBox* print_;
    QLabel* refundLabel_;
    QLabel* message_;
    QPushButton* ok_;
};

// The whole return at the counter: the dialog, the receipt "退货单" printed
// when asked, and the status sentence. runner runs the return dialog;
// approvalRunner the approval dialog inside it.
void returnAtCounter(Shell& shell, const DialogRunner& runner, const DialogRunner& approvalRunner);

} // namespace vorn::ui

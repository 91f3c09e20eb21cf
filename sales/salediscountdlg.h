// The goods discount dialog "商品折扣": the selected rows of the shopping list
// priced at a preset level or at a rate of their retail price. A salesperson
// asking more than the shop lets them give alone (discountauthority.h) must
// have an administrator or shop owner allow it; the approver goes with the sale.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "kit/dialog/dialogrunner.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace vorn::ui {

class SaleList;
class Shell;

class CSaleDiscountDlg : public QDialog {
    Q_OBJECT
public:
    // rows: positions of the selected rows of the list (may be empty).
    CSaleDiscountDlg(Shell& shell, SaleList& list, std::vector<int> rows, QWidget* parent = nullptr);

    // 0 preset price, 1 custom rate.
    int mode() const;
    QRadioButton* presetRadio() const { return preset_; }
    QRadioButton* rateRadio() const { return rate_; }
    QComboBox* presetCombo() const { return levels_; }
    QLineEdit* rateEdit() const { return rateEdit_; }

    // How the approval dialog is run (tests answer it without a modal loop).
    void setApprovalRunner(DialogRunner runner) { runApproval_ = std::move(runner); }
    // Who allowed the discount just applied; empty when none was needed.
    QString approver() const { return approver_; }

public slots:
    // "打折" or Enter: prices the rows and closes with OK. A rate out of range,
    // or a discount beyond the user's authority that nobody allowed, leaves the
    // prices alone and the dialog open.
    void onApply();
    void onCancel();
    // The radio buttons: mode 0 or 1.
    void setMode(int mode);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Asks for an approver when the user may not give the discount alone;
    // false when it was refused or cancelled (the status line says so).
    bool allowed(bool custom, double factor);

    Shell& shell_;
    SaleList& list_;
    std::vector<int> rows_;
    QRadioButton* preset_;
    QRadioButton* rate_;
    QComboBox* levels_;
    QLineEdit* rateEdit_;
    DialogRunner runApproval_;
    QString approver_;
};

} // namespace vorn::ui

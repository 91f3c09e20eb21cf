// The goods discount dialog "商品折扣": the selected rows of the shopping list
// priced at a preset level or at a rate of their retail price.
#pragma once

#include <QDialog>
#include <vector>

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

public slots:
    // "打折": prices the rows and closes with OK; a rate out of range is refused
    // and the dialog stays open.
    void onApply();
    void onCancel();
    // The radio buttons: mode 0 or 1.
    void setMode(int mode);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Shell& shell_;
    SaleList& list_;
    std::vector<int> rows_;
    QRadioButton* preset_;
    QRadioButton* rate_;
    QComboBox* levels_;
    QLineEdit* rateEdit_;
};

} // namespace vorn::ui

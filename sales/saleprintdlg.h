// The sale-complete dialog "销售提示": "商品结算成功！" with the sale's number and
// how it was paid (each method with its amount, and the change), then "打印小票"
// and "确定". It only records the cashier's choice; the caller prints.
#pragma once

#include <QDialog>

class QLabel;

namespace vorn::ui {

struct ReceiptData;

class CSalePrintDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSalePrintDlg(QWidget* parent = nullptr);

    // True when the dialog was closed by "打印小票" (or Ctrl+Enter).
    bool printRequested() const { return print_; }

    // The sale's number, payment lines and change, from its receipt.
    void showSale(const ReceiptData& sale);
    QLabel* numberLabel() const { return number_; }
    QLabel* paymentsLabel() const { return payments_; }

public slots:
    void onPrint(); // "打印小票": choose printing and close
    void onOk();    // "确定": close without printing

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool print_ = false;
    QLabel* number_;
    QLabel* payments_;
};

} // namespace vorn::ui

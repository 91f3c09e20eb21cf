// The payment dialog "付款": the amount the customer hands over, checked against
// the amount due before the sale goes ahead.
#pragma once

#include <QDialog>
#include <cstdint>

class QLineEdit;

namespace vorn::ui {

class Shell;

class CPaymentDlg : public QDialog {
    Q_OBJECT
public:
    // dueTenths: the amount due in tenths of a yuan.
    CPaymentDlg(Shell& shell, int64_t dueTenths, QWidget* parent = nullptr);

    // 1 after "确定" with enough paid, -1 after "取消" or Escape, 0 otherwise.
    int resultCode() const { return result_; }
    // The amount paid in tenths (0 until a number was read).
    int64_t paidTenths() const { return paid_; }
    int64_t dueTenths() const { return due_; }
    QLineEdit* edit() const { return edit_; }

public slots:
    void onOk();
    void onCancel();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Shell& shell_;
    int64_t due_;
    int64_t paid_ = 0;
    int result_ = 0;
    QLineEdit* edit_;
};

} // namespace vorn::ui

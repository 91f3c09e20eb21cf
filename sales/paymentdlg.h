// The payment dialog "付款": how the customer pays the amount due. Cash (现金)
// is where it opens, as it always has: the amount handed over is typed and
// Enter takes it, giving change. WeChat, Alipay, card and other (微信, 支付宝,
// 银行卡, 其他; keys F1 to F5 with cash) pay exactly: choosing one puts the
// amount still due in the edit, and Enter on it pays that. A sale may be split:
// a part paid by one of those that leaves something due is taken, shown with
// what is still due, and the rest is paid next. Only cash gives change, so a
// part by anything else over what is still due is refused.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "vorn/journal.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vorn::ui {

class Shell;

class CPaymentDlg : public QDialog {
    Q_OBJECT
public:
    // dueTenths: the amount due in tenths of a yuan.
    CPaymentDlg(Shell& shell, int64_t dueTenths, QWidget* parent = nullptr);

    // 1 after "确定" with the amount due covered, -1 after "取消" or Escape, 0 otherwise.
    int resultCode() const { return result_; }
    // What was paid in all, in tenths (0 until an amount was taken).
    int64_t paidTenths() const;
    // What was paid over the amount due: the cash change.
    int64_t changeTenths() const { return paidTenths() > due_ ? paidTenths() - due_ : 0; }
    int64_t dueTenths() const { return due_; }
    // What is still to pay after the parts taken so far.
    int64_t stillDueTenths() const;
    // The parts, in the order taken (the last is the one that covered the amount due).
    const std::vector<vorn::Payment>& payments() const { return payments_; }
    // The method the edit's amount is for.
    int method() const { return method_; }

    QLineEdit* edit() const { return edit_; }
    QPushButton* methodButton(int method) const;
    QLabel* partsLabel() const { return parts_; }
    QLabel* stillDueLabel() const { return stillDue_; }

    // "现金 F1" ... "其他 F5": the method's name and its key.
    static QString methodCaption(int method);
    // The methods in the order of their keys F1 to F5.
    static constexpr int kMethods[] = {vorn::kPayCash, vorn::kPayWeChat, vorn::kPayAlipay, vorn::kPayCard,
                                       vorn::kPayOther};

public slots:
    void onOk();
    void onCancel();
    // The method the next amount is for: cash starts at 0, any other at what is
    // still due; the amount is selected, so typing replaces it.
    void chooseMethod(int method);
    // Takes back the parts taken so far ("重新付款").
    void clearParts();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refuse(const QString& text);
    void showParts();
    void focusAmount();

    Shell& shell_;
    int64_t due_;
    int method_ = vorn::kPayCash;
    int64_t typed_ = 0; // the edit's amount last read (kept when a text is no amount)
    std::vector<vorn::Payment> payments_;
    int result_ = 0;
    QLineEdit* edit_;
    QLabel* parts_;
    QLabel* stillDue_;
    QLabel* amountCaption_;
    QPushButton* methodButtons_[5] = {};
    QPushButton* clearButton_;
};

} // namespace vorn::ui

// The sale-complete dialog "销售提示": "商品结算成功！" with "打印小票" and "确定".
// It only records the cashier's choice; the caller prints.
#pragma once

#include <QDialog>

namespace vorn::ui {

class CSalePrintDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSalePrintDlg(QWidget* parent = nullptr);

    // True when the dialog was closed by "打印小票" (or Ctrl+Enter).
    bool printRequested() const { return print_; }

public slots:
    void onPrint(); // "打印小票": choose printing and close
    void onOk();    // "确定": close without printing

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool print_ = false;
};

} // namespace vorn::ui

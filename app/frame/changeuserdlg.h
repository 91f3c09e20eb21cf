// "用户切换": hands the counter over to another user without leaving the program.
#pragma once

#include <QDialog>
#include <memory>

#include "frame/loginfields.h"

namespace vorn::ui {

class LoginHost;

class CChangeUserDlg : public QDialog {
    Q_OBJECT
public:
    // Result codes besides Accepted (switched) and Rejected (abandoned).
    static constexpr int Ended = 2; // third failed attempt: the program ends

    CChangeUserDlg(LoginHost& host, QWidget* parent = nullptr);
    ~CChangeUserDlg() override;

    LoginFields& fields() { return *fields_; }

public slots:
    // "切换用户" or Enter.
    void onSwitch();
    // "取消", Escape or the close button.
    void onCancel();
    void reject() override;

private:
    LoginHost& host_;
    std::unique_ptr<LoginFields> fields_;
};

} // namespace vorn::ui

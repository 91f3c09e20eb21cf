// The login panel in the middle of the login page.
#pragma once

#include <QFrame>
#include <memory>

#include "frame/loginfields.h"

namespace vorn::ui {

class LoginHost;

class CLogonInputDlg : public QFrame {
    Q_OBJECT
public:
    CLogonInputDlg(LoginHost& host, QWidget* parent = nullptr);
    ~CLogonInputDlg() override;

    LoginFields& fields() { return *fields_; }

public slots:
    // "登录" or Enter.
    void onLogin();
    // "退出程序" or Escape.
    void onQuit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    LoginHost& host_;
    std::unique_ptr<LoginFields> fields_;
};

} // namespace vorn::ui

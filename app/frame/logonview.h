// The login page: eight lines introducing the program and, kept in the middle
// of the page, the login panel.
#pragma once

#include <QStringList>

#include "kit/page/page.h"

namespace vorn::ui {

class CLogonInputDlg;
class LoginHost;

class CLogonView : public CPage {
    Q_OBJECT
public:
    CLogonView(Shell& shell, LoginHost& host, QWidget* parent = nullptr);

    CLogonInputDlg* panel() const { return panel_; }
    // The eight introduction lines as shown.
    static QStringList introLines();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void centrePanel();

    CLogonInputDlg* panel_;
};

} // namespace vorn::ui

// "授权": an administrator or the shop owner allows, with name and password,
// what the logged-in user may not do alone (a salesperson's return, and later
// a large discount or a shift's cash-up). The password is checked exactly as
// the login checks it (kit/dialog/passwordcheck.h): failures counted per name, a wait
// after the third, every refusal kept in the store. A salesperson's account,
// the user's own included, cannot approve.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vorn::ui {

struct AppState;

class CApprovalDlg : public QDialog {
    Q_OBJECT
public:
    // reason: what is being allowed, shown above the fields ("退货").
    CApprovalDlg(AppState& state, const QString& reason, QWidget* parent = nullptr);

    // Roles that may approve: the built-in administrator (0) and the shop owner (1).
    static bool mayApprove(int auth) { return auth == 0 || auth == 1; }

    // The approver's name once accepted; empty before.
    QString approver() const { return approver_; }
    // Why the last try was refused; empty when none was.
    QString message() const;

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* passwordEdit() const { return password_; }

public slots:
    void onOk(); // checks the fields; accepts, or says why not and stays open
    void onCancel();

private:
    void refuse(const QString& text);

    AppState& state_;
    QString approver_;
    QLineEdit* name_;
    QLineEdit* password_;
    QLabel* message_;
    QPushButton* ok_;
};

} // namespace vorn::ui

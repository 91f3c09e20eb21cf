// Login, roles and the user switch of the main window.
#include <QLabel>

#include "frame/changeuserdlg.h"
#include "frame/login.h"
#include "frame/mainframe.h"
#include "frame/ribbon.h"
#include "frame/ribbontable.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/dialog/passwordcheck.h"
#include "res/strings.h"

namespace vorn::ui {

namespace {
constexpr int kAttempts = 3;
}

int CMainFrame::login(const QString& name, const QString& password) {
    auto& state = state_;
    // There is no log-out: before the first login only the login page asks,
    // afterwards only the user switch.
    const QString place = state.currentUser.FUi_Id > 0 ? QStringLiteral("用户切换") : QStringLiteral("用户登录");
    const PasswordCheck check = checkPassword(state, name, password, place);
    if (check.verdict == PasswordVerdict::Waiting) {
        // Nothing was checked, so the attempt is not one of the three.
        reportFailure(waitMessage(name, check.waitSeconds));
        return 0;
    }
    if (check.verdict == PasswordVerdict::Accepted) {
        failedLogins_ = 0;
        state.currentUser = check.user;
        const QString user = fromGbk(state.currentUser.FUs_Name);
        enableTabsForRole(state.currentUser.FUi_Auth);
        showStatus(QStringLiteral("用户\"%1\"登录成功").arg(user));
        setPaneText(1, QStringLiteral("%1 %2").arg(userPaneLabel(), user));
        setPaneText(2, QStringLiteral("%1 %2").arg(rolePaneLabel(), roleName(state.currentUser.FUi_Auth)));
        updateCommands();
        return 1;
    }
    ++failedLogins_;
    reportFailure(QStringLiteral("用户名和密码不正确，请重新输入正确的用户名和密码，你还有%1次尝试机会")
                      .arg(std::max(0, kAttempts - failedLogins_)));
    if (failedLogins_ >= kAttempts) {
        reportFailure(QStringLiteral("你尝试登录的次数已用完，程序将自动退出"));
        return -1;
    }
    return 0;
}

void CMainFrame::enableTabsForRole(int auth) {
    const auto& table = ribbonTable();
    for (size_t i = 0; i < table.size(); ++i)
        ribbon_->setTabEnabled(static_cast<int>(i), roleMayUseTab(auth, table[i].everyRole));
}

void CMainFrame::switchUser() {
    if (!mayLeave(Leaving::SwitchUser)) return;
    CChangeUserDlg dlg(*this, this);
    dlg.exec();
}

} // namespace vorn::ui

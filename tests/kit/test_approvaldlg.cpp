// "授权": an administrator's or the owner's name and password allow what the
// logged-in user may not do alone; a salesperson cannot approve, a wrong
// password is refused and counted per name as the login counts it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "kit/page/appstate.h"
#include "kit/dialog/approvaldlg.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/dialog/passwordcheck.h"
#include "storefixture.h"
#include "vorn/password.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

const int64_t kT0 = 1765000000;

void addAccount(vorn::Core& core, const QString& name, const QString& password, int auth) {
    vorn::URec u;
    u.FUs_Name = gbk(name);
    u.FUs_Pas = vorn::hash_password(gbk(password));
    u.FUi_Auth = auth;
    QCOMPARE(core.insert_urec(&u, 1), 1);
}

// Fills the dialog and presses "授权"; true when it accepted.
bool tryApproval(CApprovalDlg& dlg, const QString& name, const QString& password) {
    dlg.nameEdit()->setText(name);
    dlg.passwordEdit()->setText(password);
    dlg.onOk();
    return dlg.result() == QDialog::Accepted;
}

} // namespace

class TestApprovalDlg : public QObject {
    Q_OBJECT

    StoreFixture fx;

private slots:
    void init() {
        setNowForTests(kT0);
        fx.setUp();
        addAccount(fx.core(), QStringLiteral("店长"), QStringLiteral("boss1"), 1);
        addAccount(fx.core(), QStringLiteral("root"), QStringLiteral("r00t"), 0);
        addAccount(fx.core(), QStringLiteral("小王"), QStringLiteral("clerk"), 2);
    }
    void cleanup() {
        fx.tearDown();
        setNowForTests(0);
    }

    void rolesThatMayApprove() {
        QVERIFY(CApprovalDlg::mayApprove(0));
        QVERIFY(CApprovalDlg::mayApprove(1));
        QVERIFY(!CApprovalDlg::mayApprove(2));
    }

    // Each try on a fresh dialog: who is accepted, and what a refusal says.
    void acceptsOwnersAndAdministratorsOnly() {
        struct Case {
            QString name, password;
            bool accepted;
            QString message; // part of the refusal
        };
        const Case cases[] = {
            {QStringLiteral("店长"), QStringLiteral("boss1"), true, QString()},
            {QStringLiteral("root"), QStringLiteral("r00t"), true, QString()},
            {QStringLiteral("店长"), QStringLiteral("boss2"), false, QStringLiteral("用户名或密码不正确")},
            {QStringLiteral("小王"), QStringLiteral("clerk"), false, QStringLiteral("无权授权")},
            {QStringLiteral("nobody"), QStringLiteral("x"), false, QStringLiteral("用户名或密码不正确")},
            {QString(), QStringLiteral("boss1"), false, QStringLiteral("请输入授权人的用户名")},
            {QStringLiteral("店长 "), QStringLiteral("boss1"), false, QStringLiteral("用户名或密码不正确")},
        };
        for (const Case& c : cases) {
            CApprovalDlg dlg(fx.shell->st, QStringLiteral("退货"));
            QCOMPARE(tryApproval(dlg, c.name, c.password), c.accepted);
            QCOMPARE(dlg.approver(), c.accepted ? c.name : QString());
            if (c.accepted) {
                QVERIFY(dlg.message().isEmpty());
            } else {
                QVERIFY2(dlg.message().contains(c.message), qPrintable(dlg.message()));
                QVERIFY(dlg.passwordEdit()->text().isEmpty() || c.name.isEmpty());
            }
        }
        // Counted as the login counts: the wrong password once, a salesperson's
        // right one not at all, an empty name never checked.
        QCOMPARE(passwordGuard(fx.shell->st).failures(QStringLiteral("店长")), 1);
        QCOMPARE(passwordGuard(fx.shell->st).failures(QStringLiteral("小王")), 0);
        QCOMPARE(passwordGuard(fx.shell->st).failures(QString()), 0);
    }

    // Three wrong passwords, then the name waits; another name does not, and
    // after the wait the right password approves. The refusals are logged.
    void waitsAfterThreeFailuresPerName() {
        CApprovalDlg dlg(fx.shell->st, QStringLiteral("退货"));
        for (int i = 0; i < PasswordGuard::kFreeTries; ++i)
            QVERIFY(!tryApproval(dlg, QStringLiteral("店长"), QStringLiteral("wrong")));
        QVERIFY(!tryApproval(dlg, QStringLiteral("店长"), QStringLiteral("boss1")));
        QCOMPARE(dlg.message(), waitMessage(QStringLiteral("店长"), PasswordGuard::kWaitSeconds));
        QVERIFY(tryApproval(dlg, QStringLiteral("root"), QStringLiteral("r00t")));

        CApprovalDlg later(fx.shell->st, QStringLiteral("退货"));
        setNowForTests(kT0 + PasswordGuard::kWaitSeconds);
        QVERIFY(tryApproval(later, QStringLiteral("店长"), QStringLiteral("boss1")));
        QCOMPARE(later.approver(), QStringLiteral("店长"));

        std::vector<vorn::LoginFailRec> log;
        fx.core().select_login_fail(log, 100);
        QCOMPARE(int(log.size()), PasswordGuard::kFreeTries);
        for (const vorn::LoginFailRec& r : log)
            QCOMPARE(fromGbk(r.FLFs_Place), QStringLiteral("授权"));
    }

    void cancelLeavesNoApprover() {
        CApprovalDlg dlg(fx.shell->st, QStringLiteral("退货"));
        dlg.nameEdit()->setText(QStringLiteral("店长"));
        dlg.onCancel();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(dlg.approver().isEmpty());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("授权"));
        QVERIFY(dlg.findChild<QLabel*>(QStringLiteral("approvalCaption"))->text().contains(QStringLiteral("退货")));
        QCOMPARE(dlg.passwordEdit()->echoMode(), QLineEdit::Password);
    }
};

QTEST_MAIN(TestApprovalDlg)
#include "test_approvaldlg.moc"

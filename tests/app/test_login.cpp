// Login, roles and the user switch, driven through the login panel and the
// switch dialog as a user would.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "frame/changeuserdlg.h"
#include "frame/internetview.h"
#include "frame/logoninputdlg.h"
#include "frame/logonview.h"
#include "saleview.h"
#include "res/commandids.h"
#include "frame_fixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {
CLogonInputDlg* panelOf(CMainFrame& frame) {
    auto* logon = qobject_cast<CLogonView*>(frame.view());
    return logon ? logon->panel() : nullptr;
}

void type(LoginFields& fields, const QString& name, const QString& password) {
    fields.nameBox()->setEditText(name);
    fields.passwordEdit()->setText(password);
}

QString wrong(int left) {
    return QStringLiteral("用户名和密码不正确，请重新输入正确的用户名和密码，你还有%1次尝试机会").arg(left);
}
const QString kUsedUp = QStringLiteral("你尝试登录的次数已用完，程序将自动退出");
} // namespace

class TestFrameLogin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
    }

    void adminLogsInFromThePanel() {
        FrameFixture f;
        QVERIFY(f.create());
        CLogonInputDlg* panel = panelOf(*f.frame);
        QVERIFY(panel);
        type(panel->fields(), kAdmin, kAdminPassword);
        panel->onLogin();
        flush();

        QCOMPARE(f.frame->currentPage(), 2);
        QVERIFY(qobject_cast<CSaleView*>(f.frame->view()));
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Qelto进销存 - 销售前台"));
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"销售前台\"页面"));
        QCOMPARE(f.frame->paneText(1), QStringLiteral("当前登录用户: admin"));
        QCOMPARE(f.frame->paneText(2), QStringLiteral("权限: 系统超级管理员"));
        QCOMPARE(f.enabledTabs().size(), 11);
        QCOMPARE(f.ribbon().currentTab(), 0);
        QCOMPARE(fromGbk(f.frame->state().currentUser.FUs_Name), kAdmin);
        QCOMPARE(f.frame->state().currentUser.FUi_Auth, 0);
        QVERIFY(f.messages.shown.isEmpty());
        // The old page is gone.
        QVERIFY(f.frame->findChildren<CLogonView*>().isEmpty());
    }

    void rolesDecideTheTabs_data() {
        QTest::addColumn<int>("auth");
        QTest::addColumn<QList<int>>("tabs");
        QTest::addColumn<QString>("role");
        QTest::newRow("owner") << 1 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << QStringLiteral("店主");
        QTest::newRow("salesperson") << 2 << QList<int>{0, 5, 6, 7, 8, 9, 10} << QStringLiteral("售货员");
        QTest::newRow("other role") << 7 << QList<int>{0, 5, 6, 7, 8, 9, 10} << QStringLiteral("售货员");
    }
    void rolesDecideTheTabs() {
        QFETCH(int, auth);
        QFETCH(QList<int>, tabs);
        QFETCH(QString, role);
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("小王"), QStringLiteral("xw-2024"), auth);
        QCOMPARE(f.frame->login(QStringLiteral("小王"), QStringLiteral("xw-2024")), 1);
        QCOMPARE(f.enabledTabs(), tabs);
        QCOMPARE(f.frame->paneText(1), QStringLiteral("当前登录用户: 小王"));
        QCOMPARE(f.frame->paneText(2), QStringLiteral("权限: ") + role);
        QCOMPARE(f.frame->statusText(), QStringLiteral("用户\"小王\"登录成功"));
        // A disabled tab cannot be entered.
        if (!tabs.contains(1)) {
            f.frame->selectTab(0);
            f.ribbon().clickTab(1);
            QCOMPARE(f.frame->currentPage(), 2);
        }
    }

    void threeWrongLoginsEndTheProgram() {
        FrameFixture f;
        QVERIFY(f.create());
        QSignalSpy closed(f.frame.get(), &CMainFrame::closed);
        CLogonInputDlg* panel = panelOf(*f.frame);

        type(panel->fields(), kAdmin, QStringLiteral("nope"));
        panel->onLogin();
        QCOMPARE(f.frame->statusText(), wrong(2));
        QCOMPARE(f.messages.shown, QStringList{wrong(2) + QStringLiteral("。")});
        // Both texts stay as typed for a correction.
        QCOMPARE(panel->fields().name(), kAdmin);
        QCOMPARE(panel->fields().password(), QStringLiteral("nope"));

        panel->onLogin();
        QCOMPARE(f.frame->statusText(), wrong(1));
        QCOMPARE(closed.count(), 0);
        QCOMPARE(f.frame->currentPage(), 1);

        f.messages.shown.clear();
        panel->onLogin();
        QCOMPARE(f.messages.shown,
                 (QStringList{wrong(0) + QStringLiteral("。"), kUsedUp + QStringLiteral("。")}));
        QCOMPARE(f.frame->statusText(), kUsedUp);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!f.frame->isVisible());
        flush(); // the login page goes once its button's handler has returned, then the store
        QVERIFY(!f.frame->state().core.is_open());
    }

    void successResetsTheSharedCounter() {
        FrameFixture f;
        QVERIFY(f.create());
        QCOMPARE(f.frame->login(kAdmin, QStringLiteral("x")), 0);
        QCOMPARE(f.frame->login(kAdmin, QStringLiteral("y")), 0);
        QCOMPARE(f.frame->failedLogins(), 2);
        QVERIFY(f.loginAsAdmin());
        QCOMPARE(f.frame->failedLogins(), 0);

        CChangeUserDlg dlg(*f.frame, f.frame.get());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("用户切换"));
        type(dlg.fields(), kAdmin, QStringLiteral("z"));
        f.messages.shown.clear();
        dlg.onSwitch();
        QCOMPARE(f.messages.shown, QStringList{wrong(2) + QStringLiteral("。")});
        QCOMPARE(dlg.result(), 0);
    }

    void abandoningASwitchForgivesFailures() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        CChangeUserDlg dlg(*f.frame, f.frame.get());
        type(dlg.fields(), kAdmin, QStringLiteral("bad"));
        dlg.onSwitch();
        dlg.onSwitch();
        QCOMPARE(f.frame->failedLogins(), 2);
        dlg.reject(); // Escape or the close button
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(f.frame->failedLogins(), 0);
        QCOMPARE(f.frame->statusText(), QStringLiteral("放弃用户\"切换\"操作"));

        // After the reset, three more failures are needed to end the program.
        QSignalSpy closed(f.frame.get(), &CMainFrame::closed);
        CChangeUserDlg again(*f.frame, f.frame.get());
        type(again.fields(), kAdmin, QStringLiteral("bad"));
        again.onSwitch();
        again.onSwitch();
        QCOMPARE(closed.count(), 0);
        again.onSwitch();
        QCOMPARE(again.result(), CChangeUserDlg::Ended);
        QCOMPARE(closed.count(), 1);
    }

    void switchingUserKeepsThePage() {
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("cashier"), QStringLiteral("c1"), 2);
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(0);
        QVERIFY(f.frame->isEnabled(cmd::SwitchUser));
        CPage* page = f.frame->view();

        CChangeUserDlg dlg(*f.frame, f.frame.get());
        QCOMPARE(dlg.fields().nameBox()->count(), 2); // every user offered
        type(dlg.fields(), QStringLiteral("cashier"), QStringLiteral("c1"));
        dlg.onSwitch();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(f.frame->statusText(), QStringLiteral("当前登录用户\"切换\"成功"));
        QCOMPARE(f.frame->currentPage(), 2);
        QCOMPARE(f.frame->view(), page);
        QCOMPARE(f.enabledTabs(), (QList<int>{0, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(f.frame->paneText(2), QStringLiteral("权限: 售货员"));
    }

    void switchUserOnlyOnTheSalesCounter() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(0);
        QVERIFY(f.ribbon().isCommandEnabled(cmd::SwitchUser));
        f.frame->selectTab(2);
        QVERIFY(!f.frame->isEnabled(cmd::SwitchUser));
        QVERIFY(!f.ribbon().isCommandEnabled(cmd::SwitchUser));
    }

    void quotesAreDataNotSql() {
        FrameFixture f;
        QVERIFY(f.create());
        const QString trick = QStringLiteral("' OR '1'='1");
        QCOMPARE(f.frame->login(kAdmin, trick), 0);
        QCOMPARE(f.frame->login(trick, trick), 0);
        QVERIFY(f.enabledTabs().isEmpty());
        // A quote is an ordinary character of a password.
        f.frame->resetFailedLogins();
        f.addUser(QStringLiteral("o'neil"), QStringLiteral("it's"), 1);
        QCOMPARE(f.frame->login(QStringLiteral("o'neil"), QStringLiteral("its")), 0);
        QCOMPARE(f.frame->login(QStringLiteral("o'neil"), QStringLiteral("it's")), 1);
        QCOMPARE(fromGbk(f.frame->state().currentUser.FUs_Name), QStringLiteral("o'neil"));
    }

    void namesComparedExactly() {
        FrameFixture f;
        QVERIFY(f.create());
        QCOMPARE(f.frame->login(QStringLiteral("Admin"), kAdminPassword), 0);
        QCOMPARE(f.frame->login(kAdmin + QLatin1Char(' '), kAdminPassword), 0);
        QCOMPARE(f.frame->login(kAdmin, kAdminPassword), 1);
    }

    void emptyUserTableRefusesEveryone() {
        FrameFixture f;
        QVERIFY(f.create());
        QCOMPARE(f.frame->state().core.exec_sql("DELETE FROM User;"), 0);
        QCOMPARE(f.frame->login(kAdmin, kAdminPassword), 0);
        QCOMPARE(f.frame->statusText(), wrong(2));
    }

    void keysOfTheLoginPanel() {
        FrameFixture f;
        QVERIFY(f.create());
        CLogonInputDlg* panel = panelOf(*f.frame);
        type(panel->fields(), kAdmin, kAdminPassword);
        QTest::keyClick(panel->fields().passwordEdit(), Qt::Key_Return);
        flush();
        QCOMPARE(f.frame->currentPage(), 2);
    }

    void escapeLeavesTheProgram() {
        FrameFixture f;
        QVERIFY(f.create());
        QSignalSpy closed(f.frame.get(), &CMainFrame::closed);
        QTest::keyClick(panelOf(*f.frame)->fields().nameBox(), Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
        QVERIFY(f.messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestFrameLogin)
#include "test_login.moc"

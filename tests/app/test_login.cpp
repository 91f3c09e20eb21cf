// Login, roles and the user switch, driven through the login panel and the
// switch dialog as a user would.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <cstdio>

#include "frame/changeuserdlg.h"
#include "frame/internetview.h"
#include "frame/logoninputdlg.h"
#include "frame/logonview.h"
#include "kit/text/clock.h"
#include "kit/dialog/passwordcheck.h"
#include "vorn/password.h"
#include "saleview.h"
#include "res/commandids.h"
#include "frame_fixture.h"
#include "res/tabs.h"

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
    void cleanup() { setNowForTests(0); }

    void adminLogsInFromThePanel() {
        FrameFixture f;
        QVERIFY(f.create());
        CLogonInputDlg* panel = panelOf(*f.frame);
        QVERIFY(panel);
        type(panel->fields(), kAdmin, kAdminPassword);
        panel->onLogin();
        flush();

        QCOMPARE(f.frame->currentPage(), tabs::Counter);
        QVERIFY(qobject_cast<CSaleView*>(f.frame->view()));
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Qelto进销存 - 销售前台"));
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"销售前台\"页面"));
        QCOMPARE(f.frame->paneText(1), QStringLiteral("当前登录用户: admin"));
        QCOMPARE(f.frame->paneText(2), QStringLiteral("权限: 系统超级管理员"));
        QCOMPARE(f.enabledTabs(), f.pageTabs());
        QVERIFY(f.enabledTabs().size() >= 11);
        QCOMPARE(f.ribbon().currentTab(), 0);
        QCOMPARE(fromGbk(f.frame->state().currentUser.FUs_Name), kAdmin);
        QCOMPARE(f.frame->state().currentUser.FUi_Auth, 0);
        QVERIFY(f.messages.shown.isEmpty());
        // The old page is gone.
        QVERIFY(f.frame->findChildren<CLogonView*>().isEmpty());
    }

    void rolesDecideTheTabs_data() {
        QTest::addColumn<int>("auth");
        QTest::addColumn<QStringList>("allowed");
        QTest::addColumn<QString>("role");
        const QStringList everyRole = QStringList{tabs::Counter} + tabs::Web + QStringList{tabs::About};
        const QStringList all = QStringList{tabs::Counter, tabs::SaleJournal, tabs::Goods, tabs::Shop,
                                            tabs::Members, tabs::Stats} +
                                tabs::Web + QStringList{tabs::About};
        QTest::newRow("owner") << 1 << all << QStringLiteral("店主");
        QTest::newRow("salesperson") << 2 << everyRole << QStringLiteral("售货员");
        QTest::newRow("other role") << 7 << everyRole << QStringLiteral("售货员");
    }
    void rolesDecideTheTabs() {
        QFETCH(int, auth);
        QFETCH(QStringList, allowed);
        QFETCH(QString, role);
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("小王"), QStringLiteral("xw-2024"), auth);
        QCOMPARE(f.frame->login(QStringLiteral("小王"), QStringLiteral("xw-2024")), 1);
        // Of the tabs the role may use, those a page fills.
        QStringList expected;
        for (const QString& tab : allowed)
            if (f.frame->registry().forTab(tab)) expected << tab;
        QCOMPARE(f.enabledTabs(), expected);
        QCOMPARE(f.frame->paneText(1), QStringLiteral("当前登录用户: 小王"));
        QCOMPARE(f.frame->paneText(2), QStringLiteral("权限: ") + role);
        QCOMPARE(f.frame->statusText(), QStringLiteral("用户\"小王\"登录成功"));
        // A disabled tab cannot be entered.
        if (!allowed.contains(tabs::Goods)) {
            f.frame->selectTab(tabs::Counter);
            f.ribbon().clickTab(tabs::Goods);
            QCOMPARE(f.frame->currentPage(), tabs::Counter);
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
        QCOMPARE(f.frame->currentPage(), tabs::Login);

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

    // Closing the switch dialog forgives nothing: two failures, "取消", a new
    // dialog, and the third failure in a row ends the program.
    void failuresSurviveCancelAndReopening() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        CChangeUserDlg dlg(*f.frame, f.frame.get());
        type(dlg.fields(), kAdmin, QStringLiteral("bad"));
        dlg.onSwitch();
        dlg.onSwitch();
        QCOMPARE(f.frame->failedLogins(), 2);
        dlg.reject(); // "取消", Escape or the close button
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(f.frame->statusText(), QStringLiteral("放弃用户\"切换\"操作"));
        QCOMPARE(f.frame->failedLogins(), 2);
        QCOMPARE(passwordGuard(f.frame->state()).failures(kAdmin), 2);

        QSignalSpy closed(f.frame.get(), &CMainFrame::closed);
        CChangeUserDlg again(*f.frame, f.frame.get());
        type(again.fields(), kAdmin, QStringLiteral("bad"));
        f.messages.shown.clear();
        again.onSwitch();
        QCOMPARE(f.messages.shown,
                 (QStringList{wrong(0) + QStringLiteral("。"), kUsedUp + QStringLiteral("。")}));
        QCOMPARE(again.result(), CChangeUserDlg::Ended);
        QCOMPARE(closed.count(), 1);
    }

    // A success in between keeps the program running, but the name's own count
    // goes on: its third failure makes it wait 30 seconds, on the clock a test
    // sets, and during the wait even the right password is not checked.
    void aGuessedNameWaitsThirtySeconds() {
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("cashier"), QStringLiteral("c1"), 2);
        QVERIFY(f.loginAsAdmin());
        const int64_t t0 = 1700000000;
        setNowForTests(t0);
        CChangeUserDlg first(*f.frame, f.frame.get());
        type(first.fields(), kAdmin, QStringLiteral("guess1"));
        first.onSwitch();
        type(first.fields(), kAdmin, QStringLiteral("guess2"));
        first.onSwitch();
        type(first.fields(), QStringLiteral("cashier"), QStringLiteral("c1"));
        first.onSwitch();
        QCOMPARE(first.result(), int(QDialog::Accepted));
        QCOMPARE(f.frame->failedLogins(), 0);

        setNowForTests(t0 + 4);
        CChangeUserDlg second(*f.frame, f.frame.get());
        type(second.fields(), kAdmin, QStringLiteral("guess3"));
        second.onSwitch();
        QCOMPARE(f.frame->failedLogins(), 1);
        const QString wait = QStringLiteral("用户\"admin\"密码错误次数过多，请%1秒后再试");
        struct Try {
            int64_t at;
            QString shown; // empty: let in
        };
        const Try tries[] = {{t0 + 4, wait.arg(30)}, {t0 + 20, wait.arg(14)}, {t0 + 33, wait.arg(1)},
                             {t0 + 34, QString()}};
        for (const Try& t : tries) {
            setNowForTests(t.at);
            f.messages.shown.clear();
            type(second.fields(), kAdmin, kAdminPassword);
            second.onSwitch();
            if (t.shown.isEmpty()) break;
            QCOMPARE(f.messages.shown, QStringList{t.shown + QStringLiteral("。")});
            QCOMPARE(f.frame->statusText(), t.shown);
            QCOMPARE(second.result(), 0);
            QCOMPARE(f.frame->failedLogins(), 1); // a refused try is no attempt
            QCOMPARE(fromGbk(f.frame->state().currentUser.FUs_Name), QStringLiteral("cashier"));
        }
        QCOMPARE(second.result(), int(QDialog::Accepted));
        QCOMPARE(fromGbk(f.frame->state().currentUser.FUs_Name), kAdmin);
        setNowForTests(0);

        // The refusals are in the store with their time and place.
        std::vector<vorn::LoginFailRec> log;
        QCOMPARE(f.frame->state().core.select_login_fail(log, 10), 3);
        QCOMPARE(log[0].FLFt_Time, t0 + 4);
        QCOMPARE(log[2].FLFt_Time, t0);
        for (const auto& r : log) {
            QCOMPARE(fromGbk(r.FLFs_Name), kAdmin);
            QCOMPARE(fromGbk(r.FLFs_Place), QStringLiteral("用户切换"));
        }
    }

    // A store made before hashing kept every password as typed: each login
    // with one rewrites it as a hash, and the login goes on working.
    void oldPlainTextStoreIsUpgradedByLoggingIn() {
        FrameFixture f;
        {
            vorn::Core old;
            QCOMPARE(old.open(), 0);
            const std::string plain = "UPDATE User SET FUs_Pas='" + gbk(kAdminPassword) + "' WHERE FUi_Id=1;";
            QCOMPARE(old.exec_sql(plain.c_str()), 0);
            QCOMPARE(old.exec_sql("INSERT INTO User VALUES(NULL,'clerk','c''1',2);"), 0);
            old.close();
        }
        QVERIFY(f.create());
        vorn::Core& core = f.frame->state().core;
        auto stored = [&](const char* name) {
            vorn::URec u;
            const std::string cond = std::string("FUs_Name='") + name + "'";
            return core.select_urec(&u, cond.c_str()) == 1 ? u.FUs_Pas : std::string();
        };
        QCOMPARE(stored("admin"), gbk(kAdminPassword));
        CLogonInputDlg* panel = panelOf(*f.frame);
        type(panel->fields(), kAdmin, kAdminPassword);
        panel->onLogin();
        flush();
        QCOMPARE(f.frame->currentPage(), tabs::Counter);
        QVERIFY(vorn::is_password_hash(stored("admin")));
        QVERIFY(vorn::verify_password(gbk(kAdminPassword), stored("admin")));
        QCOMPARE(f.frame->state().currentUser.FUs_Pas, stored("admin"));
        QCOMPARE(stored("clerk"), std::string("c'1")); // not logged in yet

        QCOMPARE(f.frame->login(QStringLiteral("clerk"), QStringLiteral("c'1")), 1);
        QVERIFY(vorn::verify_password("c'1", stored("clerk")));
        QCOMPARE(f.frame->login(QStringLiteral("clerk"), QStringLiteral("c'1")), 1);
        QCOMPARE(f.frame->login(kAdmin, kAdminPassword), 1);
    }

    // Every statement the login page runs, traced by the store: the name is
    // looked up, the password never appears, right or wrong.
    void theLoginStatementNeverCarriesThePassword() {
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("owner"), QStringLiteral("Owner-Secret"), 1);
        vorn::Core& core = f.frame->state().core;
        const QString trace = f.path(QStringLiteral("trace.log"));
        QCOMPARE(core.exec_sql(("PRAGMA cipher_profile='" + trace.toStdString() + "';").c_str()), 0);
        CLogonInputDlg* panel = panelOf(*f.frame);
        type(panel->fields(), QStringLiteral("owner"), QStringLiteral("Wrong-Secret"));
        panel->onLogin();
        type(panel->fields(), QStringLiteral("owner"), QStringLiteral("Owner-Secret"));
        panel->onLogin();
        flush();
        QCOMPARE(f.frame->currentPage(), tabs::Counter);
        QCOMPARE(core.exec_sql("PRAGMA cipher_profile=off;"), 0);
        std::fflush(nullptr); // the codec leaves its trace file open and buffered
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        QVERIFY2(log.contains("FROM User WHERE FUs_Name='owner'"), log.constData());
        QVERIFY(!log.contains("Secret"));
    }

    void switchingUserKeepsThePage() {
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("cashier"), QStringLiteral("c1"), 2);
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        QVERIFY(f.frame->isEnabled(cmd::SwitchUser));
        CPage* page = f.frame->view();

        CChangeUserDlg dlg(*f.frame, f.frame.get());
        QCOMPARE(dlg.fields().nameBox()->count(), 2); // every user offered
        type(dlg.fields(), QStringLiteral("cashier"), QStringLiteral("c1"));
        dlg.onSwitch();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(f.frame->statusText(), QStringLiteral("当前登录用户\"切换\"成功"));
        QCOMPARE(f.frame->currentPage(), tabs::Counter);
        QCOMPARE(f.frame->view(), page);
        QCOMPARE(f.enabledTabs(), QStringList{tabs::Counter} + tabs::Web + QStringList{tabs::About});
        QCOMPARE(f.frame->paneText(2), QStringLiteral("权限: 售货员"));
    }

    void switchUserOnlyOnTheSalesCounter() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        QVERIFY(f.ribbon().isCommandEnabled(cmd::SwitchUser));
        f.frame->selectTab(tabs::Shop);
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
        QVERIFY(f.loginAsAdmin()); // the third try, and the count starts again
        // A quote is an ordinary character of a password.
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
        QCOMPARE(f.frame->currentPage(), tabs::Counter);
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

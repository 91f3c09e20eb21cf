// The user accounts dialog: pending additions and removals, the protected
// entries, new passwords (hidden, hashed, never shown back), the one
// transaction of "保存", the four outcomes the shop page reports and the list
// of refused password checks.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "kit/text/gbk.h"
#include "shopview.h"
#include "storefixture.h"
#include "userchanges.h"
#include "userinputdlg.h"
#include "vorn/password.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

const char kAdminPassword[] = "Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3=";

QStringList names(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void select(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) qFatal("no entry %s", qPrintable(text));
    list->setCurrentItem(found.first());
}

void fill(CUserInputDlg& dlg, const QString& name, const QString& password, int authIndex) {
    dlg.nameEdit()->setText(name);
    dlg.passwordEdit()->setText(password);
    dlg.authCombo()->setCurrentIndex(authIndex);
}

vorn::URec user(const char* name, const char* password, int auth) {
    vorn::URec u;
    u.FUs_Name = name;
    u.FUs_Pas = password;
    u.FUi_Auth = auth;
    return u;
}

int countWhere(vorn::Core& core, const std::string& cond) {
    return core.get_urec_count(cond.c_str());
}

// FUs_Pas of the one account of that name (GBK), or a text saying why not.
std::string storedPassword(vorn::Core& core, const QString& name) {
    std::vector<vorn::URec> rows(3);
    const std::string cond = "FUs_Name='" + vorn::sql_escape(gbk(name)) + "'";
    const int n = core.select_urec(rows.data(), cond.c_str());
    return n == 1 ? rows[0].FUs_Pas : "<" + std::to_string(n) + " accounts>";
}

// The account's password is stored as a hash of `password`.
bool hashedAs(vorn::Core& core, const QString& name, const QString& password) {
    const std::string stored = storedPassword(core, name);
    return vorn::is_password_hash(stored) && vorn::verify_password(gbk(password), stored);
}

std::string fakeHash(const std::string& pw) {
    return "H(" + pw + ")";
}

// The dialog as drawn, for a person to look at, when VORN_SCREENSHOT_DIR names a folder.
void shoot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    w.show();
    QCoreApplication::processEvents();
    const QString file = QDir(dir).filePath(name);
    QVERIFY2(w.grab().save(file), qPrintable(file));
}

} // namespace

class TestUserInputDlg : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fx.setUp();
        std::vector<vorn::URec> users = {user("owner", "o1", 1), user("clerk", "c1", 2),
                                         user("root2", "r1", 0)};
        QCOMPARE(fx.core().insert_urec(users.data(), 3), 3);
        // Logged in as the owner (id 2).
        fx.shell->st.currentUser = user("owner", "o1", 1);
        fx.shell->st.currentUser.FUi_Id = 2;
    }
    void cleanup() { fx.tearDown(); }

    void changesWriteInTheirOrder() {
        UserChanges c;
        QCOMPARE(c.add(user("a", "p'q", 1)), -1);
        QCOMPARE(c.add(user("b", "", 2)), -2);
        QVERIFY(c.isAdded("a"));
        QVERIFY(!c.isAdded("A"));
        c.remove(7);
        vorn::URec stored = user("x", "old", 2);
        stored.FUi_Id = 3;
        QVERIFY(c.setPassword(3, "new", &stored));
        QVERIFY(c.setPassword(3, "newer", &stored)); // one change per user, the last word
        QVERIFY(c.setPassword(-2, "bb", nullptr));
        QVERIFY(!c.setPassword(-9, "zz", nullptr));
        QCOMPARE(c.count(), 4);
        // A hash that cannot be made seals nothing.
        UserChanges failing = c;
        QVERIFY(
            !failing.sealPasswords([](const std::string& pw) { return pw == "newer" ? "" : fakeHash(pw); }));
        QCOMPARE(failing.statements(), c.statements());
        UserChanges sealed = c;
        QVERIFY(sealed.sealPasswords(fakeHash));
        QCOMPARE(sealed.statements(),
                 std::string("INSERT INTO User VALUES(NULL,'a','H(p''q)',1);"
                             "INSERT INTO User VALUES(NULL,'b','H(bb)',2);"
                             "DELETE FROM User WHERE FUi_Id=7;"
                             "UPDATE User SET FUs_Name='x',FUs_Pas='H(newer)',FUi_Auth=2 WHERE FUi_Id=3;"));
        QCOMPARE(*sealed.newPassword(3), std::string("H(newer)"));
        // Removing a user drops its new password; a removed user takes none.
        c.remove(3);
        QVERIFY(!c.newPassword(3));
        QVERIFY(!c.setPassword(3, "again", &stored));
        QCOMPARE(c.count(), 4); // two additions, two removals
        vorn::URec back;
        QVERIFY(c.takeBack(-1, back));
        QCOMPARE(back.FUs_Name, std::string("a"));
        QVERIFY(!c.takeBack(-1, back));
        QCOMPARE(c.add(user("c", "", 2)), -3); // temporary ids are never reused
    }

    void opensWithTheStoredUsers() {
        fx.shell->st.users.clear();
        CUserInputDlg dlg(*fx.shell);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("用户管理"));
        QCOMPARE(names(dlg.list()), QStringList({"admin", "owner", "clerk", "root2"}));
        QCOMPARE(dlg.list()->item(2)->data(Qt::UserRole).toInt(), 3);
        QCOMPARE(fx.shell->st.users.size(), size_t(4)); // the cache the login reads
        QCOMPARE(dlg.authCombo()->currentText(), QStringLiteral("售货员"));
        QCOMPARE(dlg.authCombo()->count(), 2);
        QVERIFY(!dlg.passwordButton()->isEnabled());
        // 28 bytes at most in each edit.
        QTest::keyClicks(dlg.nameEdit(), QString(30, QLatin1Char('n')));
        QCOMPARE(dlg.nameEdit()->text().size(), 28);
        for (int i = 0; i < 15; ++i)
            dlg.passwordEdit()->insert(QStringLiteral("密")); // two bytes each
        QCOMPARE(dlg.passwordEdit()->text().size(), 14);
    }

    void twoAdditionsAndOneRemovalGiveThree() {
        CShopView page(*fx.shell);
        int secondId = 0;
        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CUserInputDlg&>(d);
            fill(dlg, QStringLiteral("小王"), QStringLiteral("w1"), 1);
            dlg.addUser();
            fill(dlg, QStringLiteral("O'Neil"), QStringLiteral("q'q"), 1);
            dlg.addUser();
            secondId = dlg.list()->item(5)->data(Qt::UserRole).toInt();
            select(dlg.list(), QStringLiteral("clerk"));
            dlg.removeSelected();
            dlg.save();
            return dlg.result();
        });
        page.editUsers();
        QCOMPARE(secondId, -2);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功修改3个\"用户\""));
        QVERIFY(fx.shell->failures.isEmpty());
        vorn::Core& core = fx.core();
        QCOMPARE(core.get_urec_count(nullptr), 5);
        QCOMPARE(countWhere(core, "FUs_Name='" + gbk(QStringLiteral("小王")) + "' AND FUi_Auth=2"), 1);
        QVERIFY(hashedAs(core, QStringLiteral("小王"), QStringLiteral("w1")));
        QVERIFY(hashedAs(core, QStringLiteral("O'Neil"), QStringLiteral("q'q")));
        QCOMPARE(countWhere(core, "FUs_Name='clerk'"), 0);
        QCOMPARE(fx.shell->st.users.size(), size_t(5));
    }

    void protectedEntriesStay() {
        CUserInputDlg dlg(*fx.shell);
        dlg.list()->setCurrentRow(0);
        dlg.removeSelected();
        QCOMPARE(fx.shell->failures.value(0), QStringLiteral("不能删除权限为\"系统超级管理员\"的用户"));
        select(dlg.list(), QStringLiteral("owner"));
        dlg.removeSelected();
        QCOMPARE(fx.shell->failures.value(1), QStringLiteral("\"owner\"为当前登录用户，不能删除该用户"));
        QCOMPARE(dlg.list()->count(), 4);
        QCOMPARE(dlg.changes().count(), 0);
        // Without a selection "->" does nothing.
        dlg.list()->setCurrentRow(-1);
        dlg.list()->clearSelection();
        dlg.removeSelected();
        QCOMPARE(fx.shell->failures.size(), 2);
    }

    void removedNameCannotComeBackBeforeSaving() {
        CUserInputDlg dlg(*fx.shell);
        select(dlg.list(), QStringLiteral("clerk"));
        dlg.removeSelected();
        // The form holds the removed user now, but not its stored password;
        // adding it again meets the stored row.
        QCOMPARE(dlg.nameEdit()->text(), QStringLiteral("clerk"));
        QCOMPARE(dlg.passwordEdit()->text(), QString());
        dlg.passwordEdit()->setText(QStringLiteral("c9"));
        dlg.addUser();
        QCOMPARE(fx.shell->failures.value(0), QStringLiteral("用户\"clerk\"已存在，请重新输入其它"));
        QCOMPARE(names(dlg.list()), QStringList({"admin", "owner", "root2"}));
        // The same new name twice is refused as well.
        fill(dlg, QStringLiteral("new"), QStringLiteral("n1"), 1);
        dlg.addUser();
        dlg.addUser();
        QCOMPARE(fx.shell->failures.value(1), QStringLiteral("用户\"new\"已存在，请重新输入其它"));
        QCOMPARE(dlg.changes().additions().size(), size_t(1));
    }

    void pendingAdditionTakenBack() {
        CUserInputDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("temp"), QStringLiteral("t9"), 0);
        dlg.addUser();
        fill(dlg, QString(), QString(), 1);
        select(dlg.list(), QStringLiteral("temp"));
        dlg.removeSelected();
        QCOMPARE(dlg.nameEdit()->text(), QStringLiteral("temp"));
        QCOMPARE(dlg.passwordEdit()->text(), QStringLiteral("t9"));
        QCOMPARE(dlg.authCombo()->currentText(), QStringLiteral("店主"));
        QCOMPARE(dlg.changes().count(), 0);
        dlg.save();
        QCOMPARE(dlg.changeResult(), 0);
        QCOMPARE(fx.core().get_urec_count(nullptr), 4);
    }

    void administratorRoleShowsAsClerkWhenRemoved() {
        CUserInputDlg dlg(*fx.shell);
        dlg.authCombo()->setCurrentIndex(0);
        select(dlg.list(), QStringLiteral("root2"));
        dlg.removeSelected();
        QCOMPARE(dlg.authCombo()->currentText(), QStringLiteral("售货员"));
    }

    void passwordsChangeInTheSameTransaction() {
        fx.shell->st.currentUser = user("admin", kAdminPassword, 0);
        fx.shell->st.currentUser.FUi_Id = 1;
        CUserInputDlg dlg(*fx.shell);
        select(dlg.list(), QStringLiteral("admin"));
        QVERIFY(dlg.passwordButton()->isEnabled());
        dlg.passwordEdit()->setText(QStringLiteral("N3w'pass"));
        dlg.changePassword();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("用户\"admin\"的新密码将在\"保存\"后生效"));
        // A new user's password can be changed before it is saved, too.
        fill(dlg, QStringLiteral("late"), QStringLiteral("first"), 0);
        dlg.addUser();
        select(dlg.list(), QStringLiteral("late"));
        dlg.passwordEdit()->setText(QStringLiteral("second"));
        dlg.changePassword();
        select(dlg.list(), QStringLiteral("clerk"));
        dlg.passwordEdit()->setText(QStringLiteral("c2"));
        dlg.changePassword();
        QCOMPARE(fx.core().get_urec_count("FUs_Name='admin' AND FUs_Pas='N3w''pass'"),
                 0); // not before saving
        dlg.save();
        QCOMPARE(dlg.changeResult(), 3);
        vorn::Core& core = fx.core();
        QCOMPARE(core.get_urec_count("FUs_Name='admin' AND FUi_Auth=0"), 1);
        QCOMPARE(core.get_urec_count("FUs_Name='late' AND FUi_Auth=1"), 1);
        QCOMPARE(core.get_urec_count("FUs_Name='clerk' AND FUi_Auth=2"), 1);
        QVERIFY(hashedAs(core, QStringLiteral("admin"), QStringLiteral("N3w'pass")));
        QVERIFY(hashedAs(core, QStringLiteral("late"), QStringLiteral("second")));
        QVERIFY(hashedAs(core, QStringLiteral("clerk"), QStringLiteral("c2")));
        QCOMPARE(storedPassword(core, QStringLiteral("owner")), std::string("o1")); // untouched
        QCOMPARE(countWhere(core, "FUs_Pas='N3w''pass' OR FUs_Pas='second' OR FUs_Pas='c2'"), 0);
        // The administrator, logged in, goes on with the record as stored.
        QCOMPARE(fx.shell->st.currentUser.FUs_Pas, storedPassword(core, QStringLiteral("admin")));
    }

    void failedWriteChangesNothing() {
        // Every insert fails: the removal saved with it must not stay either.
        QCOMPARE(fx.core().exec_sql(
                     "CREATE TRIGGER refuse BEFORE INSERT ON User BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        CShopView page(*fx.shell);
        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CUserInputDlg&>(d);
            select(dlg.list(), QStringLiteral("clerk"));
            dlg.removeSelected();
            fill(dlg, QStringLiteral("nobody"), QStringLiteral("n1"), 1);
            dlg.addUser();
            dlg.save();
            return dlg.result();
        });
        page.editUsers();
        const QString text = QStringLiteral("未知异常导致\"用户\"修改失败，放弃该次\"修改\"操作");
        QCOMPARE(fx.shell->statusText(), text);
        QCOMPARE(fx.shell->failures, QStringList({text}));
        QCOMPARE(fx.core().get_urec_count("FUs_Name='clerk'"), 1);
        QCOMPARE(fx.core().get_urec_count(nullptr), 4);
    }

    void enterSavesAndEscapeCancels() {
        CShopView page(*fx.shell);
        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CUserInputDlg&>(d);
            fill(dlg, QStringLiteral("keyed"), QStringLiteral("k"), 1);
            dlg.addUser();
            QTest::keyClick(dlg.nameEdit(), Qt::Key_Return);
            return dlg.result();
        });
        page.editUsers();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功修改1个\"用户\""));
        QCOMPARE(fx.core().get_urec_count("FUs_Name='keyed'"), 1);

        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CUserInputDlg&>(d);
            fill(dlg, QStringLiteral("dropped"), QStringLiteral("d1"), 1);
            dlg.addUser();
            QTest::keyClick(&dlg, Qt::Key_Escape);
            return dlg.result();
        });
        page.editUsers();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"用户\"修改操作"));
        QCOMPARE(fx.core().get_urec_count("FUs_Name='dropped'"), 0);

        page.setDialogRunner([&](QDialog& d) {
            static_cast<CUserInputDlg&>(d).save();
            return d.result();
        });
        page.editUsers();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未修改任何\"用户\""));
        QVERIFY(fx.shell->failures.isEmpty());
    }

    // "<-" and "修改密码" refuse what would let anybody in unseen.
    void emptyNameOrPasswordIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        const QString noName = QStringLiteral("用户名不能为空，请重新输入");
        const QString noPassword = QStringLiteral("密码不能为空，请重新输入");
        QTest::newRow("no name") << QString() << QStringLiteral("p1") << noName;
        QTest::newRow("blank name") << QStringLiteral("   ") << QStringLiteral("p1") << noName;
        QTest::newRow("nothing") << QString() << QString() << noName;
        QTest::newRow("no password") << QStringLiteral("newbie") << QString() << noPassword;
    }
    void emptyNameOrPasswordIsRefused() {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, message);
        CUserInputDlg dlg(*fx.shell);
        fill(dlg, name, password, 1);
        dlg.addUser();
        QCOMPARE(fx.shell->failures, QStringList{message});
        QCOMPARE(dlg.list()->count(), 4);
        QCOMPARE(dlg.changes().count(), 0);

        // A new password must not be empty either.
        select(dlg.list(), QStringLiteral("clerk"));
        dlg.passwordEdit()->clear();
        dlg.changePassword();
        QCOMPARE(fx.shell->failures.value(1), QStringLiteral("密码不能为空，请重新输入"));
        QCOMPARE(dlg.changes().count(), 0);
        dlg.save();
        QCOMPARE(dlg.changeResult(), 0);
        QCOMPARE(fx.core().get_urec_count(nullptr), 4);
    }

    // The owner is logged in: administrators' passwords are not theirs to set;
    // everybody else's are.
    void onlyAnAdministratorChangesAnAdministratorsPassword() {
        CUserInputDlg dlg(*fx.shell);
        const std::string adminBefore = storedPassword(fx.core(), QStringLiteral("admin"));
        for (const QString& name : {QStringLiteral("admin"), QStringLiteral("root2")}) {
            fx.shell->failures.clear();
            select(dlg.list(), name);
            dlg.passwordEdit()->setText(QStringLiteral("taken"));
            dlg.changePassword();
            QCOMPARE(fx.shell->failures,
                     QStringList{QStringLiteral("只有\"系统超级管理员\"能修改\"%1\"的密码").arg(name)});
        }
        QCOMPARE(dlg.changes().count(), 0);
        select(dlg.list(), QStringLiteral("clerk"));
        dlg.changePassword();
        select(dlg.list(), QStringLiteral("owner"));
        dlg.changePassword();
        QCOMPARE(dlg.changes().count(), 2);
        dlg.save();
        QCOMPARE(dlg.changeResult(), 2);
        QCOMPARE(storedPassword(fx.core(), QStringLiteral("admin")), adminBefore);
        QVERIFY(hashedAs(fx.core(), QStringLiteral("clerk"), QStringLiteral("taken")));
        QVERIFY(hashedAs(fx.core(), QStringLiteral("owner"), QStringLiteral("taken")));
    }

    // Typed hidden, shown on request; what the store holds never comes back
    // into the field, plain or hashed; what is saved is a hash.
    void passwordsAreHiddenAndNeverShownBack() {
        CUserInputDlg dlg(*fx.shell);
        QCOMPARE(dlg.passwordEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(dlg.showPasswordBox()->text(), QStringLiteral("显示"));
        dlg.showPasswordBox()->setChecked(true);
        QCOMPARE(dlg.passwordEdit()->echoMode(), QLineEdit::Normal);
        dlg.showPasswordBox()->setChecked(false);
        QCOMPARE(dlg.passwordEdit()->echoMode(), QLineEdit::Password);

        fill(dlg, QStringLiteral("hidden"), QStringLiteral("h-1"), 1);
        dlg.addUser();
        dlg.save();
        QVERIFY(hashedAs(fx.core(), QStringLiteral("hidden"), QStringLiteral("h-1")));

        CUserInputDlg again(*fx.shell);
        again.passwordEdit()->setText(QStringLiteral("typed"));
        select(again.list(), QStringLiteral("hidden"));
        again.removeSelected();
        QCOMPARE(again.nameEdit()->text(), QStringLiteral("hidden"));
        QCOMPARE(again.passwordEdit()->text(), QString());
        again.passwordEdit()->setText(QStringLiteral("typed"));
        select(again.list(), QStringLiteral("clerk")); // an old store's plain text
        again.removeSelected();
        QCOMPARE(again.passwordEdit()->text(), QString());
    }

    void recentRefusalsAreListed() {
        {
            CUserInputDlg none(*fx.shell);
            QCOMPARE(none.failureList()->topLevelItemCount(), 1);
            QCOMPARE(none.failureList()->topLevelItem(0)->text(0), QStringLiteral("没有登录失败的记录"));
        }
        const int64_t t0 = vorn::local_time_of(2024, 5, 6, 7, 8, 9);
        const int total = CUserInputDlg::kFailuresShown + 2;
        for (int i = 0; i < total; ++i) {
            vorn::LoginFailRec r;
            r.FLFs_Name = gbk(i % 2 ? QStringLiteral("店长") : QStringLiteral("admin"));
            r.FLFt_Time = t0 + i * 60;
            r.FLFs_Place = gbk(i % 2 ? QStringLiteral("用户切换") : QStringLiteral("用户登录"));
            QCOMPARE(fx.core().insert_login_fail(r), 1);
        }
        CUserInputDlg dlg(*fx.shell);
        QTreeWidget* list = dlg.failureList();
        QCOMPARE(list->topLevelItemCount(), CUserInputDlg::kFailuresShown);
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const int i = total - 1 - row; // newest first
            QTreeWidgetItem* item = list->topLevelItem(row);
            QCOMPARE(item->text(0), QString::fromStdString(vorn::format_time(t0 + i * 60)));
            QCOMPARE(item->text(1), i % 2 ? QStringLiteral("店长") : QStringLiteral("admin"));
            QCOMPARE(item->text(2), i % 2 ? QStringLiteral("用户切换") : QStringLiteral("用户登录"));
        }
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("2024-05-06 07:17:09"));
        fill(dlg, QStringLiteral("小李"), QStringLiteral("l1-secret"), 1);
        dlg.addUser();
        shoot(dlg, QStringLiteral("users-hidden.png"));
        dlg.showPasswordBox()->setChecked(true);
        shoot(dlg, QStringLiteral("users-shown.png"));
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestUserInputDlg)
#include "test_userinputdlg.moc"

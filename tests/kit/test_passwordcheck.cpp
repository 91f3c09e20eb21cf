// The shared password check: accounts found by name only, hashes checked in
// code, old plain texts upgraded, failures counted per name on the settable
// clock, refusals kept in the store.
#include <QFile>
#include <QtTest>
#include <cstdio>

#include "kit/page/appstate.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/dialog/passwordcheck.h"
#include "storefixture.h"
#include "vorn/password.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

const int64_t kT0 = 1700000000;

vorn::URec account(const QString& name, const std::string& stored, int auth) {
    vorn::URec u;
    u.FUs_Name = gbk(name);
    u.FUs_Pas = stored;
    u.FUi_Auth = auth;
    return u;
}

std::string storedPassword(vorn::Core& core, const QString& name) {
    std::vector<vorn::URec> rows(4);
    const std::string cond = accountCondition(gbk(name));
    const int n = core.select_urec(rows.data(), cond.c_str());
    return n == 1 ? rows[0].FUs_Pas : std::string("<" + std::to_string(n) + " rows>");
}

std::vector<vorn::LoginFailRec> refusals(vorn::Core& core) {
    std::vector<vorn::LoginFailRec> out;
    core.select_login_fail(out, 100);
    return out;
}

} // namespace

class TestPasswordCheck : public QObject {
    Q_OBJECT

private slots:
    void init() {
        setNowForTests(kT0);
        fx.setUp();
    }
    void cleanup() {
        fx.tearDown();
        setNowForTests(0);
        vorn::set_password_iterations(vorn::kPasswordIterations);
    }

    // Three failures are free; each one from the third on costs the name 30
    // seconds, counted from that failure; a success starts the count again.
    void guardWaitsFromTheThirdFailure() {
        PasswordGuard g;
        const QString a = QStringLiteral("admin");
        struct Step {
            int64_t at;   // seconds after kT0
            bool fail;    // a failure is noted (else only asked)
            int failures; // count afterwards
            int wait;     // secondsToWait afterwards
        };
        const Step steps[] = {
            {0, true, 1, 0},   {5, true, 2, 0},   {6, true, 3, 30},  {20, false, 3, 16}, {35, false, 3, 1},
            {36, false, 3, 0}, {40, true, 4, 30}, {69, false, 4, 1}, {70, false, 4, 0},  {100, true, 5, 30},
        };
        for (const Step& s : steps) {
            setNowForTests(kT0 + s.at);
            if (s.fail) g.noteFailure(a);
            QCOMPARE(g.failures(a), s.failures);
            QCOMPARE(g.secondsToWait(a), s.wait);
        }
        // Names are counted apart and exactly.
        QCOMPARE(g.secondsToWait(QStringLiteral("Admin")), 0);
        QCOMPARE(g.failures(QStringLiteral("admin ")), 0);
        // A clock set back never lengthens the wait.
        setNowForTests(kT0 - 3600);
        QCOMPARE(g.secondsToWait(a), PasswordGuard::kWaitSeconds);
        g.noteSuccess(a);
        QCOMPARE(g.failures(a), 0);
        QCOMPARE(g.secondsToWait(a), 0);
    }

    void guardLivesAsLongAsTheState() {
        PasswordGuard& g = passwordGuard(fx.shell->st);
        g.noteFailure(QStringLiteral("x"));
        QCOMPARE(&passwordGuard(fx.shell->st), &g);
        QCOMPARE(passwordGuard(fx.shell->st).failures(QStringLiteral("x")), 1);
        AppState other;
        QCOMPARE(passwordGuard(other).failures(QStringLiteral("x")), 0);
    }

    // A store made before hashing: the password as typed works once more and
    // is a hash from then on; a wrong one changes nothing.
    void plainTextIsUpgradedAtTheFirstRightPassword() {
        vorn::Core& core = fx.core();
        const QString name = QStringLiteral("小王");
        const std::string plain = gbk(QStringLiteral("旧'密码"));
        vorn::URec old = account(name, plain, 2);
        QCOMPARE(core.insert_urec(&old, 1), 1);

        PasswordCheck wrong =
            checkPassword(fx.shell->st, name, QStringLiteral("旧密码"), QStringLiteral("用户登录"));
        QCOMPARE(int(wrong.verdict), int(PasswordVerdict::Refused));
        QCOMPARE(storedPassword(core, name), plain);

        PasswordCheck right =
            checkPassword(fx.shell->st, name, QStringLiteral("旧'密码"), QStringLiteral("用户登录"));
        QCOMPARE(int(right.verdict), int(PasswordVerdict::Accepted));
        const std::string now = storedPassword(core, name);
        QVERIFY(vorn::is_password_hash(now));
        QVERIFY(vorn::verify_password(plain, now));
        QCOMPARE(right.user.FUs_Pas, now);
        QCOMPARE(right.user.FUi_Auth, 2);
        QCOMPARE(fromGbk(right.user.FUs_Name), name);
        QCOMPARE(passwordGuard(fx.shell->st).failures(name), 0); // forgiven by the success

        // The hash answers the same from now on and is not written again.
        QCOMPARE(int(checkPassword(fx.shell->st, name, QStringLiteral("旧'密码"), QString()).verdict),
                 int(PasswordVerdict::Accepted));
        QCOMPARE(storedPassword(core, name), now);
        QCOMPARE(int(checkPassword(fx.shell->st, name, QStringLiteral("旧'密"), QString()).verdict),
                 int(PasswordVerdict::Refused));
    }

    // The first account of the name whose password matches is the one.
    void accountsOfOneNameAreTriedInOrder() {
        std::vector<vorn::URec> two = {account(QStringLiteral("twin"), vorn::hash_password("one"), 1),
                                       account(QStringLiteral("twin"), "two", 2)};
        QCOMPARE(fx.core().insert_urec(two.data(), 2), 2);
        QCOMPARE(checkPassword(fx.shell->st, QStringLiteral("twin"), QStringLiteral("two"), QString())
                     .user.FUi_Auth,
                 2);
        QCOMPARE(checkPassword(fx.shell->st, QStringLiteral("twin"), QStringLiteral("one"), QString())
                     .user.FUi_Auth,
                 1);
        QCOMPARE(int(checkPassword(fx.shell->st, QStringLiteral("Twin"), QStringLiteral("one"), QString())
                         .verdict),
                 int(PasswordVerdict::Refused));
    }

    // What the store is asked, traced statement by statement: the name, never
    // the password, whether it is right, wrong or an old plain text.
    void noStatementCarriesThePassword() {
        vorn::Core& core = fx.core();
        vorn::URec old = account(QStringLiteral("o'neil"), "Plain-Secret-1", 1);
        QCOMPARE(core.insert_urec(&old, 1), 1);
        const QString trace = fx.path(QStringLiteral("statements.log"));
        QCOMPARE(core.exec_sql(("PRAGMA cipher_profile='" + trace.toStdString() + "';").c_str()), 0);
        const QString tries[] = {QStringLiteral("Wrong-Secret-2"), QStringLiteral("Plain-Secret-1"),
                                 QStringLiteral("Wrong-Secret-3")};
        for (const QString& pw : tries)
            checkPassword(fx.shell->st, QStringLiteral("o'neil"), pw, QStringLiteral("用户切换"));
        checkPassword(fx.shell->st, QStringLiteral("nobody"), QStringLiteral("Wrong-Secret-4"), QString());
        QCOMPARE(core.exec_sql("PRAGMA cipher_profile=off;"), 0);
        std::fflush(nullptr); // the codec leaves its trace file open and buffered

        QFile f(trace);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray log = f.readAll();
        QVERIFY2(log.contains("FUs_Name='o''neil'"), log.constData()); // the trace sees the lookups
        QVERIFY(log.contains("FUs_Name='nobody'"));
        QVERIFY(log.contains("UPDATE User SET")); // and the upgrade to a hash
        QVERIFY(log.contains("INSERT INTO LoginFail"));
        QVERIFY(!log.contains("Secret"));
    }

    // In its wait a name is not checked at all, not even with the right
    // password, and nothing is logged; after 30 seconds it is.
    void aWaitingNameIsNotChecked() {
        vorn::Core& core = fx.core();
        vorn::URec old = account(QStringLiteral("clerk"), "c1", 2);
        QCOMPARE(core.insert_urec(&old, 1), 1);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(
                int(checkPassword(fx.shell->st, QStringLiteral("clerk"), QStringLiteral("guess"), QString())
                        .verdict),
                int(PasswordVerdict::Refused));
        setNowForTests(kT0 + 12);
        PasswordCheck held =
            checkPassword(fx.shell->st, QStringLiteral("clerk"), QStringLiteral("c1"), QString());
        QCOMPARE(int(held.verdict), int(PasswordVerdict::Waiting));
        QCOMPARE(held.waitSeconds, 18);
        QCOMPARE(storedPassword(core, QStringLiteral("clerk")), std::string("c1")); // not even looked at
        QCOMPARE(refusals(core).size(), size_t(3));
        // Another name is not held up.
        QCOMPARE(
            int(checkPassword(fx.shell->st, QStringLiteral("admin"), QStringLiteral("x"), QString()).verdict),
            int(PasswordVerdict::Refused));

        setNowForTests(kT0 + 30);
        QCOMPARE(int(checkPassword(fx.shell->st, QStringLiteral("clerk"), QStringLiteral("c1"), QString())
                         .verdict),
                 int(PasswordVerdict::Accepted));
        QCOMPARE(waitMessage(QStringLiteral("clerk"), 18),
                 QStringLiteral("用户\"clerk\"密码错误次数过多，请18秒后再试"));
    }

    void refusalsAreKeptWithTimeAndPlace() {
        setNowForTests(kT0 + 7);
        checkPassword(fx.shell->st, QStringLiteral("店长"), QStringLiteral("x"), QStringLiteral("用户切换"));
        setNowForTests(kT0 + 9);
        checkPassword(fx.shell->st, QStringLiteral("admin"), QStringLiteral("y"), QStringLiteral("用户登录"));
        const auto rows = refusals(fx.core());
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(fromGbk(rows[0].FLFs_Name), QStringLiteral("admin"));
        QCOMPARE(rows[0].FLFt_Time, kT0 + 9);
        QCOMPARE(fromGbk(rows[0].FLFs_Place), QStringLiteral("用户登录"));
        QCOMPARE(fromGbk(rows[1].FLFs_Name), QStringLiteral("店长"));
        QCOMPARE(rows[1].FLFt_Time, kT0 + 7);
        QCOMPARE(fromGbk(rows[1].FLFs_Place), QStringLiteral("用户切换"));
    }

    void accountConditionQuotesTheName() {
        QCOMPARE(accountCondition("admin"), std::string("FUs_Name='admin'"));
        QCOMPARE(accountCondition("a'b' OR '1'='1"), std::string("FUs_Name='a''b'' OR ''1''=''1'"));
        QCOMPARE(accountCondition(""), std::string("FUs_Name=''"));
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestPasswordCheck)
#include "test_passwordcheck.moc"

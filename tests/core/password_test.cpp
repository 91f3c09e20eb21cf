// Password hashes: their text, their check, the plain texts of older stores,
// the hash of a new store's administrator; the tables kept beside the six and
// the log of refused password checks.
#include <regex>

#include "core_fixture.h"
#include "vorn/password.h"

using namespace vorntest;
using namespace vorn;

namespace {

const char kAdminPassword[] = "Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3=";

// Checks run at a cost of a few hundred rounds here; each test sets it.
class Passwords : public ::testing::Test {
protected:
    void SetUp() override { set_password_iterations(300); }
    void TearDown() override { set_password_iterations(kPasswordIterations); }
};

int iterations_of(const std::string& stored) {
    std::smatch m;
    static const std::regex shape(
        R"(^\$pbkdf2-sha256\$([1-9][0-9]*)\$[A-Za-z0-9+/]{22}\$[A-Za-z0-9+/]{43}$)");
    return std::regex_match(stored, m, shape) ? std::stoi(m[1]) : -1;
}

} // namespace

TEST_F(Passwords, HashTextNamesItsCostAndSaltsEveryHash) {
    for (int cost : {1, 300, 1234}) {
        set_password_iterations(cost);
        EXPECT_EQ(password_iterations(), cost);
        const std::string a = hash_password("secret");
        const std::string b = hash_password("secret");
        EXPECT_EQ(iterations_of(a), cost) << a;
        EXPECT_EQ(iterations_of(b), cost) << b;
        EXPECT_NE(a, b); // a fresh salt each time
        EXPECT_TRUE(is_password_hash(a));
        EXPECT_TRUE(verify_password("secret", a));
        EXPECT_TRUE(verify_password("secret", b));
        EXPECT_FALSE(password_needs_rehash(a));
    }
    EXPECT_EQ(iterations_of(hash_password("x", 77)), 77);
    set_password_iterations(0);
    EXPECT_EQ(password_iterations(), 1);
    EXPECT_EQ(iterations_of(hash_password("x", -5)), 1);
}

TEST_F(Passwords, OnlyTheRightPasswordMatchesItsHash) {
    const std::string gbk_word = gbk("密码'1");
    const std::string stored = hash_password(gbk_word);
    EXPECT_TRUE(verify_password(gbk_word, stored));
    for (const std::string& other : {std::string(), gbk("密码"), gbk("密码'2"), gbk_word + " ",
                                     " " + gbk_word, gbk_word.substr(1), stored})
        EXPECT_FALSE(verify_password(other, stored)) << other;
    // The empty password is a password like any other.
    EXPECT_TRUE(verify_password("", hash_password("")));
    EXPECT_FALSE(verify_password("a", hash_password("")));
}

// Texts made elsewhere with PBKDF2-HMAC-SHA256 (the published vector of 4096
// rounds, and one round over the administrator's password) check as expected:
// the hash is the standard one, so the cost can be raised by any tool.
TEST_F(Passwords, StandardVectorsVerify) {
    const std::string published = "$pbkdf2-sha256$4096$c2FsdFNBTFRzYWx0U0FMVHNhbHRTQUxUc2FsdFNBTFRzYWx0$"
                                  "NIyJ28vTKy8y2BS4EW6EzysXNH68GAAYHE4qH7jdU+HGNVGMfaxH6Q";
    EXPECT_TRUE(verify_password("passwordPASSWORDpassword", published));
    EXPECT_FALSE(verify_password("passwordPASSWORDpassworD", published));
    const std::string one =
        "$pbkdf2-sha256$1$MDEyMzQ1Njc4OWFiY2RlZg$YoV/x0G/6Y0VuOXa75wIOwg8aOAC6Q/By0/0JxmMqkM";
    EXPECT_TRUE(verify_password(kAdminPassword, one));
    EXPECT_TRUE(password_needs_rehash(one)); // cheaper than the cost of now
}

// A text that claims to be a hash but cannot be read matches nothing, not even
// itself typed as a password.
TEST_F(Passwords, UnreadableHashesMatchNothing) {
    const std::string salt = "MDEyMzQ1Njc4OWFiY2RlZg";
    const std::string hash = "YoV/x0G/6Y0VuOXa75wIOwg8aOAC6Q/By0/0JxmMqkM";
    const std::string good = "$pbkdf2-sha256$1$" + salt + "$" + hash;
    ASSERT_TRUE(verify_password(kAdminPassword, good));
    const std::vector<std::string> broken = {
        "$pbkdf2-sha256$",
        "$pbkdf2-sha256$1$" + salt,
        "$pbkdf2-sha256$$" + salt + "$" + hash,
        "$pbkdf2-sha256$0$" + salt + "$" + hash,
        "$pbkdf2-sha256$01$" + salt + "$" + hash,
        "$pbkdf2-sha256$-1$" + salt + "$" + hash,
        "$pbkdf2-sha256$1x$" + salt + "$" + hash,
        "$pbkdf2-sha256$999999999$" + salt + "$" + hash, // beyond any sane cost
        "$pbkdf2-sha256$1$" + salt + "==$" + hash,
        "$pbkdf2-sha256$1$" + salt + "$" + hash + "=",
        "$pbkdf2-sha256$1$" + salt + "$" + hash.substr(0, 20),       // too short a hash
        "$pbkdf2-sha256$1$" + salt.substr(0, 8) + "$" + hash,        // too short a salt
        "$pbkdf2-sha256$1$" + salt + "$" + hash.substr(0, 42) + "N", // stray low bits
        "$pbkdf2-sha256$1$" + salt + "$" + hash + "$",
        "$pbkdf2-sha256$1$" + salt + "$" + hash.substr(0, 10) + "*" + hash.substr(11),
    };
    for (const std::string& text : broken) {
        EXPECT_TRUE(is_password_hash(text)) << text;
        EXPECT_FALSE(verify_password(kAdminPassword, text)) << text;
        EXPECT_FALSE(verify_password(text, text)) << text;
        EXPECT_FALSE(password_needs_rehash(text)) << text;
    }
}

TEST_F(Passwords, PlainTextOfOlderStoresIsComparedExactly) {
    struct Case {
        const char* stored;
        const char* typed;
        bool match;
    };
    const Case cases[] = {
        {"abc", "abc", true},  {"abc", "abd", false},
        {"abc", "ab", false},  {"abc", "abcd", false},
        {"abc", "ABC", false}, {"", "", true},
        {"", "x", false},      {"x", "", false},
        {"a'b", "a'b", true},  {"$pbkdf2", "$pbkdf2", true}, // not the whole prefix: plain text
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(is_password_hash(c.stored)) << c.stored;
        EXPECT_EQ(verify_password(c.typed, c.stored), c.match) << c.stored << " / " << c.typed;
        EXPECT_EQ(constant_time_equal(c.stored, c.typed), c.match) << c.stored << " / " << c.typed;
        EXPECT_TRUE(password_needs_rehash(c.stored)) << c.stored;
    }
    // Bytes past the end of the shorter text never make a match.
    EXPECT_FALSE(constant_time_equal(std::string("ab\0", 3), "ab"));
    EXPECT_FALSE(constant_time_equal("ab", std::string("ab\0", 3)));
}

TEST_F(Passwords, HashesCheaperThanNowAreRenewed) {
    const std::string cheap = hash_password("pw", 100);
    EXPECT_TRUE(password_needs_rehash(cheap));
    set_password_iterations(100);
    EXPECT_FALSE(password_needs_rehash(cheap));
    set_password_iterations(50); // a lower cost never rewrites a dearer hash
    EXPECT_FALSE(password_needs_rehash(cheap));
    EXPECT_TRUE(verify_password("pw", cheap)); // checked at its own cost
}

// ---- the store -------------------------------------------------------------

namespace {

class ReadOnlyCore : public Core {
protected:
    bool read_only() const override { return true; }
};

// Asked through a count of users (the store always holds the administrator).
bool has_table(Core& c, const char* name) {
    const std::string cond =
        std::string("(SELECT COUNT() FROM sqlite_master WHERE type='table' AND name='") + name + "')=1";
    return c.get_urec_count(cond.c_str()) > 0;
}

class PasswordStore : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        set_password_iterations(300);
    }
    void TearDown() override {
        set_password_iterations(kPasswordIterations);
        TempDirTest::TearDown();
    }
};

} // namespace

TEST_F(PasswordStore, NewStoreKeepsOnlyTheAdministratorsHash) {
    Core core;
    ASSERT_EQ(core.open(), 0);
    URec u[2];
    ASSERT_EQ(core.select_urec(u, nullptr), 1);
    EXPECT_EQ(u[0].FUs_Name, "admin");
    EXPECT_EQ(u[0].FUi_Auth, 0);
    EXPECT_EQ(iterations_of(u[0].FUs_Pas), 300) << u[0].FUs_Pas;
    EXPECT_TRUE(verify_password(kAdminPassword, u[0].FUs_Pas));
    EXPECT_EQ(core.get_urec_count((std::string("FUs_Pas='") + kAdminPassword + "'").c_str()), 0);
    core.close();
}

TEST_F(PasswordStore, ExtraTablesAreAddedWhereMissingAndNowhereElse) {
    VORN_FILE_ONLY();
    {
        Core core;
        ASSERT_EQ(core.open(), 0);
        EXPECT_TRUE(has_table(core, "LoginFail"));
        // A store of an earlier version: the six tables only.
        ASSERT_EQ(core.exec_sql("DROP TABLE LoginFail;"), 0);
        core.close();
    }
    {
        // Opened for reading only it stays as it is.
        ReadOnlyCore look;
        ASSERT_EQ(look.open(), 0);
        EXPECT_FALSE(has_table(look, "LoginFail"));
        look.close();
    }
    const std::string before = file_bytes("__vorn__");
    {
        Core core;
        ASSERT_EQ(core.open(), 0);
        EXPECT_TRUE(has_table(core, "LoginFail"));
        core.close();
    }
    const std::string upgraded = file_bytes("__vorn__");
    EXPECT_NE(upgraded, before);
    {
        // A store that has every table is not written by opening it.
        Core core;
        ASSERT_EQ(core.open(), 0);
        core.close();
    }
    EXPECT_EQ(file_bytes("__vorn__"), upgraded);
}

TEST_F(PasswordStore, FilesThatAreNoStoreGetNoTables) {
    { std::ofstream touch("__vorn__", std::ios::binary); }
    Core core;
    ASSERT_EQ(core.open(), 0);
    core.close();
    EXPECT_EQ(std::filesystem::file_size("__vorn__"), 0u);

    // A store under another key: nothing is written into it.
    std::filesystem::remove("__vorn__");
    Core other;
    other.set_passphrase("another key of the shop");
    ASSERT_EQ(other.open(), 0);
    other.close();
    const std::string bytes = file_bytes("__vorn__");
    Core wrong;
    ASSERT_EQ(wrong.open(), 0);
    wrong.close();
    EXPECT_EQ(file_bytes("__vorn__"), bytes);
}

TEST_F(PasswordStore, RefusalsAreKeptNewestFirst) {
    Core core;
    ASSERT_EQ(core.open(), 0);
    std::vector<LoginFailRec> out(3);
    EXPECT_EQ(core.select_login_fail(out, 10), 0);
    EXPECT_TRUE(out.empty());
    const int64_t t0 = local_time_of(2024, 3, 9, 8, 30, 5);
    const std::string names[] = {"admin", gbk("小王"), "o'neil", ""};
    for (int i = 0; i < 4; ++i) {
        LoginFailRec r;
        r.FLFs_Name = names[i];
        r.FLFt_Time = t0 + i * 61;
        r.FLFs_Place = gbk(i % 2 ? "用户切换" : "用户登录");
        EXPECT_EQ(core.insert_login_fail(r), 1);
    }
    ASSERT_EQ(core.select_login_fail(out, 3), 3);
    for (int k = 0; k < 3; ++k) {
        const int i = 3 - k;
        EXPECT_EQ(out[k].FLFs_Name, names[i]);
        EXPECT_EQ(out[k].FLFt_Time, t0 + i * 61);
        EXPECT_EQ(out[k].FLFs_Place, gbk(i % 2 ? "用户切换" : "用户登录"));
        EXPECT_EQ(out[k].FLFi_Id, i + 1);
    }
    EXPECT_EQ(core.select_login_fail(out, 0), 0);
    EXPECT_EQ(core.select_login_fail(out, 100), 4);
    core.close();
}

TEST_F(PasswordStore, OnlyTheLatestRefusalsStay) {
    Core core;
    ASSERT_EQ(core.open(), 0);
    std::string fill = "BEGIN;";
    for (int i = 1; i <= Core::kLoginFailKept + 5; ++i)
        fill += "INSERT INTO LoginFail VALUES(NULL,'n" + std::to_string(i) + "',NULL,'p');";
    ASSERT_EQ(core.exec_sql((fill + "COMMIT;").c_str()), 0);
    LoginFailRec r;
    r.FLFs_Name = "last";
    ASSERT_EQ(core.insert_login_fail(r), 1);
    std::vector<LoginFailRec> out;
    ASSERT_EQ(core.select_login_fail(out, 10000), Core::kLoginFailKept);
    EXPECT_EQ(out.front().FLFs_Name, "last");
    EXPECT_EQ(out.front().FLFt_Time, 0);
    EXPECT_EQ(out.back().FLFs_Name, "n7"); // n1 to n6 are gone
    core.close();
}

TEST_F(PasswordStore, RefusalsOfAReadOnlyStoreAreNotKept) {
    VORN_FILE_ONLY();
    {
        Core maker;
        ASSERT_EQ(maker.open(), 0);
        maker.close();
    }
    ReadOnlyCore core;
    ASSERT_EQ(core.open(), 0);
    LoginFailRec r;
    r.FLFs_Name = "admin";
    EXPECT_EQ(core.insert_login_fail(r), -1);
    std::vector<LoginFailRec> out;
    EXPECT_EQ(core.select_login_fail(out, 5), 0);
    core.close();
    Core closed;
    EXPECT_EQ(closed.select_login_fail(out, 5), -1);
}

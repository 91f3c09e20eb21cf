// Copying a whole store into another: every table, ids, GBK text, NULL times
// and doubles arrive unchanged; a failure or a difference found before the
// commit leaves the target as it was. On the server run the fixture's store is
// on the server and the other one a file, so both directions cross engines.
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core_fixture.h"
#include "vorn/storecopy.h"

using namespace vorntest;
using namespace vorn;

namespace {

// One row of a table beside the six, as an INSERT with its id, and the
// condition that finds exactly that row again.
struct ExtraRow {
    const char* table;
    std::string values;
    std::string match;
};

std::vector<ExtraRow> extra_rows() {
    const std::string zs = gbk("张三"), appr = gbk("店长"), note = gbk("早班，找零 100");
    return {
        {"LoginFail", "(5,'" + zs + "','2024-01-02 10:00:00','" + gbk("用户登录") + "')",
         "FLFi_Id=5 AND FLFs_Name='" + zs + "' AND FLFt_Time='2024-01-02 10:00:00'"},
        {"Sale",
         "(7,'20240102-0001',1,'2024-01-02 10:05:00','" + zs + "','V01',2,355,-5,400,45,NULL,0,NULL,0,'" +
             appr + "',3)",
         "FSAi_Id=7 AND FSAs_User='" + zs +
             "' AND FSAi_Points IS NULL AND FSAi_Orig IS NULL AND FSAi_Disc=-5 "
             "AND FSAs_Appr='" +
             appr + "' AND FSAi_Shift=3"},
        {"Sale", "(9,'20240102-0002',2,'2024-01-02 11:00:00','" + zs + "','',1,100,0,100,0,3,1,7,1,'',NULL)",
         "FSAi_Id=9 AND FSAi_Shift IS NULL AND FSAi_Orig=7 AND FSAi_Points=3"},
        {"SaleUnit", "(11,7,2,180)", "FSAUi_Id=11 AND FSAUi_Sale=7 AND FSAUi_Price=180"},
        {"SalePayment", "(12,7,1,400)", "FSAPi_Id=12 AND FSAPi_Method=1 AND FSAPi_Amount=400"},
        {"PriceHistory", "(4,'A1','2024-01-03 09:00:00','" + zs + "',3,100,90,80,70,60,110,99,88,77,66)",
         "FPHi_Id=4 AND FPHs_User='" + zs + "' AND FPHi_OldRet=100 AND FPHi_NewSpe=66"},
        {"Shift", "(3,'" + zs + "','2024-01-02 08:00:00',NULL,1000,NULL,'" + note + "')",
         "FSHi_Id=3 AND FSHt_Close IS NULL AND FSHi_Counted IS NULL AND FSHs_Note='" + note + "'"},
        {"DrawerOpen", "(2,3,'2024-01-02 09:00:00','" + zs + "')", "FDOi_Id=2 AND FDOi_Shift=3"},
        {"Setting", "('receipt.title','" + gbk("欢迎光临") + "')",
         "FSEs_Key='receipt.title' AND FSEs_Value='" + gbk("欢迎光临") + "'"},
        {"HeldSale", "(6,'2024-01-02 12:00:00','" + zs + "',0,'','',1,250,'')", "FHSi_Id=6 AND FHSi_Due=250"},
        {"HeldSaleLine", "(8,6,0,2,'A1',250)", "FHLi_Id=8 AND FHLi_Sale=6 AND FHLi_Unit=2"},
        {"StockTake", "(2,'" + zs + "','2024-01-04 18:00:00','1,2',1,NULL,0)",
         "FSTi_Id=2 AND FSTs_Scope='1,2' AND FSTt_Done IS NULL"},
        {"StockTakeLine", "(5,2,'A1',3,2,-50)", "FSTLi_Id=5 AND FSTLi_Cost=-50"},
        {"AlarmLimit", "('A1',4)", "FALs_Code='A1' AND FALi_Limit=4"},
    };
}

// Fixed rows 1 to 9 are always there: the answer is 1 exactly when the
// table holds `n` rows matching the condition.
int holds(Core& c, const std::string& table, const std::string& cond, int n) {
    return c.get_arec_count(
        ("FAi_Id=1 AND (SELECT COUNT(*) FROM " + table + " WHERE " + cond + ")=" + std::to_string(n))
            .c_str());
}

// A shop in every table: goods with a gap in their ids, a sold unit and one
// in stock without a sale time, doubles that need all their digits, GBK text.
void fill(Core& c) {
    TRec t;
    t.FTs_Name = gbk("饮料");
    ASSERT_EQ(c.insert_trec(&t, 1), 1);
    SPRec sp;
    sp.FSPs_Name = gbk("华东供应商");
    ASSERT_EQ(c.insert_sprec(&sp, 1), 1);
    std::vector<SRec> u = {unit("A1", gbk("可乐"), 0, 3.5, 0, 1700000000, 0),
                           unit("A1", gbk("可乐"), 1, 3.5, 3.25, 1700000000, 1700003600),
                           unit("B2", gbk("矿泉水"), 0, 2.0)};
    ASSERT_EQ(c.insert_srec(u.data(), 3), 3);
    std::vector<SRec> rows = all_units(c);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(c.delete_srec(&rows[0], 1), 1); // ids 2 and 3 stay: the copy keeps the gap
    ASSERT_EQ(c.exec_sql("UPDATE Store SET FSd_WhoP=0.1+0.2,FSd_SpeP=1e-7 WHERE FSs_Code='B2';"), 0);
    URec user;
    user.FUs_Name = gbk("收银员");
    user.FUs_Pas = "secret";
    user.FUi_Auth = 2;
    ASSERT_EQ(c.insert_urec(&user, 1), 1);
    ASSERT_TRUE(c.set_shop_name(gbk("新华超市").c_str()));
    VIPRec v = member("V01", gbk("李四"), 0, 1600000000);
    ASSERT_EQ(c.insert_viprec(&v, 1), 1);
    for (const ExtraRow& r : extra_rows())
        ASSERT_EQ(c.exec_sql(("INSERT INTO " + std::string(r.table) + " VALUES" + r.values + ";").c_str()), 0)
            << r.table;
}

// Every row of `from` is in `to`, compared field by field for the six and by
// their own conditions for the rest.
void expect_same_shop(Core& from, Core& to) {
    std::vector<SRec> a = all_units(from), b = all_units(to);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].FSi_Id, b[i].FSi_Id);
        EXPECT_EQ(a[i].FSs_Name, b[i].FSs_Name);
        EXPECT_EQ(a[i].FSd_RetP, b[i].FSd_RetP);
        EXPECT_EQ(a[i].FSd_ReaP, b[i].FSd_ReaP);
        EXPECT_EQ(a[i].FSd_WhoP, b[i].FSd_WhoP); // 0.30000000000000004, not 0.3
        EXPECT_EQ(a[i].FSd_SpeP, b[i].FSd_SpeP);
        EXPECT_EQ(a[i].FSt_StoT, b[i].FSt_StoT);
        EXPECT_EQ(a[i].FSt_SalT, b[i].FSt_SalT);
        EXPECT_EQ(a[i].FSi_Flag, b[i].FSi_Flag);
    }
    EXPECT_EQ(holds(to, "Store", "FSt_SalT IS NULL AND FSs_Code='B2'", 1), 1);
    EXPECT_EQ(to.get_trec_count(("FTs_Name='" + gbk("饮料") + "'").c_str()), 1);
    EXPECT_EQ(to.get_sprec_count(("FSPs_Name='" + gbk("华东供应商") + "'").c_str()), 1);
    EXPECT_EQ(to.get_urec_count(nullptr), from.get_urec_count(nullptr));
    EXPECT_EQ(to.get_urec_count(("FUs_Name='" + gbk("收银员") + "' AND FUi_Auth=2").c_str()), 1);
    EXPECT_EQ(to.get_shop_name(), gbk("新华超市"));
    EXPECT_EQ(to.get_arec_count(nullptr), 9);
    EXPECT_EQ(to.get_viprec_count(("FVs_Name='" + gbk("李四") + "' AND FVt_BirT IS NULL").c_str()), 1);
    for (const ExtraRow& r : extra_rows()) {
        EXPECT_EQ(holds(to, r.table, r.match, 1), 1) << r.table << ": " << r.match;
        EXPECT_EQ(holds(to, r.table, "1=1", r.table == std::string("Sale") ? 2 : 1), 1) << r.table;
    }
}

class StoreCopy : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        other_dir_ = dir_ / "other";
        std::filesystem::create_directory(other_dir_);
        // Core opens "__vorn__" in the current folder.
        std::filesystem::current_path(other_dir_);
        other.set_server("");
        ASSERT_EQ(other.open(), 0);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        if (other.is_open()) other.close();
        StoreTest::TearDown();
    }
    std::filesystem::path other_dir_;
    Core other; // always a file, in a folder of its own
};

TEST_F(StoreCopy, EveryTableArrivesInBothDirections) {
    struct Case {
        const char* name;
        bool fixture_is_source;
    };
    for (const Case& c : {Case{"into the other store", true}, Case{"back from it", false}}) {
        SCOPED_TRACE(c.name);
        Core& from = c.fixture_is_source ? core : other;
        Core& to = c.fixture_is_source ? other : core;
        if (c.fixture_is_source)
            ASSERT_NO_FATAL_FAILURE(fill(from));
        else
            ASSERT_EQ(core.exec_sql("DELETE FROM Store;DELETE FROM VIP;DELETE FROM Sale;"), 0);
        std::vector<std::pair<int, int>> calls;
        std::string problem;
        ASSERT_EQ(copy_store(
                      from, to, [&](int done, int total) { calls.emplace_back(done, total); }, problem),
                  0)
            << problem;
        EXPECT_EQ(problem, "");
        ASSERT_NO_FATAL_FAILURE(expect_same_shop(from, to));
        // Progress runs from nothing to every row, never backwards.
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls.front().first, 0);
        EXPECT_EQ(calls.back().first, calls.back().second);
        for (size_t i = 1; i < calls.size(); ++i)
            EXPECT_LE(calls[i - 1].first, calls[i].first);
        // New rows on the target never take a copied id.
        TRec t;
        t.FTs_Name = "after";
        ASSERT_EQ(to.insert_trec(&t, 1), 1);
        EXPECT_EQ(to.get_trec_count("FTs_Name='after' AND FTi_Id>2"), 1);
        URec user; // User is quoted on the server: its sequence too must move on
        user.FUs_Name = "after";
        user.FUs_Pas = "x";
        user.FUi_Auth = 2;
        ASSERT_EQ(to.insert_urec(&user, 1), 1);
        EXPECT_EQ(to.get_urec_count("FUs_Name='after' AND FUi_Id>2"), 1);
        ASSERT_EQ(to.exec_sql("DELETE FROM User WHERE FUs_Name='after';"), 0);
        EXPECT_EQ(to.exec_sql(("INSERT INTO Sale (FSAs_No,FSAi_Seq) VALUES('n',1);")), 0);
        EXPECT_EQ(holds(to, "Sale", "FSAs_No='n' AND FSAi_Id>9", 1), 1);
        ASSERT_EQ(to.exec_sql("DELETE FROM Sale WHERE FSAs_No='n';DELETE FROM Type WHERE FTs_Name='after';"),
                  0);
    }
}

// A target of many rows is emptied first: none of its own rows survive.
TEST_F(StoreCopy, TargetRowsAreReplaced) {
    ASSERT_NO_FATAL_FAILURE(fill(core));
    std::vector<VIPRec> many;
    for (int i = 0; i < 450; ++i)
        many.push_back(member("X" + std::to_string(i), gbk("旧会员")));
    ASSERT_EQ(other.insert_viprec(many.data(), static_cast<int>(many.size())), 450);
    ASSERT_EQ(other.exec_sql("INSERT INTO AlarmLimit VALUES('OLD',1);"), 0);
    std::string problem;
    ASSERT_EQ(copy_store(core, other, nullptr, problem), 0) << problem;
    EXPECT_EQ(other.get_viprec_count(nullptr), 1);
    EXPECT_EQ(holds(other, "AlarmLimit", "FALs_Code='OLD'", 0), 1);
    // And back: more rows than one INSERT carries.
    ASSERT_EQ(other.insert_viprec(many.data(), static_cast<int>(many.size())), 450);
    ASSERT_EQ(copy_store(other, core, nullptr, problem), 0) << problem;
    EXPECT_EQ(core.get_viprec_count(("FVs_Name='" + gbk("旧会员") + "'").c_str()), 450);
    ASSERT_NO_FATAL_FAILURE(expect_same_shop(other, core));
}

// What the target looked like before a copy that failed, to compare after it.
struct Snapshot {
    int units, members, sales;
    std::string name;
};
Snapshot look(Core& c) {
    return {c.get_srec_count(nullptr), c.get_viprec_count(nullptr), holds(c, "Sale", "1=1", 0) == 1 ? 0 : 1,
            c.get_shop_name()};
}

// A failure halfway (a table refusing rows) and a difference found before the
// commit both leave the target exactly as it was, and name the table.
TEST_F(StoreCopy, FailureOrDifferenceLeavesTargetAsItWas) {
    struct Case {
        const char* trigger;
        const char* table;
        int rc;
    };
    const Case cases[] = {
        {"CREATE TRIGGER stop BEFORE INSERT ON VIP BEGIN SELECT RAISE(ABORT,'refused'); END;", "VIP", -1},
        {"CREATE TRIGGER stop AFTER INSERT ON HeldSaleLine BEGIN SELECT RAISE(ABORT,'refused'); END;",
         "HeldSaleLine", -1},
        {"CREATE TRIGGER stop AFTER INSERT ON Supplier BEGIN UPDATE Supplier SET FSPs_Name=FSPs_Name||'x' "
         "WHERE FSPi_Id=NEW.FSPi_Id; END;",
         "Supplier", SQLITE_MISMATCH},
        {"CREATE TRIGGER stop AFTER INSERT ON SaleUnit BEGIN UPDATE SaleUnit SET FSAUi_Price=FSAUi_Price+1 "
         "WHERE FSAUi_Id=NEW.FSAUi_Id; END;",
         "SaleUnit", SQLITE_MISMATCH},
        {"CREATE TRIGGER stop AFTER INSERT ON Store BEGIN UPDATE Store SET FSd_RetP=FSd_RetP+0.01 "
         "WHERE FSi_Id=NEW.FSi_Id; END;",
         "Store", SQLITE_MISMATCH},
    };
    ASSERT_NO_FATAL_FAILURE(fill(core));
    VIPRec kept = member("K1", gbk("老顾客"));
    ASSERT_EQ(other.insert_viprec(&kept, 1), 1);
    ASSERT_TRUE(other.set_shop_name(gbk("旧店").c_str()));
    const Snapshot before = look(other);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        ASSERT_EQ(other.exec_sql(c.trigger), 0);
        std::string problem;
        const int rc = copy_store(core, other, nullptr, problem);
        if (c.rc > 0)
            EXPECT_EQ(rc, c.rc);
        else
            EXPECT_NE(rc, 0);
        EXPECT_NE(problem.find(c.table), std::string::npos) << problem;
        const Snapshot after = look(other);
        EXPECT_EQ(after.units, before.units);
        EXPECT_EQ(after.members, before.members);
        EXPECT_EQ(after.sales, before.sales);
        EXPECT_EQ(after.name, before.name);
        EXPECT_EQ(other.get_viprec_count(("FVs_Name='" + gbk("老顾客") + "'").c_str()), 1);
        ASSERT_EQ(other.exec_sql("DROP TRIGGER stop;"), 0);
    }
    // Without the triggers the same copy goes through.
    std::string problem;
    ASSERT_EQ(copy_store(core, other, nullptr, problem), 0) << problem;
    ASSERT_NO_FATAL_FAILURE(expect_same_shop(core, other));
}

// A restore into a server that fails at its very end (the commit) leaves the
// server numbering new rows as before: the next one neither takes an id in
// use (the copy's ids lower) nor skips any (higher).
TEST_F(StoreCopy, FailedCommitLeavesTheServersNumberingAsItWas) {
    if (!on_server()) GTEST_SKIP() << "a server's numbering of new rows";
    std::vector<TRec> own(5);
    for (TRec& t : own)
        t.FTs_Name = "own";
    ASSERT_EQ(core.insert_trec(own.data(), 5), 5);
    // Checked at the commit: a copied type makes it fail.
    ASSERT_EQ(
        core.exec_sql("CREATE FUNCTION vorn_late() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE "
                      "EXCEPTION 'late' USING ERRCODE = 'integrity_constraint_violation'; END$$;"
                      "CREATE CONSTRAINT TRIGGER late AFTER INSERT ON Type DEFERRABLE INITIALLY DEFERRED "
                      "FOR EACH ROW WHEN (NEW.FTs_Name = 'copied') EXECUTE FUNCTION vorn_late();"),
        0);
    for (const int copied : {1, 20}) {
        SCOPED_TRACE(copied);
        ASSERT_EQ(other.exec_sql("DELETE FROM Type WHERE FTs_Name='copied';"), 0);
        std::vector<TRec> types(static_cast<size_t>(copied));
        for (TRec& t : types)
            t.FTs_Name = "copied";
        ASSERT_EQ(other.insert_trec(types.data(), copied), copied);
        std::vector<TRec> before(static_cast<size_t>(core.get_trec_count(nullptr)));
        ASSERT_EQ(core.select_trec(before.data(), nullptr), static_cast<int>(before.size()));
        int64_t next = 0;
        for (const TRec& t : before)
            next = std::max<int64_t>(next, t.FTi_Id + 1);
        std::string problem;
        EXPECT_EQ(copy_store(other, core, nullptr, problem), SQLITE_CONSTRAINT);
        TRec t;
        t.FTs_Name = "next";
        ASSERT_EQ(core.insert_trec(&t, 1), 1);
        EXPECT_EQ(core.get_trec_count(("FTs_Name='next' AND FTi_Id=" + std::to_string(next)).c_str()), 1);
        ASSERT_EQ(core.exec_sql("UPDATE Type SET FTs_Name='own' WHERE FTs_Name='next';"), 0);
    }
}

TEST_F(StoreCopy, RefusesOneStoreIntoItselfAndClosedStores) {
    ASSERT_NO_FATAL_FAILURE(fill(core));
    Core same = core;
    std::string problem;
    EXPECT_EQ(copy_store(core, same, nullptr, problem), SQLITE_MISUSE);
    EXPECT_NE(problem, "");
    EXPECT_EQ(core.get_viprec_count(nullptr), 1);
    Core closed;
    EXPECT_EQ(copy_store(closed, other, nullptr, problem), SQLITE_MISUSE);
    EXPECT_EQ(copy_store(core, closed, nullptr, problem), SQLITE_MISUSE);
    EXPECT_NE(problem, "");
}

} // namespace

// The database file: creation with schema and default rows, reopening, odd files,
// encryption on disk and the extra indexes.
#include "core_fixture.h"
#include "vorn/password.h"

using namespace vorntest;
using namespace vorn;

namespace {

class CountingCore : public Core {
public:
    int schema_runs = 0;

protected:
    int create_table() override { return ++schema_runs, Core::create_table(); }
};

class BrokenSchemaCore : public Core {
protected:
    int create_table() override { return exec_sql("CREATE TABLE (;"); }
};

// Root, which runs the tests, ignores permission bits, so a read-only file is
// stood for by opening it read-only, as the system does by itself for a file
// the user may not write.
class ReadOnlyCore : public Core {
protected:
    bool read_only() const override { return true; }
};

using StoreFile = TempDirTest;

// A store with a few rows and, when asked, the program's indexes.
void make_store(bool indexed) {
    Core maker;
    ASSERT_EQ(maker.open(), 0);
    TRec t;
    t.FTs_Name = "kept";
    std::vector<SRec> u = {unit("A", "a", 0, 10), unit("A", "a", 1, 10, 9.5, 1300000000, 1300000100)};
    ASSERT_EQ(maker.insert_trec(&t, 1), 1);
    ASSERT_EQ(maker.insert_srec(u.data(), 2), 2);
    EXPECT_TRUE(maker.indexes_missing());
    if (indexed) {
        ASSERT_EQ(maker.ensure_indexes(), 0);
        EXPECT_FALSE(maker.indexes_missing());
    }
    maker.close();
}

// What a store we may not write still answers: every read, and -1 or an error
// code for every write, with nothing changed.
void reads_work_and_writes_fail(Core& c) {
    EXPECT_EQ(c.get_trec_count("FTs_Name='kept'"), 1);
    EXPECT_EQ(all_units(c, "FSs_Code='A'").size(), 2u);
    double t[2] = {0, 0};
    EXPECT_EQ(c.get_srec_total(t, "FSd_ReaP", "FSd_OriP", "FSi_Flag=1"), 1);
    EXPECT_EQ(t[0], 9.5);
    EXPECT_EQ(c.get_srec_alarm_count(5), 1);
    TRec more;
    more.FTs_Name = "more";
    EXPECT_EQ(c.insert_trec(&more, 1), -1);
    EXPECT_NE(c.exec_in_transaction("DELETE FROM Type;"), 0);
    c.set_shop_name("changed");
    EXPECT_EQ(c.get_shop_name(), "");
    EXPECT_EQ(c.get_trec_count(nullptr), 2);
}

} // namespace

TEST_F(StoreFile, FirstStartCreatesSchemaAndDefaultRows) {
    VORN_FILE_ONLY();
    CountingCore core;
    EXPECT_EQ(core.is_open(), 0);
    EXPECT_EQ(core.close(), 0); // closing a closed store is harmless
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.is_open(), 1);
    EXPECT_EQ(core.schema_runs, 1);
    EXPECT_TRUE(std::filesystem::exists("__vorn__"));

    TRec t[2];
    SPRec s[2];
    URec u[2];
    ARec a[10];
    ASSERT_EQ(core.select_trec(t, nullptr), 1);
    EXPECT_EQ(t[0].FTi_Id, 1);
    EXPECT_EQ(t[0].FTs_Name, "\xce\xb4\xd6\xaa"); // 未知
    ASSERT_EQ(core.select_sprec(s, ""), 1);
    EXPECT_EQ(s[0].FSPi_Id, 1);
    EXPECT_EQ(s[0].FSPs_Name, "\xce\xb4\xd6\xb8\xb6\xa8"); // 未指定
    ASSERT_EQ(core.select_urec(u, nullptr), 1);
    EXPECT_EQ(u[0].FUi_Id, 1);
    EXPECT_EQ(u[0].FUs_Name, "admin");
    // The documented password, kept only as its hash.
    EXPECT_TRUE(is_password_hash(u[0].FUs_Pas));
    EXPECT_TRUE(verify_password("Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3=", u[0].FUs_Pas));
    EXPECT_EQ(u[0].FUi_Auth, 0);
    ASSERT_EQ(core.get_arec_count(nullptr), 9);
    ASSERT_EQ(core.select_arec(a, nullptr), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(a[i].FAi_Id, i + 1);
        EXPECT_EQ(a[i].FAs_Name + a[i].FAs_Value, "");
    }
    EXPECT_EQ(core.get_srec_count(nullptr), 0);
    EXPECT_EQ(core.get_viprec_count(nullptr), 0);

    Core copy = core; // shares the connection
    EXPECT_EQ(copy.get_urec_count(nullptr), 1);
    EXPECT_EQ(core.close(), 0);
    EXPECT_EQ(core.is_open(), 0);
    EXPECT_EQ(core.close(), 0);
    EXPECT_EQ(core.is_open(), 0);
}

TEST_F(StoreFile, SecondStartRunsNoSchemaAndKeepsRows) {
    Core first;
    ASSERT_EQ(first.open(), 0);
    TRec t;
    t.FTs_Name = "kept";
    ASSERT_EQ(first.insert_trec(&t, 1), 1);
    ASSERT_EQ(first.exec_sql("UPDATE User SET FUs_Pas='changed';"), 0);
    EXPECT_NE(first.exec_sql("UPDATE Nowhere SET a=1;"), 0);
    first.set_shop_name("shop");
    first.close();

    CountingCore again;
    ASSERT_EQ(again.open(), 0);
    EXPECT_EQ(again.schema_runs, 0);
    EXPECT_EQ(again.get_trec_count(nullptr), 2);
    EXPECT_EQ(again.get_trec_count("FTi_Id=2 AND FTs_Name='kept'"), 1);
    EXPECT_EQ(again.get_urec_count(nullptr), 1);
    EXPECT_EQ(again.get_urec_count("FUs_Pas='changed'"), 1);
    EXPECT_EQ(again.get_arec_count(nullptr), 9);
    EXPECT_EQ(again.get_shop_name(), "shop");
    again.close();
}

TEST_F(StoreFile, EmptyFileOrFailedSchemaOpensButEveryQueryFails) {
    VORN_FILE_ONLY();
    { std::ofstream touch("__vorn__", std::ios::binary); }
    CountingCore core;
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.schema_runs, 0); // an empty file exists
    TRec t[1];
    SRec s[1];
    double out[2] = {7, 7};
    SRec u = unit("c", "n");
    EXPECT_EQ(core.get_trec_count(nullptr), -1);
    EXPECT_EQ(core.select_trec(t, nullptr), -1);
    EXPECT_EQ(core.select_srec(s, nullptr), -1);
    EXPECT_EQ(core.get_srec_total(out, "FSd_RetP", "FSd_OriP", nullptr), -1);
    EXPECT_EQ(core.get_srec_alarm_count(5), -1);
    EXPECT_EQ(core.select_srec_alarm(s, 5), -1);
    EXPECT_EQ(core.insert_srec(&u, 1), -1);
    EXPECT_EQ(core.get_shop_name(), "");
    EXPECT_EQ(core.get_alarm_limit(), 0);
    core.close();

    std::filesystem::remove("__vorn__");
    BrokenSchemaCore broken;
    EXPECT_EQ(broken.open(), 0); // the schema's failure is not reported
    EXPECT_EQ(broken.get_arec_count(nullptr), -1);
    broken.close();
}

TEST_F(StoreFile, FileOnDiskIsEncrypted) {
    VORN_FILE_ONLY();
    const std::string marker = "PlainMarker-8431-visible";
    Core core;
    ASSERT_EQ(core.open(), 0);
    TRec t;
    t.FTs_Name = marker;
    ASSERT_EQ(core.insert_trec(&t, 1), 1);
    core.set_shop_addr(marker.c_str());
    core.close();

    std::string bytes = file_bytes("__vorn__");
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_NE(bytes.compare(0, 15, "SQLite format 3"), 0);
    EXPECT_EQ(bytes.find(marker), std::string::npos);
    EXPECT_EQ(bytes.find("CREATE TABLE"), std::string::npos);
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.get_shop_addr(), marker);
    core.close();
}

TEST_F(StoreTest, EnsureIndexesKeepsAnswersAndFile) {
    std::vector<SRec> units;
    for (int i = 0; i < 60; ++i) {
        int64_t sto = local_time_of(2024, 1 + i % 12, 1 + i % 28, 10, 0, 0);
        bool sold = i % 3 == 0;
        units.push_back(unit("C" + std::to_string(i % 7), "n", sold, 10.0 + i, sold ? 9.0 + i : 0, sto,
                             sold ? sto + 9 : 0));
        units.back().FSi_Type = 1 + i % 4;
    }
    ASSERT_EQ(core.insert_srec(units.data(), 60), 60);
    auto answers = [](Core& c) {
        std::vector<double> a = {double(c.get_srec_count("FSs_Code='C3'")),
                                 double(c.get_srec_count("FSi_Flag=0 AND FSs_Code='C3'")),
                                 double(c.get_srec_alarm_count(9)),
                                 0,
                                 0,
                                 0};
        EXPECT_EQ(c.get_srec_total(
                      &a[3], "FSd_ReaP", "FSd_OriP",
                      "FSi_Flag=1 AND FSt_SalT>='2024-03-01 00:00:00' AND FSt_SalT<'2024-09-01 00:00:00'"),
                  1);
        EXPECT_EQ(c.get_srec_total(&a[5], "FSd_ReaP", nullptr, "FSi_Type=2 AND FSi_Flag=1"), 1);
        for (const SRec& s : all_units(c, "FSi_Flag=0 AND FSs_Code='C2' ORDER BY FSi_Id DESC"))
            a.push_back(s.FSi_Id);
        return a;
    };
    const std::vector<double> before = answers(core);
    ASSERT_GT(before[0], 0);
    EXPECT_EQ(core.ensure_indexes(), 0);
    EXPECT_EQ(core.ensure_indexes(), 0);
    EXPECT_EQ(answers(core), before);
    core.close();

    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(answers(core), before);
    SRec extra = unit("C3", "n");
    EXPECT_EQ(core.insert_srec(&extra, 1), 1);
    EXPECT_EQ(core.get_srec_count("FSs_Code='C3'"), before[0] + 1);
}

// A store used after close() answers failure instead of crashing; a select
// whose condition carries a second statement is refused and runs nothing.
TEST_F(StoreTest, ClosedStoreFailsAndSelectRunsOneStatement) {
    std::vector<vorn::TRec> types(4);
    EXPECT_EQ(core.select_trec(types.data(), "1; DELETE FROM Type"), -1);
    EXPECT_EQ(core.get_trec_count(nullptr), 1);

    core.close();
    vorn::SRec unit;
    EXPECT_EQ(core.get_srec_count(nullptr), -1);
    EXPECT_EQ(core.select_srec(&unit, nullptr), -1);
    EXPECT_EQ(core.insert_srec(&unit, 1), -1);
    EXPECT_EQ(core.delete_srec(&unit, 1), -1);
    EXPECT_NE(core.exec_sql("SELECT 1;"), 0);
    EXPECT_NE(core.exec_in_transaction("SELECT 1;"), 0);
    EXPECT_NE(core.ensure_indexes(), 0);
    EXPECT_FALSE(core.indexes_missing());
    EXPECT_EQ(core.get_shop_name(), "");
}

TEST_F(StoreFile, ReadOnlyStoreIsUsedWithoutItsIndexes) {
    VORN_FILE_ONLY();
    make_store(false);
    {
        ReadOnlyCore ro;
        ASSERT_EQ(ro.open(), 0);
        EXPECT_TRUE(ro.indexes_missing());
        EXPECT_EQ(ro.ensure_indexes(), 0);
        EXPECT_TRUE(ro.indexes_missing()); // nothing could be built
        reads_work_and_writes_fail(ro);
        ro.close();
    }
    // Once a writable start has built them, a read-only one finds them all.
    Core rw;
    ASSERT_EQ(rw.open(), 0);
    EXPECT_TRUE(rw.indexes_missing());
    EXPECT_EQ(rw.ensure_indexes(), 0);
    EXPECT_FALSE(rw.indexes_missing());
    rw.close();
    ReadOnlyCore ro;
    ASSERT_EQ(ro.open(), 0);
    EXPECT_FALSE(ro.indexes_missing());
    EXPECT_EQ(ro.ensure_indexes(), 0);
    EXPECT_EQ(ro.get_trec_count("FTs_Name='kept'"), 1);
    ro.close();
}

// A folder the user may not write opens the file read-write but takes no
// journal, so the first write fails to start. A journal path that leads
// nowhere does the same to root.
TEST_F(StoreFile, FolderThatTakesNoJournalIsUsedWithoutIndexes) {
    VORN_FILE_ONLY();
    make_store(false);
    std::filesystem::create_symlink("no-such-folder/journal", "__vorn__-journal");
    Core c;
    ASSERT_EQ(c.open(), 0);
    EXPECT_TRUE(c.indexes_missing());
    EXPECT_EQ(c.ensure_indexes(), 0);
    EXPECT_TRUE(c.indexes_missing());
    reads_work_and_writes_fail(c);

    std::filesystem::remove("__vorn__-journal");
    EXPECT_EQ(c.ensure_indexes(), 0);
    EXPECT_FALSE(c.indexes_missing());
    c.close();
}

TEST_F(StoreFile, IndexesMissingSeesEachOneOfThem) {
    make_store(true);
    Core c;
    ASSERT_EQ(c.open(), 0);
    for (const char* name : {"vorn_store_code", "vorn_store_stock_code", "vorn_store_sold_time",
                             "vorn_store_sold_type_time", "vorn_vip_code", "vorn_store_sold_code"}) {
        ASSERT_EQ(c.exec_sql((std::string("DROP INDEX ") + name + ";").c_str()), 0) << name;
        EXPECT_TRUE(c.indexes_missing()) << name;
        EXPECT_EQ(c.ensure_indexes(), 0);
        EXPECT_FALSE(c.indexes_missing()) << name;
    }
    c.close();
}

TEST_F(StoreFile, FailedOpenLeavesTheStoreClosed) {
    VORN_FILE_ONLY();
    ReadOnlyCore ro; // may not create the missing file
    EXPECT_NE(ro.open(), 0);
    EXPECT_EQ(ro.is_open(), 0);
    EXPECT_FALSE(std::filesystem::exists("__vorn__"));
    TRec t[1];
    EXPECT_EQ(ro.get_trec_count(nullptr), -1);
    EXPECT_EQ(ro.select_trec(t, nullptr), -1);
    EXPECT_EQ(ro.insert_trec(t, 1), -1);
    EXPECT_EQ(ro.close(), 0);
}

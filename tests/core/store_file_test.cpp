// The database file: creation with schema and default rows, reopening, odd files,
// encryption on disk and the extra indexes.
#include "core_fixture.h"

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

using StoreFile = TempDirTest;

} // namespace

TEST_F(StoreFile, FirstStartCreatesSchemaAndDefaultRows) {
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
    EXPECT_EQ(u[0].FUs_Pas, "Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3=");
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
    EXPECT_NE(core.exec_sql("SELECT 1;"), 0);
    EXPECT_EQ(core.get_shop_name(), "");
}

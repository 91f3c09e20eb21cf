// The database file: creation with schema and default rows, reopening, odd files,
// encryption on disk and the extra indexes.
#include <cstdio>
#include <filesystem>

#include "core_fixture.h"

using namespace vorntest;
using vorn::ARec;
using vorn::Core;
using vorn::SPRec;
using vorn::SRec;
using vorn::TRec;
using vorn::URec;

namespace {

class CountingCore : public Core {
public:
    int schema_runs = 0;

protected:
    int create_table() override {
        ++schema_runs;
        return Core::create_table();
    }
};

// A schema that does not run at all.
class BrokenSchemaCore : public Core {
protected:
    int create_table() override { return exec_sql("CREATE TABLE (;"); }
};

using StoreFile = TempDirTest;
using Store = StoreTest;

} // namespace

TEST_F(StoreFile, FirstStartCreatesSchemaAndDefaultRows) {
    ASSERT_FALSE(std::filesystem::exists("__vorn__"));
    CountingCore core;
    EXPECT_EQ(core.is_open(), 0);
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.is_open(), 1);
    EXPECT_EQ(core.schema_runs, 1);
    EXPECT_TRUE(std::filesystem::exists("__vorn__"));

    TRec t[2];
    ASSERT_EQ(core.get_trec_count(nullptr), 1);
    ASSERT_EQ(core.select_trec(t, nullptr), 1);
    EXPECT_EQ(t[0].FTi_Id, 1);
    EXPECT_EQ(t[0].FTs_Name, "\xce\xb4\xd6\xaa"); // 未知
    EXPECT_EQ(t[0].FTs_Name, gbk("未知"));

    SPRec s[2];
    ASSERT_EQ(core.get_sprec_count(""), 1);
    ASSERT_EQ(core.select_sprec(s, ""), 1);
    EXPECT_EQ(s[0].FSPi_Id, 1);
    EXPECT_EQ(s[0].FSPs_Name, "\xce\xb4\xd6\xb8\xb6\xa8"); // 未指定

    URec u[2];
    ASSERT_EQ(core.get_urec_count(nullptr), 1);
    ASSERT_EQ(core.select_urec(u, nullptr), 1);
    EXPECT_EQ(u[0].FUi_Id, 1);
    EXPECT_EQ(u[0].FUs_Name, "admin");
    EXPECT_EQ(u[0].FUs_Pas, "Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3=");
    EXPECT_EQ(u[0].FUi_Auth, 0);

    ARec a[10];
    ASSERT_EQ(core.get_arec_count(nullptr), 9);
    ASSERT_EQ(core.select_arec(a, nullptr), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(a[i].FAi_Id, i + 1);
        EXPECT_EQ(a[i].FAs_Name, "");
        EXPECT_EQ(a[i].FAs_Value, "");
    }
    EXPECT_EQ(core.get_srec_count(nullptr), 0);
    EXPECT_EQ(core.get_viprec_count(nullptr), 0);
    EXPECT_EQ(core.close(), 0);
}

TEST_F(StoreFile, SecondStartRunsNoSchemaAndKeepsRows) {
    {
        Core core;
        ASSERT_EQ(core.open(), 0);
        TRec t;
        t.FTs_Name = "kept";
        ASSERT_EQ(core.insert_trec(&t, 1), 1);
        URec u[1];
        ASSERT_EQ(core.select_urec(u, nullptr), 1);
        u[0].FUs_Pas = "changed";
        ASSERT_EQ(core.update_urec(u, 1), 1);
        core.set_shop_name("shop");
        core.close();
    }
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

TEST_F(StoreFile, EmptyFileCountsAsExistingAndEveryQueryFails) {
    { std::ofstream touch("__vorn__", std::ios::binary); }
    CountingCore core;
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.schema_runs, 0);
    TRec t[1];
    SRec s[1];
    double out[2] = {7, 7};
    EXPECT_EQ(core.get_trec_count(nullptr), -1);
    EXPECT_EQ(core.select_trec(t, nullptr), -1);
    EXPECT_EQ(core.get_srec_count(nullptr), -1);
    EXPECT_EQ(core.select_srec(s, nullptr), -1);
    EXPECT_EQ(core.get_srec_total(out, "FSd_RetP", "FSd_OriP", nullptr), -1);
    EXPECT_EQ(core.get_srec_alarm_count(5), -1);
    EXPECT_EQ(core.select_srec_alarm(s, 5), -1);
    SRec u = unit("c", "n");
    EXPECT_EQ(core.insert_srec(&u, 1), -1);
    EXPECT_EQ(core.get_shop_name(), "");
    EXPECT_FALSE(core.get_run_alarm());
    EXPECT_EQ(core.get_alarm_limit(), 0);
    core.close();
}

TEST_F(StoreFile, SchemaFailureIsNotReportedByOpen) {
    BrokenSchemaCore core;
    EXPECT_EQ(core.open(), 0);
    EXPECT_EQ(core.get_trec_count(nullptr), -1);
    EXPECT_EQ(core.get_arec_count(nullptr), -1);
    core.close();
}

TEST_F(StoreFile, CloseTwiceIsHarmlessAndReopenWorks) {
    Core core;
    EXPECT_EQ(core.close(), 0); // never opened
    ASSERT_EQ(core.open(), 0);
    Core copy = core; // shares the connection
    EXPECT_EQ(copy.get_urec_count(nullptr), 1);
    EXPECT_EQ(core.close(), 0);
    EXPECT_EQ(core.is_open(), 0);
    EXPECT_EQ(core.close(), 0);
    EXPECT_EQ(core.is_open(), 0);
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.get_urec_count(nullptr), 1);
    core.close();
}

TEST_F(StoreFile, ExecSqlReturnsSqliteCode) {
    Core core;
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.exec_sql("UPDATE Type SET FTs_Name='x' WHERE FTi_Id=1;"), 0);
    EXPECT_NE(core.exec_sql("UPDATE Nowhere SET a=1;"), 0);
    EXPECT_NE(core.exec_sql("THIS IS NOT SQL"), 0);
    EXPECT_EQ(core.get_trec_count("FTs_Name='x'"), 1);
    core.close();
}

TEST_F(StoreFile, FileOnDiskIsEncrypted) {
    const std::string marker = "PlainMarker-8431-visible";
    {
        Core core;
        ASSERT_EQ(core.open(), 0);
        TRec t;
        t.FTs_Name = marker;
        ASSERT_EQ(core.insert_trec(&t, 1), 1);
        core.set_shop_addr(marker.c_str());
        core.close();
    }
    std::string bytes = read_file("__vorn__");
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_NE(bytes.compare(0, 15, "SQLite format 3"), 0);
    EXPECT_EQ(bytes.find(marker), std::string::npos);
    EXPECT_EQ(bytes.find("CREATE TABLE"), std::string::npos);

    Core core;
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(core.get_shop_addr(), marker);
    core.close();
}

TEST_F(Store, EnsureIndexesKeepsAnswersAndFile) {
    std::vector<SRec> units;
    for (int i = 0; i < 60; ++i) {
        int64_t sto = vorn::local_time_of(2024, 1 + i % 12, 1 + i % 28, 10, 0, 0);
        bool sold = i % 3 == 0;
        units.push_back(unit("C" + std::to_string(i % 7), "n", sold ? 1 : 0, 10.0 + i, sold ? 9.0 + i : 0.0, sto,
                             sold ? sto + 3600 : 0));
        units.back().FSi_Type = 1 + i % 4;
    }
    ASSERT_EQ(core.insert_srec(units.data(), (int)units.size()), 60);
    vorn::VIPRec v = member("V1", "m");
    ASSERT_EQ(core.insert_viprec(&v, 1), 1);

    auto answers = [](Core& c) {
        std::vector<double> a;
        a.push_back(c.get_srec_count("FSs_Code='C3'"));
        a.push_back(c.get_srec_count("FSi_Flag=0 AND FSs_Code='C3'"));
        a.push_back(c.get_srec_alarm_count(9));
        a.push_back(c.get_viprec_count("FVs_Code='V1'"));
        double t[2] = {0, 0};
        EXPECT_EQ(c.get_srec_total(t, "FSd_ReaP", "FSd_OriP",
                                   "FSi_Flag=1 AND FSt_SalT>='2024-03-01 00:00:00' AND FSt_SalT<'2024-09-01 00:00:00'"),
                  1);
        a.push_back(t[0]);
        a.push_back(t[1]);
        EXPECT_EQ(c.get_srec_total(t, "FSd_ReaP", nullptr, "FSi_Type=2 AND FSi_Flag=1"), 1);
        a.push_back(t[0]);
        for (const SRec& s : all_units(c, "FSi_Flag=0 AND FSs_Code='C2' ORDER BY FSi_Id DESC")) a.push_back(s.FSi_Id);
        return a;
    };
    std::vector<double> before = answers(core);
    ASSERT_GT(before[0], 0);
    EXPECT_EQ(core.ensure_indexes(), 0);
    EXPECT_EQ(core.ensure_indexes(), 0);
    EXPECT_EQ(answers(core), before);
    core.close();

    Core again;
    ASSERT_EQ(again.open(), 0);
    EXPECT_EQ(answers(again), before);
    SRec extra = unit("C3", "n");
    EXPECT_EQ(again.insert_srec(&extra, 1), 1);
    EXPECT_EQ(again.get_srec_count("FSs_Code='C3'"), before[0] + 1);
    EXPECT_EQ(again.ensure_indexes(), 0);
    again.close();
}

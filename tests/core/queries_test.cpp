// Counts and selects, sums, the stock alarm, the settings and concurrent selects.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "core_fixture.h"

using namespace vorntest;
using namespace vorn;

namespace {

class Queries : public StoreTest {
protected:
    // Codes A (3 in stock), B (1 in stock, 2 sold), C (2 sold), D (6 in stock).
    void SetUp() override {
        StoreTest::SetUp();
        const int64_t sto = local_time_of(2024, 1, 10, 9, 0, 0), sal = local_time_of(2024, 2, 3, 15, 30, 0);
        std::vector<SRec> u(3, unit("A", "apple", 0, 10, 0, sto));
        u.push_back(unit("B", "bean", 0, 20, 0, sto));
        u.push_back(unit("B", "bean", 1, 20, 18.5, sto, sal));
        u.push_back(unit("B", "bean", 1, 20, 19, sto, sal + 86400 * 40));
        u.push_back(unit("C", "corn", 1, 5, 4.5, sto, sal));
        u.push_back(unit("C", "corn", 1, 5, 5, sto, sal));
        u.insert(u.end(), 6, unit("D", "date", 0, 7, 0, sto));
        ASSERT_EQ(core.insert_srec(u.data(), static_cast<int>(u.size())), 14);
    }
};

} // namespace

TEST_F(Queries, CountsAndSelects) {
    EXPECT_EQ(core.get_srec_count(nullptr), 14);
    EXPECT_EQ(core.get_srec_count(""), 14);
    EXPECT_EQ(core.get_srec_count("FSi_Flag=0 AND FSs_Code='B'"), 1);
    std::vector<SRec> rows = all_units(core, "");
    ASSERT_EQ(rows.size(), 14u);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].FSi_Id, static_cast<int>(i) + 1); // id order
    const SRec& b = rows[4];
    EXPECT_EQ(b.FSs_Code + b.FSs_Name + b.FSs_Size, "BbeanM");
    EXPECT_EQ(std::vector<double>(
                  {b.FSd_OriP, b.FSd_RetP, b.FSd_MemP, b.FSd_GolP, b.FSd_WhoP, b.FSd_SpeP, b.FSd_ReaP}),
              std::vector<double>({5, 20, 19, 18, 17, 16, 18.5}));
    EXPECT_EQ(b.FSi_Flag + b.FSi_Type * 10 + b.FSi_Supplier * 100, 111);

    // Nothing matches: 0, and the array keeps what it held.
    SRec keep[1];
    keep[0].FSi_Id = -5;
    keep[0].FSs_Code = "untouched";
    VIPRec vk[1];
    vk[0].FVs_Code = "untouched";
    EXPECT_EQ(core.get_srec_count("FSs_Code='none'"), 0);
    EXPECT_EQ(core.select_srec(keep, "FSs_Code='none'"), 0);
    EXPECT_EQ(core.select_viprec(vk, "FVi_Id=1"), 0);
    EXPECT_EQ(keep[0].FSi_Id, -5);
    EXPECT_EQ(keep[0].FSs_Code + vk[0].FVs_Code, "untoucheduntouched");

    // An ordering clause rides on the condition.
    std::vector<SRec> desc = all_units(core, "FSi_Flag=0 ORDER BY FSs_Code DESC, FSi_Id DESC");
    ASSERT_EQ(desc.size(), 10u);
    EXPECT_EQ(desc.front().FSs_Code + std::to_string(desc.front().FSi_Id), "D14");
    EXPECT_EQ(desc.back().FSs_Code + std::to_string(desc.back().FSi_Id), "A1");

    // Conditions the database rejects.
    SRec any[20];
    ARec a[10];
    EXPECT_EQ(core.get_srec_count("no_such_column=1"), -1);
    EXPECT_EQ(core.select_srec(any, "FSs_Code='A"), -1);
    EXPECT_EQ(core.get_trec_count("FTi_Id=="), -1);
    EXPECT_EQ(core.get_sprec_count("x"), -1);
    EXPECT_EQ(core.get_urec_count("1 2"), -1);
    EXPECT_EQ(core.get_viprec_count("FVs_Code=)"), -1);
    EXPECT_EQ(core.select_arec(a, "nope=1"), -1);
}

TEST_F(Queries, Totals) {
    double out[2] = {-1, -1};
    EXPECT_EQ(core.get_srec_total(out, "FSd_ReaP", "FSd_OriP", "FSi_Flag=1"), 1);
    EXPECT_DOUBLE_EQ(out[0], 18.5 + 19 + 4.5 + 5);
    EXPECT_DOUBLE_EQ(out[1], 20);
    EXPECT_EQ(core.get_srec_total(
                  out, "FSd_ReaP", "FSd_OriP",
                  "FSi_Flag=1 AND FSt_SalT>='2024-02-01 00:00:00' AND FSt_SalT<'2024-03-01 00:00:00'"),
              1);
    EXPECT_DOUBLE_EQ(out[0], 18.5 + 4.5 + 5);
    EXPECT_DOUBLE_EQ(out[1], 15);
    // One expression writes only the one double it was given.
    double single = -1;
    EXPECT_EQ(core.get_srec_total(&single, "FSd_ReaP-FSd_OriP", nullptr, "FSs_Code='B' AND FSi_Flag=1"), 1);
    EXPECT_DOUBLE_EQ(single, 13.5 + 14);
    EXPECT_EQ(core.get_srec_total(&single, "FSd_RetP", nullptr, nullptr), 1);
    EXPECT_DOUBLE_EQ(single, 30 + 60 + 10 + 42);

    out[0] = out[1] = 99;
    EXPECT_EQ(core.get_srec_total(out, "FSd_ReaP", "FSd_OriP", "FSs_Code='none'"), 1);
    EXPECT_TRUE(out[0] == 0.0 && out[1] == 0.0);
    out[0] = out[1] = 99;
    EXPECT_EQ(core.get_srec_total(out, nullptr, "FSd_OriP", nullptr), -1);
    EXPECT_TRUE(out[0] == 99 && out[1] == 99);
    EXPECT_EQ(core.get_srec_total(out, "no_such_column", nullptr, nullptr), -1);
    EXPECT_EQ(core.get_srec_total(out, "FSd_ReaP", "FSd_OriP", "FSi_Flag=="), -1);
}

TEST_F(Queries, StockAlarm) {
    SRec out[8];
    for (SRec& s : out)
        s.FSi_Id = -7;
    EXPECT_EQ(core.get_srec_alarm_count(1), 0);
    EXPECT_EQ(core.select_srec_alarm(out, 1), 0);
    EXPECT_EQ(core.get_srec_alarm_count(2), 1); // B
    EXPECT_EQ(core.get_srec_alarm_count(4), 2); // A, B; C has nothing in stock
    EXPECT_EQ(core.get_srec_alarm_count(7), 3); // A, B, D
    ASSERT_EQ(core.select_srec_alarm(out, 4), 2);
    std::sort(out, out + 2, [](const SRec& a, const SRec& b) { return a.FSs_Code < b.FSs_Code; });
    EXPECT_EQ(out[0].FSs_Code + out[0].FSs_Name + out[0].FSs_Remark, "Aapple3");
    EXPECT_EQ(out[1].FSs_Code + out[1].FSs_Name + out[1].FSs_Remark, "Bbean1");
    EXPECT_EQ(out[0].FSi_Id, -7);
    EXPECT_EQ(out[2].FSs_Code, "");

    std::vector<SRec> b = all_units(core, "FSs_Code='B' AND FSi_Flag=0");
    ASSERT_EQ(b.size(), 1u);
    b[0].FSi_Flag = 1; // selling the last unit takes the code off the list
    b[0].FSt_SalT = local_time_of(2024, 5, 1, 10, 0, 0);
    ASSERT_EQ(core.update_srec(b.data(), 1), 1);
    EXPECT_EQ(core.get_srec_alarm_count(4), 1);
}

TEST_F(StoreTest, Settings) {
    EXPECT_FALSE(core.get_run_alarm() || core.get_run_birt_alarm()); // fresh rows are empty
    EXPECT_EQ(core.get_alarm_limit() + core.get_birt_alarm_limit(), 0);
    EXPECT_EQ(core.get_shop_name(), "");

    const std::string name = gbk("老王's 小店");
    core.set_shop_name(name.c_str());
    core.set_shop_phone("0755-1234567");
    core.set_shop_addr(gbk("深圳市南山区").c_str());
    core.set_shop_pa(gbk("欢迎再次光临").c_str());
    core.set_run_alarm(true);
    core.set_alarm_limit(12);
    core.set_run_birt_alarm(true);
    core.set_birt_alarm_limit(7);
    EXPECT_EQ(core.get_shop_name(), name);
    EXPECT_EQ(core.get_shop_phone(), "0755-1234567");
    EXPECT_EQ(core.get_shop_addr(), gbk("深圳市南山区"));
    EXPECT_EQ(core.get_shop_pa(), gbk("欢迎再次光临"));
    EXPECT_TRUE(core.get_run_alarm() && core.get_run_birt_alarm());
    EXPECT_EQ(core.get_alarm_limit(), 12);
    EXPECT_EQ(core.get_birt_alarm_limit(), 7);

    ARec a[9];
    ASSERT_EQ(core.select_arec(a, nullptr), 9);
    const char* labels[9] = {"店铺名称",     "联系电话",     "地址",         "打印附加信息", "",
                             "启动库存报警", "库存报警下限", "启动生日提醒", "生日提醒下限"};
    const std::string values[9] = {
        name, "0755-1234567", gbk("深圳市南山区"), gbk("欢迎再次光临"), "", "1", "12", "1", "7"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(a[i].FAs_Name, gbk(labels[i])) << "row " << i + 1;
        EXPECT_EQ(a[i].FAs_Value, values[i]) << "row " << i + 1;
    }

    core.set_run_alarm(false);
    core.set_run_birt_alarm(false);
    core.set_alarm_limit(-3);
    core.set_birt_alarm_limit(0);
    EXPECT_FALSE(core.get_run_alarm() || core.get_run_birt_alarm());
    EXPECT_EQ(core.get_alarm_limit(), -3);
    EXPECT_EQ(core.get_birt_alarm_limit(), 0);
    EXPECT_EQ(core.get_arec_count("(FAi_Id IN (6,8) AND FAs_Value='0') OR (FAi_Id=7 AND FAs_Value='-3')"), 3);
    // Only "1" is on, and an empty number is 0.
    ASSERT_EQ(core.exec_sql("UPDATE Addition SET FAs_Value='yes' WHERE FAi_Id=6;"
                            "UPDATE Addition SET FAs_Value='' WHERE FAi_Id=9;"),
              0);
    EXPECT_FALSE(core.get_run_alarm());
    EXPECT_EQ(core.get_birt_alarm_limit(), 0);
}

TEST_F(StoreTest, ConcurrentSelectsKeepTheirOwnRows) {
    std::vector<SRec> u;
    for (int i = 0; i < 200; ++i)
        u.push_back(unit("X", "x" + std::to_string(i)));
    for (int i = 0; i < 150; ++i)
        u.push_back(unit("Y", "y" + std::to_string(i)));
    ASSERT_EQ(core.insert_srec(u.data(), static_cast<int>(u.size())), 350);
    VIPRec m = member("M", "m");
    ASSERT_EQ(core.insert_viprec(&m, 1), 1);

    // Every thread goes on until each has done a fair number of rounds while the
    // others ran, so the selects always meet, however the threads are scheduled;
    // only a machine stalled for a minute stops them earlier, and that fails.
    constexpr int kRounds = 300;
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::atomic<int> rounds[2] = {0, 0};
    auto run = [&](char code, int expect, int first_id, std::atomic<int>& done) {
        const std::string cond = std::string("FSs_Code='") + code + "'";
        std::vector<SRec> rows(expect + 8);
        for (; !stop; ++done) {
            double t = 0;
            bad += core.get_srec_count(cond.c_str()) != expect;
            bad += core.get_srec_total(&t, "FSd_RetP", nullptr, cond.c_str()) != 1 || t != 10.0 * expect;
            if (core.select_srec(rows.data(), cond.c_str()) != expect) {
                ++bad;
                continue;
            }
            for (int i = 0; i < expect; ++i)
                bad += rows[i].FSi_Id != first_id + i ||
                       rows[i].FSs_Name != std::string(1, static_cast<char>(code + 32)) + std::to_string(i);
        }
    };
    std::thread a(run, 'X', 200, 1, std::ref(rounds[0])), b(run, 'Y', 150, 201, std::ref(rounds[1]));
    const int start[2] = {rounds[0], rounds[1]};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int mine = 0;
    auto enough = [&] { return mine >= kRounds && rounds[0] - start[0] >= kRounds && rounds[1] - start[1] >= kRounds; };
    for (; !enough() && std::chrono::steady_clock::now() < deadline; ++mine) {
        VIPRec v[1];
        bad += core.select_viprec(v, nullptr) != 1 || v[0].FVs_Code != "M";
        bad += core.get_srec_alarm_count(1000) != 2;
    }
    const bool met = enough();
    stop = true;
    a.join();
    b.join();
    EXPECT_TRUE(met) << mine << ", " << rounds[0] - start[0] << " and " << rounds[1] - start[1]
                     << " rounds within a minute";
    EXPECT_EQ(bad.load(), 0);
}

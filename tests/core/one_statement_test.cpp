// Every call that takes condition or expression text runs exactly one
// statement: text that carries a second one is refused whole and runs nothing.
#include <functional>

#include "core_fixture.h"

using namespace vorntest;
using namespace vorn;

namespace {

// A store where every table holds rows, so a smuggled DELETE would show.
class OneStatement : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        std::vector<SRec> u = {unit("A", "a"), unit("A", "a", 1, 10, 9, 1300000000, 1300000500),
                               unit("B", "b")};
        VIPRec m = member("M1", "m");
        ASSERT_EQ(core.insert_srec(u.data(), 3) + core.insert_viprec(&m, 1), 4);
        before_ = counts();
        ASSERT_EQ(std::count(before_.begin(), before_.end(), 0), 0);
    }
    std::vector<int> counts() {
        return {core.get_srec_count(nullptr), core.get_trec_count(nullptr), core.get_sprec_count(nullptr),
                core.get_urec_count(nullptr), core.get_arec_count(nullptr), core.get_viprec_count(nullptr)};
    }
    std::vector<int> before_;
};

template <class R> std::function<int(Core&, const char*)> selecting(int (Core::*select)(R*, const char*)) {
    return [select](Core& c, const char* cond) {
        std::vector<R> room(64); // more than any table holds
        return (c.*select)(room.data(), cond);
    };
}

} // namespace

TEST_F(OneStatement, ConditionCarryingASecondStatementIsRefused) {
    const std::pair<const char*, std::function<int(Core&, const char*)>> calls[] = {
        {"get_srec_count", &Core::get_srec_count},
        {"get_trec_count", &Core::get_trec_count},
        {"get_sprec_count", &Core::get_sprec_count},
        {"get_urec_count", &Core::get_urec_count},
        {"get_arec_count", &Core::get_arec_count},
        {"get_viprec_count", &Core::get_viprec_count},
        {"select_srec", selecting(&Core::select_srec)},
        {"select_trec", selecting(&Core::select_trec)},
        {"select_sprec", selecting(&Core::select_sprec)},
        {"select_urec", selecting(&Core::select_urec)},
        {"select_arec", selecting(&Core::select_arec)},
        {"select_viprec", selecting(&Core::select_viprec)},
        {"get_srec_total",
         [](Core& c, const char* s) {
             double o[2];
             return c.get_srec_total(o, "FSd_ReaP", "FSd_OriP", s);
         }},
        {"get_srec_total e1",
         [](Core& c, const char* s) {
             double o[1];
             return c.get_srec_total(o, "FSd_ReaP", nullptr, s);
         }},
    };
    for (const auto& [name, run] : calls) {
        for (const char* table : {"Store", "Type", "Supplier", "User", "Addition", "VIP"}) {
            const std::string t = table;
            for (const std::string& cond :
                 {"1; DELETE FROM " + t, "1 ORDER BY 1;DELETE FROM " + t + "; -- "}) {
                EXPECT_EQ(run(core, cond.c_str()), -1) << name << " ran: " << cond;
                ASSERT_EQ(counts(), before_) << name << " let through: " << cond;
            }
        }
    }
}

TEST_F(OneStatement, TotalExpressionsCarryNoSecondStatement) {
    double out[2] = {-1, -1};
    for (const char* e :
         {"1); DELETE FROM Supplier; SELECT (1", "FSd_ReaP) FROM Store;DELETE FROM Supplier;SELECT (1"}) {
        EXPECT_EQ(core.get_srec_total(out, e, nullptr, nullptr), -1) << e;
        EXPECT_EQ(core.get_srec_total(out, e, "FSd_OriP", "FSi_Flag=1"), -1) << e;
        EXPECT_EQ(core.get_srec_total(out, "FSd_ReaP", e, nullptr), -1) << e;
        ASSERT_EQ(counts(), before_) << e;
    }
    EXPECT_TRUE(out[0] == -1 && out[1] == -1) << "a refused total wrote its output";
}

// Blanks, comments and stray semicolons after the one statement are not a
// second one; a harmless second statement still is.
TEST_F(OneStatement, TrailingSemicolonsAndCommentsStillAnswer) {
    const int in_stock = core.get_srec_count("FSi_Flag=0");
    double plain[2] = {0, 0};
    ASSERT_EQ(core.get_srec_total(plain, "FSd_RetP", "FSd_OriP", "FSi_Flag=0"), 1);
    ASSERT_TRUE(in_stock == 2 && plain[0] > 0);
    for (const char* cond :
         {"FSi_Flag=0;", "FSi_Flag=0 ; ;", "FSi_Flag=0; -- in stock", "FSi_Flag=0 /* x */;"}) {
        EXPECT_EQ(core.get_srec_count(cond), in_stock) << cond;
        EXPECT_EQ(all_units(core, cond).size(), static_cast<size_t>(in_stock)) << cond;
        double t[2] = {0, 0};
        EXPECT_EQ(core.get_srec_total(t, "FSd_RetP", "FSd_OriP", cond), 1) << cond;
        EXPECT_TRUE(t[0] == plain[0] && t[1] == plain[1]) << cond;
    }
    EXPECT_EQ(core.get_srec_count("FSi_Flag=0; SELECT 1"), -1);
    EXPECT_EQ(core.get_srec_count("FSi_Flag=0; not sql at all"), -1);
    EXPECT_EQ(counts(), before_);

    // Suppliers are read into their own record type, not through the type's.
    SPRec s[2];
    const std::string name = gbk("华润万家") + std::string(300, 'x');
    s[0].FSPs_Name = name;
    ASSERT_EQ(core.insert_sprec(s, 1), 1);
    s[0] = SPRec();
    ASSERT_EQ(core.select_sprec(s, "FSPi_Id>1;"), 1);
    EXPECT_EQ(s[0].FSPi_Id, 2);
    EXPECT_EQ(s[0].FSPs_Name, name);
}

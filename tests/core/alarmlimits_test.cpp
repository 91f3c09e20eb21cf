// The stock alarm by article: sold-out codes count, a code's own limit wins over
// the shop's, written-off units are no stock, the latest unit names the code and
// its supplier, and the list comes by supplier.
#include <string>
#include <vector>

#include "core_fixture.h"
#include "vorn/alarmlimits.h"

using namespace vorntest;
using namespace vorn;

namespace {

class AlarmLimitsTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        // Suppliers 2 and 3 beside the built-in 1 (未指定).
        SPRec s[2];
        s[0].FSPs_Name = gbk("清泉");
        s[1].FSPs_Name = gbk("海天");
        ASSERT_EQ(core.insert_sprec(s, 2), 2);
    }
    void put(const std::string& code, const std::string& name, int n, int flag, int supplier) {
        std::vector<SRec> units(static_cast<size_t>(n), unit(code, gbk(name), flag));
        for (SRec& u : units)
            u.FSi_Supplier = supplier;
        ASSERT_EQ(core.insert_srec(units.data(), n), n);
    }
    std::vector<std::string> low(int shop_limit) {
        std::vector<AlarmLine> out;
        const int n = limits.select_low(shop_limit, out);
        EXPECT_EQ(n, static_cast<int>(out.size()));
        EXPECT_EQ(limits.count_low(shop_limit), n);
        std::vector<std::string> codes;
        for (const AlarmLine& l : out)
            codes.push_back(l.code);
        return codes;
    }
    AlarmLimits limits{core};
};

TEST_F(AlarmLimitsTest, SoldOutAndOwnLimitsAgainstTheShopLimit) {
    put("A", "酱油", 2, 0, 3); // 2 in stock
    put("B", "料酒", 4, 1, 2); // sold out
    put("C", "米醋", 5, 0, 2); // 5 in stock, its own limit 8
    put("D", "食盐", 1, 0, 3); // 1 in stock, its own limit 0: never low
    put("E", "味精", 3, 2, 2); // written off only: no longer sold here
    put("F", "白糖", 3, 0, 1); // 3 in stock
    put("F", "白糖", 2, 2, 1); // written off, not stock
    ASSERT_TRUE(limits.set("C", 8));
    ASSERT_TRUE(limits.set("D", 0));
    // By supplier name (GBK order: 海天 before 清泉 before 未指定), then code.
    // A sold-out code is low from a limit of 1 (0 < 1); D never is.
    const struct {
        int shop;
        std::vector<std::string> codes;
    } cases[] = {
        {0, {"C"}},
        {1, {"B", "C"}},
        {3, {"A", "B", "C"}},
        {4, {"A", "B", "C", "F"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(low(c.shop), c.codes) << "shop limit " << c.shop;
}

TEST_F(AlarmLimitsTest, LineCarriesLatestUnitSupplierAndTheLimitUsed) {
    put("B", "旧名", 2, 1, 2);
    put("B", "料酒", 1, 1, 3); // the latest unit: its name and supplier speak
    put("C", "米醋", 1, 0, 2);
    ASSERT_TRUE(limits.set("C", 5));
    std::vector<AlarmLine> out;
    ASSERT_EQ(limits.select_low(2, out), 2);
    const struct {
        std::string code, name, supplier;
        int in_stock, limit;
        bool own;
    } want[] = {
        {"B", "料酒", "海天", 0, 2, false},
        {"C", "米醋", "清泉", 1, 5, true},
    };
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(out[i].code, want[i].code);
        EXPECT_EQ(out[i].name, gbk(want[i].name));
        EXPECT_EQ(out[i].supplier_name, gbk(want[i].supplier));
        EXPECT_EQ(out[i].in_stock, want[i].in_stock);
        EXPECT_EQ(out[i].limit, want[i].limit);
        EXPECT_EQ(out[i].own_limit, want[i].own);
    }
}

TEST_F(AlarmLimitsTest, SetReplacesClearReturnsToTheShopLimitQuotesAreData) {
    const std::string odd = "X'Y";
    put(odd, "怪码", 3, 0, 1);
    EXPECT_TRUE(low(2).empty());
    ASSERT_TRUE(limits.set(odd, 4));
    EXPECT_EQ(low(2), std::vector<std::string>{odd});
    ASSERT_TRUE(limits.set(odd, 1));
    EXPECT_TRUE(low(2).empty());
    std::vector<AlarmLimitRec> own;
    ASSERT_EQ(limits.select(own), 1);
    EXPECT_EQ(own[0].code, odd);
    EXPECT_EQ(own[0].limit, 1);
    ASSERT_TRUE(limits.clear(odd));
    EXPECT_EQ(limits.select(own), 0);
    EXPECT_EQ(low(4), std::vector<std::string>{odd});
    EXPECT_FALSE(limits.set("", 3));
}

TEST_F(AlarmLimitsTest, ClosedStoreFails) {
    core.close();
    std::vector<AlarmLine> out(1);
    EXPECT_EQ(limits.select_low(3, out), -1);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(limits.count_low(3), -1);
    EXPECT_FALSE(limits.set("A", 1));
}

} // namespace

// Parked sales: two parked, the store closed and opened again, one taken back
// and sold, the other still parked with its units still in stock; refusals;
// the order of the list; a sale taken back only once.
#include "core_fixture.h"
#include "vorn/heldsales.h"
#include "vorn/journal.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kMorning = local_time_of(2026, 12, 7, 9, 0, 0);
const int64_t kLater = local_time_of(2026, 12, 7, 9, 5, 0);
const int64_t kSold = local_time_of(2026, 12, 7, 9, 10, 0);

class HeldSalesTest : public StoreTest {
protected:
    std::vector<SRec> stock(const std::string& code, int n) {
        std::vector<SRec> units(static_cast<size_t>(n), unit(code, "name " + code, 0, 12.5));
        EXPECT_EQ(core.insert_srec(units.data(), n), n);
        return all_units(core, ("FSs_Code='" + code + "' ORDER BY FSi_Id").c_str());
    }
    static HeldSale sale(const std::vector<SRec>& units, int64_t t, const std::string& member = {}) {
        HeldSale s;
        s.time = t;
        s.cashier = "anna";
        s.member_code = member;
        s.member_id = member.empty() ? 0 : 7;
        s.member_name = member.empty() ? "" : gbk("张三");
        for (size_t i = 0; i < units.size(); ++i)
            s.lines.push_back({units[i].FSi_Id, units[i].FSs_Code, static_cast<int>(i / 2), 100 + 10 * int64_t(i)});
        return s;
    }
    int in_stock() { return core.get_srec_count("FSi_Flag=0"); }
};

TEST_F(HeldSalesTest, ParkedSalesOutliveTheStoreAndOneIsSoldWhileTheOtherWaits) {
    const std::vector<SRec> a = stock("A", 3), b = stock("B", 2);
    HeldSales held(core);
    HeldSale approved = sale(a, kMorning, "M7");
    approved.approver = gbk("老板");
    const int64_t first = held.park(approved);
    const int64_t second = held.park(sale(b, kLater));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);

    core.close();
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(in_stock(), 5) << "parking changes no unit";

    std::vector<HeldSale> parked;
    ASSERT_EQ(held.list(parked), 2);
    EXPECT_EQ(parked[0].id, second) << "most recent first";
    EXPECT_EQ(parked[1].units, 3);
    EXPECT_EQ(parked[1].due, 100 + 110 + 120);
    EXPECT_EQ(parked[1].member_code, "M7");
    EXPECT_EQ(parked[1].member_name, gbk("张三"));
    EXPECT_EQ(parked[1].time, kMorning);
    EXPECT_TRUE(parked[1].lines.empty());

    HeldSale back;
    ASSERT_EQ(held.take(first, back), 1);
    ASSERT_EQ(back.lines.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.lines[i].unit, a[i].FSi_Id);
        EXPECT_EQ(back.lines[i].code, "A");
        EXPECT_EQ(back.lines[i].row, static_cast<int>(i / 2));
        EXPECT_EQ(back.lines[i].price, 100 + 10 * int64_t(i));
    }
    EXPECT_EQ(back.member_id, 7);
    EXPECT_EQ(back.cashier, "anna");
    EXPECT_EQ(back.approver, gbk("老板")) << "a discount's approval comes back with its prices";

    CheckoutRequest r;
    r.cashier = "anna";
    for (const HeldUnit& u : back.lines) {
        SRec s;
        ASSERT_EQ(core.select_srec(&s, ("FSi_Id=" + std::to_string(u.unit)).c_str()), 1);
        s.FSi_Flag = 1;
        s.FSt_SalT = kSold;
        s.FSd_ReaP = static_cast<double>(u.price) / 10;
        r.units.push_back(s);
    }
    r.payments = {{kPayCash, 400}};
    EXPECT_EQ(Journal(core).checkout(r).status, CheckoutStatus::Done);

    EXPECT_EQ(held.take(first, back), 0) << "taken once only";
    ASSERT_EQ(held.list(parked), 1);
    EXPECT_EQ(parked[0].id, second);
    EXPECT_EQ(core.get_srec_count("FSi_Flag=0 AND FSs_Code='B'"), 2) << "the other sale's units wait in stock";
    EXPECT_EQ(core.get_srec_count("FSi_Flag=1 AND FSs_Code='A'"), 3);
    EXPECT_EQ(held.count(), 1);
}

TEST_F(HeldSalesTest, RefusesWhatCannotBeTakenBackAndWritesNothing) {
    const std::vector<SRec> a = stock("A", 1);
    HeldSales held(core);
    struct Case {
        const char* what;
        HeldSale sale;
    };
    HeldSale bad = sale(a, kMorning);
    bad.lines[0].unit = -1;
    const Case cases[] = {{"no lines", sale({}, kMorning)}, {"unit id below 0", bad}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(held.park(c.sale), -1);
        EXPECT_EQ(held.count(), 0);
    }
    HeldSale none;
    EXPECT_EQ(held.take(12345, none), 0);
}

TEST_F(HeldSalesTest, SameTimeListsTheLaterParkedFirstAndQuotesAreData) {
    const std::vector<SRec> a = stock("A", 1);
    HeldSales held(core);
    HeldSale s = sale(a, kMorning);
    s.cashier = "o'brien";
    const int64_t x = held.park(s), y = held.park(s);
    std::vector<HeldSale> parked;
    ASSERT_EQ(held.list(parked), 2);
    EXPECT_EQ(parked[0].id, y);
    EXPECT_EQ(parked[1].id, x);
    EXPECT_EQ(parked[0].cashier, "o'brien");
}

TEST_F(HeldSalesTest, TablesComeBackWhereMissing) {
    HeldSales held(core);
    ASSERT_EQ(core.exec_sql("DROP TABLE HeldSaleLine;DROP TABLE HeldSale;"), 0);
    EXPECT_EQ(held.count(), -1);
    EXPECT_EQ(held.ensure_tables(), 0);
    EXPECT_EQ(held.count(), 0);
}

} // namespace

// Shifts: opening with the usual float, the drawer, the hand-over and its cash
// against what the journal says came in; shifts left open at a crash; a day's
// report over its shifts with the goods written off; the shop's limits.
#include <algorithm>
#include <functional>

#include "core_fixture.h"
#include "vorn/journal.h"
#include "vorn/shifts.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kOpen = local_time_of(2026, 12, 7, 8, 0, 0);
const int64_t kSold = local_time_of(2026, 12, 7, 9, 30, 0);
const int64_t kBack = local_time_of(2026, 12, 7, 15, 0, 0);
const int64_t kClose = local_time_of(2026, 12, 7, 20, 0, 0);
const int64_t kNextDay = local_time_of(2026, 12, 8, 8, 0, 0);

class ShiftTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(journal.ensure_tables(), 0);
        ASSERT_EQ(shifts.ensure_tables(), 0);
    }

    // n units of the code in stock at the retail price, bought at cost.
    std::vector<SRec> stock(const std::string& code, int n, double retail, double cost = 5.0) {
        SRec u = unit(code, "name " + code, 0, retail);
        u.FSd_OriP = cost;
        std::vector<SRec> units(static_cast<size_t>(n), u);
        EXPECT_EQ(core.insert_srec(units.data(), n), n);
        std::vector<SRec> all = all_units(core, ("FSs_Code='" + code + "' ORDER BY FSi_Id").c_str());
        return std::vector<SRec>(all.end() - n, all.end());
    }

    // Sells the units in the shift at t, each at the price given.
    CheckoutResult sell(std::vector<SRec> units, std::vector<double> prices, std::vector<Payment> pay,
                        int64_t shift, const std::string& cashier, int64_t t = kSold, int points = 0) {
        CheckoutRequest r;
        for (size_t i = 0; i < units.size(); ++i) {
            units[i].FSi_Flag = 1;
            units[i].FSt_SalT = t;
            units[i].FSd_ReaP = prices[i];
        }
        r.units = std::move(units);
        r.cashier = cashier;
        r.payments = std::move(pay);
        r.shift = shift;
        if (points > 0) {
            VIPRec m = member("M1", "m");
            if (core.get_viprec_count("FVs_Code='M1'") == 0) {
                EXPECT_EQ(core.insert_viprec(&m, 1), 1);
            }
            EXPECT_EQ(core.select_viprec(&m, "FVs_Code='M1'"), 1);
            r.member_id = m.FVi_Id;
            r.member_code = m.FVs_Code;
            r.points = points;
        }
        CheckoutResult res = journal.checkout(r);
        EXPECT_EQ(res.status, CheckoutStatus::Done);
        return res;
    }

    ReturnResult give_back(int64_t sale, const std::vector<SRec>& units, bool damaged, int64_t shift,
                           const std::string& cashier) {
        ReturnRequest r;
        r.sale_id = sale;
        for (const SRec& u : units)
            r.units.push_back({u.FSi_Id, damaged});
        r.time = kBack;
        r.cashier = cashier;
        r.approver = "owner";
        r.shift = shift;
        r.all_cash = true;
        ReturnResult res = journal.return_goods(r);
        EXPECT_EQ(res.status, ReturnStatus::Done);
        return res;
    }

    // Everything the shift calls may write, as one comparable text.
    std::string trace() {
        std::string t;
        std::vector<ShiftRecord> all;
        EXPECT_GE(shifts.list_shifts(0, 0, all), 0);
        for (const ShiftRecord& s : all) {
            ShiftReport r;
            EXPECT_EQ(shifts.shift_report(s.id, r), 1);
            t += std::to_string(s.id) + s.cashier + std::to_string(s.opened) + "/" +
                 std::to_string(s.closed) + "/" + std::to_string(s.cash_float) + "/" +
                 std::to_string(s.counted) + s.note + "/" + std::to_string(r.figures.drawer_opens) + ";";
        }
        ShopRules rules;
        EXPECT_EQ(shifts.rules(rules), 1);
        return t + std::to_string(rules.usual_float) + "/" + std::to_string(rules.lowest_rate) +
               (rules.clerk_special ? "y" : "n");
    }

    Journal journal{core};
    Shifts shifts{core};
};

bool has_table(Core& c, const char* name) {
    return c.exec_sql((std::string("SELECT 1 FROM ") + name + " LIMIT 0;").c_str()) == 0;
}

} // namespace

// A scripted day of one cashier: sales by cash, a split, Alipay with a member,
// a card; a return refunded in cash; one drawer opening. Worked by hand:
//   A  2 units (retail 30) at 10.0 and 20.0: due 300, cash 500, change 200, discount 300
//   B  1 unit (retail 50) at 45.5: due 455, WeChat 200 + cash 300, change 45, discount 45
//   C  1 unit at 12.3 to member M1 (12 points): Alipay 123
//   D  1 unit at 10.0: card 100
//   return of A's 10.0 unit: 100 back in cash
// Cash: taken 300 + 255 = 555, refunded 100; expected 5000 + 555 - 100 = 5455.
TEST_F(ShiftTest, ShiftFiguresFollowTheJournal) {
    ShopRules rules;
    rules.usual_float = 5000;
    ASSERT_EQ(shifts.set_rules(rules), 1);
    const int64_t id = shifts.open_shift("alice", kOpen);
    ASSERT_GT(id, 0);
    EXPECT_EQ(shifts.open_shift("alice", kSold), id); // the open one, not a second
    EXPECT_EQ(shifts.current_shift("alice"), id);
    EXPECT_EQ(shifts.current_shift("bob"), 0);

    const std::vector<SRec> a = stock("A", 2, 30.0);
    const CheckoutResult sa = sell(a, {10.0, 20.0}, {{kPayCash, 500}}, id, "alice");
    sell(stock("B", 1, 50.0), {45.5}, {{kPayWeChat, 200}, {kPayCash, 300}}, id, "alice");
    sell(stock("C", 1, 12.3), {12.3}, {{kPayAlipay, 123}}, id, "alice", kSold, 12);
    sell(stock("D", 1, 10.0), {10.0}, {{kPayCard, 100}}, id, "alice");
    give_back(sa.sale_id, {a[0]}, false, id, "alice");
    ASSERT_EQ(shifts.count_drawer_open(id, "alice", kBack), 1);

    ShiftReport r;
    ASSERT_EQ(shifts.shift_report(id, r), 1);
    const ShiftFigures& f = r.figures;
    EXPECT_EQ(r.shift.cashier, "alice");
    EXPECT_EQ(r.shift.opened, kOpen);
    EXPECT_EQ(r.shift.closed, 0);
    EXPECT_EQ(f.sales, 4);
    EXPECT_EQ(f.sales_units, 5);
    EXPECT_EQ(f.sales_amount, 300 + 455 + 123 + 100);
    EXPECT_EQ(f.returns, 1);
    EXPECT_EQ(f.returns_units, 1);
    EXPECT_EQ(f.returns_amount, 100);
    EXPECT_EQ(f.discount, 300 + 45);
    EXPECT_EQ(f.points, 12);
    EXPECT_EQ(f.points_lost, 0);
    EXPECT_EQ(f.by_method[kPayCash], 500 - 200 + 300 - 45 - 100);
    EXPECT_EQ(f.by_method[kPayWeChat], 200);
    EXPECT_EQ(f.by_method[kPayAlipay], 123);
    EXPECT_EQ(f.by_method[kPayCard], 100);
    EXPECT_EQ(f.cash_float, 5000);
    EXPECT_EQ(f.cash_taken, 555);
    EXPECT_EQ(f.cash_refunded, 100);
    EXPECT_EQ(f.expected, 5455);
    EXPECT_FALSE(f.counted_known);
    EXPECT_EQ(f.difference, 0);
    EXPECT_EQ(f.drawer_opens, 1);

    // The methods' net takings add up to the sales less the refunds.
    int64_t net = 0;
    for (int64_t m : f.by_method)
        net += m;
    EXPECT_EQ(net, f.sales_amount - f.returns_amount);

    // A corrected float moves what is expected; the hand-over counts 20 short.
    ASSERT_EQ(shifts.set_float(id, 3000), 1);
    ASSERT_EQ(shifts.close_shift(id, 3435, kClose, "ok"), 1);
    EXPECT_EQ(shifts.close_shift(id, 9999, kClose, "again"), 0);
    EXPECT_EQ(shifts.set_float(id, 1), 0);
    EXPECT_EQ(shifts.count_drawer_open(id, "alice", kClose), 0);
    ASSERT_EQ(shifts.shift_report(id, r), 1);
    EXPECT_EQ(r.shift.closed, kClose);
    EXPECT_EQ(r.shift.counted, 3435);
    EXPECT_EQ(r.shift.note, "ok");
    EXPECT_EQ(r.figures.expected, 3455);
    EXPECT_TRUE(r.figures.counted_known);
    EXPECT_EQ(r.figures.difference, -20);
    EXPECT_EQ(r.figures.drawer_opens, 1);
    EXPECT_EQ(shifts.current_shift("alice"), 0);
    EXPECT_GT(shifts.open_shift("alice", kClose), id);
}

// Counted against expected, both ways: 短款 negative, 长款 positive.
TEST_F(ShiftTest, DifferenceBothWays) {
    struct Case {
        int64_t cash_float, tendered, counted, difference;
        double price;
    } cases[] = {
        {1000, 200, 1150, -50, 20.0}, // 1000 + 200 expected 1200
        {1000, 500, 1250, +50, 20.0}, // change 300 handed back
        {0, 100, 95, 0, 9.5},         // exact
        {500, 100, 400, -195, 9.5},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string who = "c" + std::to_string(i);
        const int64_t id = shifts.open_shift(who, kOpen, c.cash_float);
        ASSERT_GT(id, 0) << i;
        sell(stock("X" + std::to_string(i), 1, 30.0), {c.price}, {{kPayCash, c.tendered}}, id, who);
        ASSERT_EQ(shifts.close_shift(id, c.counted, kClose), 1) << i;
        ShiftReport r;
        ASSERT_EQ(shifts.shift_report(id, r), 1) << i;
        EXPECT_EQ(r.figures.expected, c.cash_float + static_cast<int64_t>(c.price * 10 + 0.5)) << i;
        EXPECT_EQ(r.figures.difference, c.difference) << i;
        EXPECT_EQ(r.figures.counted - r.figures.expected, c.difference) << i;
        ++i;
    }
}

// A shift the program never handed over (it ended on a crash) is closed at the
// next start, noted 未交班 and without a count; the cashier's next sale opens
// a new one.
TEST_F(ShiftTest, ShiftLeftOpenIsClosedAtTheNextStart) {
    const int64_t left = shifts.open_shift("alice", kOpen, 2000);
    const int64_t other = shifts.open_shift("bob", kOpen, 0);
    const int64_t handed = shifts.open_shift("carol", kOpen, 0);
    ASSERT_GT(left, 0);
    ASSERT_EQ(shifts.close_shift(handed, 0, kClose), 1);
    sell(stock("A", 1, 10.0), {10.0}, {{kPayCash, 100}}, left, "alice");
    core.close();

    Core again;
    ASSERT_EQ(again.open(), 0);
    Shifts s(again);
    EXPECT_EQ(s.close_abandoned(kNextDay), 2);
    EXPECT_EQ(s.close_abandoned(kNextDay), 0);
    for (int64_t id : {left, other}) {
        ShiftReport r;
        ASSERT_EQ(s.shift_report(id, r), 1);
        EXPECT_EQ(r.shift.closed, kNextDay);
        EXPECT_EQ(r.shift.note, gbk("未交班"));
        EXPECT_EQ(r.shift.counted, -1);
        EXPECT_FALSE(r.figures.counted_known);
        EXPECT_EQ(r.figures.difference, 0);
    }
    ShiftReport r;
    ASSERT_EQ(s.shift_report(left, r), 1);
    EXPECT_EQ(r.figures.expected, 2100);
    ASSERT_EQ(s.shift_report(handed, r), 1);
    EXPECT_EQ(r.shift.closed, kClose); // handed over: left alone
    EXPECT_EQ(r.shift.counted, 0);
    EXPECT_EQ(s.current_shift("alice"), 0);
    const int64_t next = s.open_shift("alice", kNextDay);
    EXPECT_GT(next, handed);
    EXPECT_EQ(s.shift_report(next + 1, r), 0);
    again.close();
}

// A day over two cashiers' shifts and a sale made outside any shift; a damaged
// return counted at what the units were bought for; the next day apart.
TEST_F(ShiftTest, DayReportOverItsShifts) {
    const int64_t a = shifts.open_shift("alice", kOpen, 1000);
    const int64_t b = shifts.open_shift("bob", kOpen + 60, 500);
    sell(stock("A", 1, 20.0), {20.0}, {{kPayCash, 200}}, a, "alice");
    const std::vector<SRec> bu = stock("B", 3, 10.0, 7.3);
    const CheckoutResult sb = sell(bu, {10.0, 10.0, 10.0}, {{kPayWeChat, 100}, {kPayCash, 250}}, b, "bob");
    give_back(sb.sale_id, {bu[0], bu[1]}, true, b, "bob"); // 200 back in cash, both written off
    give_back(sb.sale_id, {bu[2]}, false, b, "bob");       // 100 back in cash, into stock
    sell(stock("C", 1, 5.0), {5.0}, {{kPayCard, 50}}, 0, "owner", kSold);
    ASSERT_EQ(shifts.count_drawer_open(b, "bob", kBack), 1);
    ASSERT_EQ(shifts.count_drawer_open(b, "bob", kBack + 1), 1);
    ASSERT_EQ(shifts.close_shift(a, 1200, kClose), 1);
    ASSERT_EQ(shifts.close_shift(b, 390, kClose), 1); // expected 500 + 200 - 300: 10 short
    const int64_t next = shifts.open_shift("alice", kNextDay, 800);
    sell(stock("D", 2, 10.0, 6.0), {10.0, 10.0}, {{kPayCash, 200}}, next, "alice", kNextDay);

    DayReport d;
    ASSERT_EQ(shifts.day_report(20261207, d), 1);
    ASSERT_EQ(d.shifts.size(), 2u);
    EXPECT_EQ(d.shifts[0].id, a);
    EXPECT_EQ(d.shifts[1].id, b);
    EXPECT_EQ(d.open_shifts, 0);
    const ShiftFigures& f = d.figures;
    EXPECT_EQ(f.sales, 3);
    EXPECT_EQ(f.sales_amount, 200 + 300 + 50);
    EXPECT_EQ(f.returns, 2);
    EXPECT_EQ(f.returns_units, 3);
    EXPECT_EQ(f.returns_amount, 300);
    EXPECT_EQ(f.by_method[kPayCash], 200 + 200 - 300);
    EXPECT_EQ(f.by_method[kPayWeChat], 100);
    EXPECT_EQ(f.by_method[kPayCard], 50);
    EXPECT_EQ(f.cash_float, 1500);
    EXPECT_EQ(f.expected, 1500 + 400 - 300);
    EXPECT_TRUE(f.counted_known);
    EXPECT_EQ(f.counted, 1200 + 390);
    EXPECT_EQ(f.difference, -10);
    EXPECT_EQ(f.drawer_opens, 2);
    EXPECT_EQ(d.damaged_units, 2);
    EXPECT_EQ(d.damaged_cost, 146);

    // The day is its shifts and the rows outside them.
    ShiftReport ra, rb;
    ASSERT_EQ(shifts.shift_report(a, ra), 1);
    ASSERT_EQ(shifts.shift_report(b, rb), 1);
    EXPECT_EQ(f.sales, ra.figures.sales + rb.figures.sales + 1);
    EXPECT_EQ(f.expected, ra.figures.expected + rb.figures.expected);
    EXPECT_EQ(f.difference, ra.figures.difference + rb.figures.difference);

    ASSERT_EQ(shifts.day_report(20261208, d), 1);
    EXPECT_EQ(d.shifts.size(), 1u);
    EXPECT_EQ(d.open_shifts, 1);
    EXPECT_EQ(d.figures.sales_amount, 200);
    EXPECT_FALSE(d.figures.counted_known);
    EXPECT_EQ(d.damaged_units, 0);
    for (int bad : {20260230, 20261300, 20261200, 19000101})
        EXPECT_EQ(shifts.day_report(bad, d), 0) << bad;

    std::vector<ShiftRecord> list;
    EXPECT_EQ(shifts.list_shifts(0, 0, list), 3);
    EXPECT_EQ(shifts.list_shifts(kOpen + 1, kNextDay, list), 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].id, b);
    EXPECT_EQ(shifts.list_shifts(kNextDay, 0, list), 1);
    EXPECT_EQ(list[0].id, next);
}

// The shop's limits: defaults leave a salesperson free; out-of-range values are refused.
TEST_F(ShiftTest, ShopRulesKeepTheirValues) {
    ShopRules r;
    ASSERT_EQ(shifts.rules(r), 1);
    EXPECT_EQ(r.usual_float, 0);
    EXPECT_EQ(r.lowest_rate, 0);
    EXPECT_TRUE(r.clerk_special);
    const int64_t first = shifts.open_shift("alice", kOpen);
    ShiftRecord s;
    ASSERT_EQ(shifts.get_shift(first, s), 1);
    EXPECT_EQ(s.cash_float, 0);

    EXPECT_EQ(r.after_sale, kAfterSaleAsk);
    EXPECT_FALSE(r.merge_rows);
    EXPECT_FALSE(r.sell_short);

    const ShopRules set{12345, 80, false, kAfterSaleQuiet, true, true};
    ASSERT_EQ(shifts.set_rules(set), 1);
    ASSERT_EQ(shifts.set_rules(set), 1); // again: replaced, not added
    for (const ShopRules& bad : {ShopRules{-1, 80, true}, ShopRules{0, 101, true}, ShopRules{0, -5, true},
                                 ShopRules{0, 80, true, 3}, ShopRules{0, 80, true, -1}})
        EXPECT_EQ(shifts.set_rules(bad), -1);
    ASSERT_EQ(shifts.rules(r), 1);
    EXPECT_EQ(r.usual_float, 12345);
    EXPECT_EQ(r.lowest_rate, 80);
    EXPECT_FALSE(r.clerk_special);
    EXPECT_EQ(r.after_sale, kAfterSaleQuiet);
    EXPECT_TRUE(r.merge_rows);
    EXPECT_TRUE(r.sell_short);
    ASSERT_EQ(shifts.get_shift(shifts.open_shift("bob", kOpen), s), 1);
    EXPECT_EQ(s.cash_float, 12345);
    EXPECT_EQ(shifts.open_shift("carol", kOpen, -1), -1);
    EXPECT_EQ(shifts.set_float(first, -1), -1);
    EXPECT_EQ(shifts.close_shift(first, -1, kClose), -1);
}

// A forced failure of any write leaves everything as it was.
TEST_F(ShiftTest, AFailureWritesNothing) {
    const int64_t id = shifts.open_shift("alice", kOpen, 100);
    ASSERT_GT(id, 0);
    ASSERT_EQ(shifts.open_shift("bob", kOpen, 100), id + 1);
    const std::string before = trace();
    const struct {
        const char* part;
        std::function<bool()> write;
    } cases[] = {
        {"INSERT ON Shift", [&] { return shifts.open_shift("carol", kSold) == -1; }},
        {"UPDATE ON Shift", [&] { return shifts.set_float(id, 5) == -1; }},
        {"UPDATE ON Shift", [&] { return shifts.close_shift(id, 5, kClose) == -1; }},
        {"UPDATE ON Shift", [&] { return shifts.close_abandoned(kClose) == -1; }},
        {"INSERT ON DrawerOpen", [&] { return shifts.count_drawer_open(id, "alice", kSold) == -1; }},
        {"INSERT ON Setting",
         [&] {
             return shifts.set_rules(ShopRules{1, 2, false}) == -1;
         }},
        {"DELETE ON Setting",
         [&] {
             return shifts.set_rules(ShopRules{1, 2, false}) == -1;
         }},
    };
    ASSERT_EQ(shifts.set_rules(ShopRules{7, 0, true}), 1); // so the delete has a row to meet
    const std::string with_rules = trace();
    EXPECT_NE(with_rules, before);
    for (const auto& c : cases) {
        ASSERT_EQ(core.exec_sql(("CREATE TRIGGER forced BEFORE " + std::string(c.part) +
                                 " BEGIN SELECT RAISE(ABORT,'forced'); END;")
                                    .c_str()),
                  0);
        EXPECT_TRUE(c.write()) << c.part;
        EXPECT_EQ(trace(), with_rules) << c.part;
        ASSERT_EQ(core.exec_sql("DROP TRIGGER forced;"), 0);
    }
    EXPECT_EQ(shifts.close_abandoned(kClose), 2);
    EXPECT_NE(trace(), with_rules);
}

// A store made before shifts existed gains their tables on its first open.
TEST_F(TempDirTest, OldStoreGainsTheShiftTables) {
    {
        Core maker;
        ASSERT_EQ(maker.open(), 0);
        ASSERT_EQ(maker.exec_sql("DROP TABLE Shift;DROP TABLE DrawerOpen;DROP TABLE Setting;"
                                 "DROP INDEX IF EXISTS vorn_sale_shift;"),
                  0);
        for (const char* t : {"Shift", "DrawerOpen", "Setting"})
            EXPECT_FALSE(has_table(maker, t)) << t;
        maker.close();
    }
    Core core;
    ASSERT_EQ(core.open(), 0);
    for (const char* t : {"Shift", "DrawerOpen", "Setting"})
        EXPECT_TRUE(has_table(core, t)) << t;
    Shifts s(core);
    EXPECT_EQ(s.ensure_tables(), 0);
    const int64_t id = s.open_shift("alice", kOpen);
    EXPECT_GT(id, 0);
    EXPECT_EQ(s.count_drawer_open(id, "alice", kSold), 1);
    // Taken away again, ensure_tables puts them back by itself.
    ASSERT_EQ(core.exec_sql("DROP TABLE DrawerOpen;"), 0);
    EXPECT_EQ(s.count_drawer_open(id, "alice", kSold), -1);
    EXPECT_EQ(s.ensure_tables(), 0);
    EXPECT_EQ(s.count_drawer_open(id, "alice", kSold), 1);
    // The index on the journal's shift column goes with Sale; it comes back too.
    ASSERT_EQ(core.exec_sql("DROP INDEX vorn_sale_shift;"), 0);
    EXPECT_EQ(s.ensure_tables(), 0);
    EXPECT_EQ(core.exec_sql("DROP INDEX vorn_sale_shift;"), 0);
    core.close();
}

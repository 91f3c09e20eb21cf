// The sales ranking: each code's figures against the store's own sums, before
// and after a return (restocked and written off), the span's edges, the type
// filter, the share, and sorting by every column.
#include <cmath>
#include <map>

#include "core_fixture.h"
#include "vorn/journal.h"
#include "vorn/ranking.h"
#include "vorn/sqltext.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kFrom = local_time_of(2026, 12, 1, 0, 0, 0);
const int64_t kTo = local_time_of(2027, 1, 1, 0, 0, 0);
const int64_t kSold = local_time_of(2026, 12, 7, 9, 30, 0);
const int64_t kBack = local_time_of(2026, 12, 8, 16, 0, 0);

class RankingTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(journal.ensure_tables(), 0);
    }
    // n units of the code, type and purchase price in stock; their ids.
    std::vector<SRec> stock(const std::string& code, int n, int type, double purchase) {
        SRec u = unit(code, "name " + code, 0, 10.0);
        u.FSi_Type = type;
        u.FSd_OriP = purchase;
        std::vector<SRec> units(static_cast<size_t>(n), u);
        EXPECT_EQ(core.insert_srec(units.data(), n), n);
        std::vector<SRec> all = all_units(core, ("FSs_Code='" + code + "' ORDER BY FSi_Id").c_str());
        return std::vector<SRec>(all.end() - n, all.end());
    }
    int64_t sell(std::vector<SRec> units, int64_t t, double price) {
        CheckoutRequest r;
        int64_t due = 0;
        for (SRec& u : units) {
            u.FSi_Flag = 1;
            u.FSt_SalT = t;
            u.FSd_ReaP = price;
            due += std::llround(price * 10);
        }
        r.units = std::move(units);
        r.cashier = "alice";
        r.payments = {{kPayCash, due}};
        const CheckoutResult res = journal.checkout(r);
        EXPECT_EQ(res.status, CheckoutStatus::Done);
        return res.sale_id;
    }
    std::vector<RankingRow> rank(std::vector<int> types = {}, int64_t from = kFrom, int64_t to = kTo) {
        std::vector<RankingRow> out;
        EXPECT_GE(ranking.select({from, to, std::move(types)}, out), 0);
        return out;
    }
    // Every row against the store's sums of the code's sold units in the span.
    void expectMatchesStore(const std::vector<RankingRow>& rows) {
        const std::string span = "FSi_Flag=1 AND FSt_SalT>='" + format_time(kFrom) + "' AND FSt_SalT<'" +
                                 format_time(kTo) + "'";
        int64_t sales = 0;
        for (const RankingRow& r : rows) {
            SCOPED_TRACE(r.code);
            const std::string cond = "FSs_Code='" + sql_escape(r.code) + "' AND " + span;
            double sums[2] = {0, 0};
            ASSERT_EQ(core.get_srec_total(sums, "FSd_ReaP", "FSd_OriP", cond.c_str()), 1);
            EXPECT_EQ(r.quantity, core.get_srec_count(cond.c_str()));
            EXPECT_EQ(r.sales, std::llround(sums[0] * 10));
            EXPECT_EQ(r.cost, std::llround(sums[1] * 10));
            sales += r.sales;
        }
        double all[2] = {0, 0};
        ASSERT_EQ(core.get_srec_total(all, "FSd_ReaP", "FSd_OriP", span.c_str()), 1);
        const RankingSums s = sum_ranking(rows);
        EXPECT_EQ(s.quantity, core.get_srec_count(span.c_str()));
        EXPECT_EQ(s.sales, std::llround(all[0] * 10));
        EXPECT_EQ(s.cost, std::llround(all[1] * 10));
        EXPECT_EQ(s.sales, sales);
    }

    Journal journal{core};
    Ranking ranking{core};
};

std::vector<std::string> codes(const std::vector<RankingRow>& rows) {
    std::vector<std::string> c;
    for (const RankingRow& r : rows)
        c.push_back(r.code);
    return c;
}

} // namespace

TEST_F(RankingTest, FiguresMatchTheStoreBeforeAndAfterAReturn) {
    std::vector<SRec> a = stock("A", 5, 1, 4.0), b = stock(gbk("料酒"), 3, 2, 6.5);
    stock("C", 2, 1, 1.0); // never sold: no row
    const int64_t saleA = sell({a[0], a[1], a[2], a[3]}, kSold, 9.5);
    sell({b[0], b[1], b[2]}, kSold, 12.0);
    std::vector<RankingRow> before = rank();
    ASSERT_EQ(codes(before), (std::vector<std::string>{"A", gbk("料酒")})); // best sales first
    expectMatchesStore(before);
    EXPECT_EQ(before[0].quantity, 4);
    EXPECT_EQ(before[0].sales, 380);
    EXPECT_EQ(before[0].cost, 160);
    EXPECT_EQ(before[0].profit(), 220);
    EXPECT_EQ(before[1].name, "name " + gbk("料酒"));

    // One unit back into stock, one written off: neither is a unit sold.
    ReturnRequest r;
    r.sale_id = saleA;
    r.units = {{a[0].FSi_Id, false}, {a[1].FSi_Id, true}};
    r.time = kBack;
    r.cashier = "bob";
    ASSERT_EQ(journal.return_goods(r).status, ReturnStatus::Done);
    const std::vector<RankingRow> after = rank();
    expectMatchesStore(after);
    // 料酒 now sells more than what is left of A.
    ASSERT_EQ(codes(after), (std::vector<std::string>{gbk("料酒"), "A"}));
    EXPECT_EQ(after[1].quantity, 2);
    EXPECT_EQ(after[1].sales, before[0].sales - 190);
    EXPECT_EQ(after[1].cost, before[0].cost - 80);
    EXPECT_EQ(after[0].sales, before[1].sales);
}

TEST_F(RankingTest, SpanAndTypesChooseTheUnits) {
    const std::vector<SRec> a = stock("A", 4, 1, 1.0), b = stock("B", 2, 2, 1.0);
    const int64_t lastSecond = kTo - 1;
    sell({a[0]}, kFrom, 3.0);        // first second: in
    sell({a[1]}, lastSecond, 3.0);   // last second: in
    sell({a[2]}, kTo, 3.0);          // next month: out
    sell({a[3]}, kFrom - 1, 3.0);    // month before: out
    sell({b[0], b[1]}, kSold, 2.0);
    const struct {
        std::vector<int> types;
        std::map<std::string, int64_t> quantities;
    } cases[] = {
        {{}, {{"A", 2}, {"B", 2}}},
        {{1}, {{"A", 2}}},
        {{2}, {{"B", 2}}},
        {{1, 2}, {{"A", 2}, {"B", 2}}},
        {{7}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.types.size());
        std::map<std::string, int64_t> got;
        for (const RankingRow& r : rank(c.types))
            got[r.code] = r.quantity;
        EXPECT_EQ(got, c.quantities);
    }
    expectMatchesStore(rank());
}

TEST_F(RankingTest, ShareInHundredthsOfAPercent) {
    const struct {
        int64_t sales, total;
        int expected;
    } cases[] = {
        {1, 3, 3333}, {2, 3, 6667}, {5, 10, 5000}, {10, 10, 10000}, {0, 10, 0}, {7, 0, 0}, {-5, 10, -5000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(share_basis_points(c.sales, c.total), c.expected) << c.sales << "/" << c.total;
}

TEST_F(RankingTest, SortsByEveryColumnTiesByCode) {
    auto row = [](std::string code, std::string name, int type, int64_t q, int64_t s, int64_t c) {
        RankingRow r;
        r.code = std::move(code);
        r.name = std::move(name);
        r.type = type;
        r.size = r.name;
        r.quantity = q;
        r.sales = s;
        r.cost = c;
        return r;
    };
    const std::vector<RankingRow> rows = {row("B", "y", 2, 5, 100, 10), row("A", "z", 1, 5, 300, 290),
                                          row("C", "x", 2, 1, 200, 50)};
    const struct {
        RankingOrder order;
        bool desc;
        std::vector<std::string> expected;
    } cases[] = {
        {RankingOrder::Code, false, {"A", "B", "C"}},     {RankingOrder::Code, true, {"C", "B", "A"}},
        {RankingOrder::Name, false, {"C", "B", "A"}},     {RankingOrder::Size, true, {"A", "B", "C"}},
        {RankingOrder::Type, false, {"A", "B", "C"}},     {RankingOrder::Type, true, {"C", "B", "A"}},
        {RankingOrder::Quantity, false, {"C", "A", "B"}}, {RankingOrder::Quantity, true, {"B", "A", "C"}},
        {RankingOrder::Sales, true, {"A", "C", "B"}},     {RankingOrder::Share, false, {"B", "C", "A"}},
        {RankingOrder::Cost, false, {"B", "C", "A"}},     {RankingOrder::Profit, true, {"C", "B", "A"}},
    };
    for (const auto& c : cases) {
        std::vector<RankingRow> sorted = rows;
        sort_ranking(sorted, c.order, c.desc);
        EXPECT_EQ(codes(sorted), c.expected) << static_cast<int>(c.order) << (c.desc ? " desc" : " asc");
    }
    const RankingSums s = sum_ranking(rows);
    EXPECT_EQ(s.codes, 3);
    EXPECT_EQ(s.quantity, 11);
    EXPECT_EQ(s.sales, 600);
    EXPECT_EQ(s.profit(), 250);
}

// The sale journal: checkout as one transaction with its journal rows, sale
// numbers, money in tenths, reading sales back, and the history recovered from
// a store that has only the six tables.
#include <algorithm>
#include <cmath>
#include <set>
#include <thread>

#include "commit_relay.h"
#include "core_fixture.h"
#include "vorn/journal.h"
#include "vorn/transaction.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kDay1 = local_time_of(2026, 12, 7, 9, 30, 0);
const int64_t kDay2 = local_time_of(2026, 12, 8, 18, 5, 9);

using JournalStore = TempDirTest;

class JournalTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(journal.ensure_tables(), 0);
    }

    // n units of the code in stock at the retail price; returns them as stored.
    std::vector<SRec> stock(const std::string& code, int n, double retail) {
        std::vector<SRec> units(static_cast<size_t>(n), unit(code, "name " + code, 0, retail));
        EXPECT_EQ(core.insert_srec(units.data(), n), n);
        std::vector<SRec> all = all_units(core, ("FSs_Code='" + code + "' ORDER BY FSi_Id").c_str());
        return std::vector<SRec>(all.end() - n, all.end());
    }

    // The counter's part: units set sold at t, each at its price.
    static CheckoutRequest sale(std::vector<SRec> units, int64_t t, std::vector<double> prices,
                                std::vector<Payment> payments) {
        CheckoutRequest r;
        for (size_t i = 0; i < units.size(); ++i) {
            units[i].FSi_Flag = 1;
            units[i].FSt_SalT = t;
            units[i].FSd_ReaP = prices[std::min(i, prices.size() - 1)];
        }
        r.units = std::move(units);
        r.cashier = "alice";
        r.payments = std::move(payments);
        return r;
    }

    Journal journal{core};
};

std::string day_number(int64_t t, int seq) {
    char b[32];
    std::snprintf(b, sizeof b, "-%04d", seq);
    std::string d = format_date(t);
    d.erase(std::remove(d.begin(), d.end(), '-'), d.end());
    return d + b;
}

} // namespace

// The whole sale: units sold with their prices, the member credited, and the
// journal holding the sale, its units grouped by code and price, and its payment.
TEST_F(JournalTest, CheckoutWritesUnitsPointsAndJournalTogether) {
    std::vector<SRec> a = stock("A", 2, 10.0), b = stock("B", 1, 20.0);
    VIPRec m = member("M7", "m");
    m.FVi_Grade = 5;
    ASSERT_EQ(core.insert_viprec(&m, 1), 1);
    ASSERT_EQ(core.select_viprec(&m, nullptr), 1);

    std::vector<SRec> units = a;
    units.push_back(b[0]);
    CheckoutRequest r = sale(units, kDay1, {9.5, 9.5, 20.0}, {{kPayCash, 400}});
    r.member_id = m.FVi_Id;
    r.member_code = "M7";
    r.points = 39;
    const CheckoutResult res = journal.checkout(r);
    ASSERT_EQ(res.status, CheckoutStatus::Done) << res.rc;
    EXPECT_EQ(res.number, day_number(kDay1, 1));
    EXPECT_EQ(res.due, 390);
    EXPECT_EQ(res.discount, 10);
    EXPECT_EQ(res.change, 10);
    EXPECT_TRUE(res.member_found);
    EXPECT_EQ(res.balance, 44);

    EXPECT_EQ(core.get_srec_count("FSi_Flag=1 AND FSt_SalT='2026-12-07 09:30:00'"), 3);
    EXPECT_EQ(core.get_viprec_count("FVi_Grade=44"), 1);
    SaleDetail d;
    ASSERT_EQ(journal.open_sale(res.sale_id, d), 1);
    EXPECT_EQ(d.sale.number, res.number);
    EXPECT_EQ(d.sale.time, kDay1);
    EXPECT_EQ(d.sale.cashier, "alice");
    EXPECT_EQ(d.sale.member, "M7");
    EXPECT_EQ(d.sale.units, 3);
    EXPECT_EQ(d.sale.due + d.sale.discount + d.sale.paid + d.sale.change, 390 + 10 + 400 + 10);
    EXPECT_EQ(d.sale.points, 39);
    EXPECT_FALSE(d.sale.recovered);
    EXPECT_EQ(d.sale.methods, 1u << kPayCash);
    ASSERT_EQ(d.lines.size(), 2u);
    EXPECT_EQ(d.lines[0].code + d.lines[1].code, "AB");
    EXPECT_EQ(d.lines[0].quantity * 10 + d.lines[1].quantity, 21);
    EXPECT_EQ(d.lines[0].price, 95);
    EXPECT_EQ(d.lines[0].amount, 190);
    EXPECT_EQ(d.lines[1].amount, 200);
    EXPECT_EQ(d.lines[0].units, (std::vector<int>{a[0].FSi_Id, a[1].FSi_Id}));
    ASSERT_EQ(d.payments.size(), 1u);
    EXPECT_EQ(d.payments[0].amount, 400);
    EXPECT_EQ(journal.sale_id_of(res.number), res.sale_id);
    EXPECT_EQ(journal.sale_id_of("19990101-0001"), 0);
}

// 0.1 + 0.2 paid by 0.1 WeChat and 0.2 cash: exactly what is due, no change,
// and the sums per method in tenths.
TEST_F(JournalTest, SplitPaymentsAddUpInTenths) {
    std::vector<SRec> units = stock("P", 2, 0.3);
    const CheckoutResult res =
        journal.checkout(sale(units, kDay1, {0.1, 0.2}, {{kPayWeChat, 1}, {kPayCash, 2}}));
    ASSERT_EQ(res.status, CheckoutStatus::Done);
    EXPECT_EQ(res.due, 3);
    EXPECT_EQ(res.paid, 3);
    EXPECT_EQ(res.change, 0);
    SaleSums s;
    ASSERT_EQ(journal.sum_sales({}, s), 1);
    EXPECT_EQ(s.due, 3);
    EXPECT_EQ(s.by_method[kPayWeChat], 1);
    EXPECT_EQ(s.by_method[kPayCash], 2);
    SaleDetail d;
    ASSERT_EQ(journal.open_sale(res.sale_id, d), 1);
    ASSERT_EQ(d.payments.size(), 2u);
    EXPECT_EQ(d.payments[0].method, kPayWeChat);
    EXPECT_EQ(d.sale.methods, (1u << kPayWeChat) | (1u << kPayCash));

    // Parts of one method make one row; a part of nothing makes none.
    const CheckoutResult more = journal.checkout(sale(
        stock("P", 1, 5.0), kDay1, {5.0}, {{kPayCash, 20}, {kPayCard, 0}, {kPayWeChat, 10}, {kPayCash, 30}}));
    ASSERT_EQ(more.status, CheckoutStatus::Done);
    EXPECT_EQ(more.change, 10);
    ASSERT_EQ(journal.open_sale(more.sale_id, d), 1);
    ASSERT_EQ(d.payments.size(), 2u);
    EXPECT_EQ(d.payments[0].method, kPayCash);
    EXPECT_EQ(d.payments[0].amount, 50);
    EXPECT_EQ(d.payments[1].amount, 10);
}

// Requests that do not add up are refused before anything is written.
TEST_F(JournalTest, RequestsThatDoNotAddUpWriteNothing) {
    std::vector<SRec> units = stock("Q", 2, 5.0);
    struct Case {
        const char* what;
        void (*spoil)(CheckoutRequest&);
    };
    const Case cases[] = {
        {"no units", [](CheckoutRequest& r) { r.units.clear(); }},
        {"unit not sold", [](CheckoutRequest& r) { r.units[1].FSi_Flag = 0; }},
        {"times differ", [](CheckoutRequest& r) { r.units[1].FSt_SalT += 1; }},
        {"no time", [](CheckoutRequest& r) { r.units[0].FSt_SalT = r.units[1].FSt_SalT = 0; }},
        {"unit twice", [](CheckoutRequest& r) { r.units[1] = r.units[0]; }},
        {"unknown method", [](CheckoutRequest& r) { r.payments[0].method = kPayUnknown; }},
        {"negative amount",
         [](CheckoutRequest& r) {
             r.payments.push_back({kPayCard, -1});
         }},
        {"paid short", [](CheckoutRequest& r) { r.payments[0].amount = 99; }},
        {"change from a card",
         [](CheckoutRequest& r) {
             r.payments[0] = {kPayCard, 101};
         }},
    };
    for (const Case& c : cases) {
        CheckoutRequest r = sale(units, kDay1, {5.0}, {{kPayCash, 100}});
        c.spoil(r);
        EXPECT_EQ(journal.checkout(r).status, CheckoutStatus::Invalid) << c.what;
    }
    EXPECT_EQ(journal.count_sales({}), 0);
    EXPECT_EQ(core.get_srec_count("FSi_Flag=0"), 2);
    // The same request unspoilt, and cash over the amount due, go through.
    EXPECT_EQ(journal.checkout(sale(units, kDay1, {5.0}, {{kPayCard, 60}, {kPayCash, 50}})).status,
              CheckoutStatus::Done);
}

// A unit sold meanwhile (from another window on the same file) stops the sale.
TEST_F(JournalTest, UnitNoLongerInStockStopsTheSale) {
    std::vector<SRec> units = stock("S", 2, 5.0);
    std::vector<SRec> gone = {units[1]};
    gone[0].FSi_Flag = 1;
    ASSERT_EQ(core.update_srec(gone.data(), 1), 1);
    const CheckoutResult res = journal.checkout(sale(units, kDay1, {5.0}, {{kPayCash, 100}}));
    EXPECT_EQ(res.status, CheckoutStatus::Missing);
    EXPECT_EQ(core.get_srec_count("FSi_Flag=0"), 1);
    EXPECT_EQ(journal.count_sales({}), 0);
}

// A forced failure of any part of the sale leaves no trace of it: units in
// stock as before, the member's points as before, no journal rows. Retried
// once the cause is gone, the same sale goes through under a fresh number.
TEST_F(JournalTest, AFailureOfAnyPartLeavesNoTrace) {
    std::vector<SRec> units = stock("F", 3, 8.0);
    VIPRec m = member("M1", "m");
    ASSERT_EQ(core.insert_viprec(&m, 1), 1);
    ASSERT_EQ(core.select_viprec(&m, nullptr), 1);
    const char* parts[] = {"UPDATE ON Store", "UPDATE ON VIP", "INSERT ON Sale", "INSERT ON SaleUnit",
                           "INSERT ON SalePayment"};
    std::set<std::string> numbers;
    for (const char* part : parts) {
        ASSERT_EQ(core.exec_sql(("CREATE TRIGGER forced BEFORE " + std::string(part) +
                                 " BEGIN SELECT RAISE(ABORT,'forced'); END;")
                                    .c_str()),
                  0);
        CheckoutRequest r = sale(units, kDay1, {7.5}, {{kPayAlipay, 100}, {kPayCash, 200}});
        r.member_id = m.FVi_Id;
        r.member_code = m.FVs_Code;
        r.points = 22;
        const CheckoutResult res = journal.checkout(r);
        EXPECT_EQ(res.status, CheckoutStatus::Failed) << part;
        EXPECT_NE(res.rc, 0) << part;
        EXPECT_EQ(core.get_srec_count("FSi_Flag=0 AND FSt_SalT IS NULL AND FSd_ReaP=0"), 3) << part;
        EXPECT_EQ(core.get_viprec_count("FVi_Grade=0"), 1) << part;
        SaleSums s;
        ASSERT_EQ(journal.sum_sales({}, s), 1);
        EXPECT_EQ(s.sales + s.units + s.by_method[kPayAlipay] + s.by_method[kPayCash], 0) << part;
        if (!res.number.empty()) {
            EXPECT_TRUE(numbers.insert(res.number).second) << res.number;
        }

        ASSERT_EQ(core.exec_sql("DROP TRIGGER forced;"), 0);
        const CheckoutResult again = journal.checkout(r);
        ASSERT_EQ(again.status, CheckoutStatus::Done) << part;
        EXPECT_TRUE(numbers.insert(again.number).second) << again.number;
        // Put back for the next part: in stock, points 0, journal empty.
        for (SRec& u : units)
            u.FSi_Flag = 0;
        ASSERT_EQ(core.update_srec(units.data(), 3), 3);
        ASSERT_EQ(core.exec_sql("UPDATE VIP SET FVi_Grade=0;DELETE FROM Sale;DELETE FROM SaleUnit;"
                                "DELETE FROM SalePayment;"),
                  0);
    }
}

// Numbers: the day and its sequence; a failed checkout burns its number, two
// failures never share one, and after a restart the next number still follows
// the day's highest in the store.
TEST_F(JournalTest, NumbersStayUniqueAcrossFailuresAndARestart) {
    std::vector<SRec> units = stock("N", 8, 1.0);
    auto sell = [&](int i, int64_t t) {
        return journal.checkout(sale({units[static_cast<size_t>(i)]}, t, {1.0}, {{kPayCash, 10}}));
    };
    EXPECT_EQ(sell(0, kDay1).number, day_number(kDay1, 1));
    ASSERT_EQ(
        core.exec_sql("CREATE TRIGGER forced BEFORE INSERT ON SalePayment BEGIN SELECT RAISE(ABORT,'x'); "
                      "END;"),
        0);
    const CheckoutResult f1 = sell(1, kDay1), f2 = sell(1, kDay1);
    EXPECT_EQ(f1.status, CheckoutStatus::Failed);
    EXPECT_EQ(f2.status, CheckoutStatus::Failed);
    EXPECT_NE(f1.number, f2.number);
    ASSERT_EQ(core.exec_sql("DROP TRIGGER forced;"), 0);
    const CheckoutResult ok = sell(1, kDay1);
    EXPECT_EQ(ok.number, day_number(kDay1, 4)) << "after two burned numbers";
    EXPECT_EQ(sell(2, kDay2).number, day_number(kDay2, 1)) << "each day counts from 1";
    core.close();

    // A restart, as far as this process can tell: the same store under
    // another name, so nothing remembered of it here.
    // (On a server the store is the same database: opened again.)
    if (!on_server()) {
        std::filesystem::create_directory("restart");
        std::filesystem::copy_file("__vorn__", "restart/__vorn__");
        std::filesystem::current_path("restart");
    }
    ASSERT_EQ(core.open(), 0);
    EXPECT_EQ(sell(3, kDay1).number, day_number(kDay1, 5));
    EXPECT_EQ(sell(4, kDay2).number, day_number(kDay2, 2));
    std::vector<SaleRecord> all;
    ASSERT_EQ(journal.select_sales({}, all, SaleOrder::Number), 5);
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(all[i - 1].number, all[i].number);
}

// Checkouts from several threads at once on one connection: every one goes
// through under a number of its own.
TEST_F(JournalTest, ConcurrentCheckoutsGetNumbersOfTheirOwn) {
    constexpr int kThreads = 3, kEach = 15;
    std::vector<SRec> units = stock("C", kThreads * kEach, 2.0);
    std::vector<std::string> got(kThreads * kEach);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = t * kEach; i < (t + 1) * kEach; ++i) {
                const CheckoutResult r = journal.checkout(sale({units[i]}, kDay1, {2.0}, {{kPayCash, 20}}));
                got[i] = r.status == CheckoutStatus::Done ? r.number : "failed";
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size());
    EXPECT_EQ(std::count(got.begin(), got.end(), "failed"), 0);
    EXPECT_EQ(journal.count_sales({}), kThreads * kEach);
}

// On a server the session can go while the checkout's COMMIT is under way.
// Ended inside the COMMIT, before the sale was made: failed, nothing written,
// the units still for sale. Its answer lost after the sale was made: the
// checkout finds its sale in the store and is done, with its number and what
// the member got, and the units cannot be sold a second time.
TEST_F(JournalTest, CheckoutWhoseCommitWentUnansweredFindsItsSale) {
    if (!on_server()) GTEST_SKIP() << "a commit's answer is lost on a server only";
    RelayedTill till(server_url_);
    ASSERT_EQ(till.problem, "");
    CommitRelay& relay = till.relay;
    Journal& at_till = till.journal;
    const struct Case {
        const char* code;
        const char* cashier; // "ends": the session ends inside the COMMIT
        bool lose_answer;
        CheckoutStatus status;
    } cases[] = {{"E", "ends", false, CheckoutStatus::Failed}, {"L", "alice", true, CheckoutStatus::Done}};
    for (const Case& c : cases) {
        std::vector<SRec> units = stock(c.code, 2, 6.0);
        VIPRec m = member(std::string("M") + c.code, "m");
        m.FVi_Grade = 10;
        ASSERT_EQ(core.insert_viprec(&m, 1), 1);
        ASSERT_EQ(core.select_viprec(&m, ("FVs_Code='M" + std::string(c.code) + "'").c_str()), 1);
        CheckoutRequest r = sale(units, kDay1, {6.0}, {{kPayCash, 200}});
        r.cashier = c.cashier;
        r.member_id = m.FVi_Id;
        r.member_code = m.FVs_Code;
        r.points = 12;
        const int before = journal.count_sales({}), lost = relay.lost();
        if (c.lose_answer) relay.lose_next_commit_answer();
        const CheckoutResult res = at_till.checkout(r);
        ASSERT_EQ(res.status, c.status) << c.code << " " << res.rc;
        EXPECT_EQ(relay.lost(), lost + (c.lose_answer ? 1 : 0)) << c.code;
        const bool done = c.status == CheckoutStatus::Done;
        const std::string code = std::string("FSs_Code='") + c.code + "'";
        EXPECT_EQ(core.get_srec_count((code + " AND FSi_Flag=1").c_str()), done ? 2 : 0) << c.code;
        EXPECT_EQ(journal.sale_id_of(res.number), done ? res.sale_id : 0) << c.code;
        EXPECT_EQ(journal.count_sales({}), before + (done ? 1 : 0)) << c.code;
        ASSERT_EQ(core.select_viprec(&m, ("FVi_Id=" + std::to_string(m.FVi_Id)).c_str()), 1);
        EXPECT_EQ(m.FVi_Grade, done ? 22 : 10) << c.code;
        if (done) {
            SaleDetail d;
            ASSERT_EQ(journal.open_sale(res.sale_id, d), 1);
            EXPECT_EQ(d.sale.number, res.number);
            EXPECT_EQ(d.sale.points, 12);
            EXPECT_EQ(res.rc, 0);
            EXPECT_TRUE(res.member_found);
            EXPECT_EQ(res.points_credited, 12);
            EXPECT_EQ(res.balance, 22);
            EXPECT_EQ(res.change, 80);
        } else {
            EXPECT_NE(res.rc, 0);
        }
        // At the till again, without the fault: sold once only.
        r.cashier = "alice";
        const CheckoutResult again = at_till.checkout(r);
        EXPECT_EQ(again.status, done ? CheckoutStatus::Missing : CheckoutStatus::Done) << c.code;
        EXPECT_EQ(again.gone_ids.size(), done ? 2u : 0u) << c.code;
        EXPECT_EQ(core.get_srec_count((code + " AND FSi_Flag=1").c_str()), 2) << c.code;
        EXPECT_EQ(journal.count_sales({}), before + 1) << c.code;
    }
}

// Lists by every condition, against what the test sold; footers are the sums
// of the rows listed; orders hold.
TEST_F(JournalTest, ListsByConditionWithTheirSums) {
    struct Sold {
        int64_t t;
        const char* cashier;
        const char* member;
        const char* code;
        int n;
        double price;
        int method;
    };
    const Sold plan[] = {
        {kDay1, "alice", "", "G1", 1, 3.0, kPayCash},
        {kDay1 + 60, "bob", "M1", "G2", 2, 4.5, kPayWeChat},
        {kDay1 + 120, "alice", "M1", "G1", 3, 2.0, kPayCard},
        {kDay2, "bob", "", "G2", 1, 9.9, kPayAlipay},
        {kDay2 + 5, "alice", "M2", "G3", 2, 1.1, kPayCash},
    };
    std::vector<CheckoutResult> done;
    for (const Sold& s : plan) {
        CheckoutRequest r = sale(stock(s.code, s.n, 10.0), s.t, {s.price}, {});
        r.cashier = s.cashier;
        r.member_code = s.member;
        r.payments = {{s.method, s.n * std::llround(s.price * 10)}};
        done.push_back(journal.checkout(r));
        ASSERT_EQ(done.back().status, CheckoutStatus::Done);
    }
    struct Filter {
        const char* what;
        SaleFilter f;
        bool (*match)(const Sold&);
    };
    const int64_t day2_start = local_time_of(2026, 12, 8, 0, 0, 0);
    SaleFilter by_day1, by_day2, by_alice, by_m1, by_g2, by_wechat, by_number;
    by_day1.to = day2_start;
    by_day2.from = day2_start;
    by_alice.cashier = "alice";
    by_m1.member = "M1";
    by_g2.goods_code = "G2";
    by_wechat.method = kPayWeChat;
    by_number.number = done[2].number;
    const Filter filters[] = {
        {"day 1", by_day1, [](const Sold& s) { return s.t < local_time_of(2026, 12, 8, 0, 0, 0); }},
        {"day 2", by_day2, [](const Sold& s) { return s.t >= local_time_of(2026, 12, 8, 0, 0, 0); }},
        {"cashier", by_alice, [](const Sold& s) { return std::string(s.cashier) == "alice"; }},
        {"member", by_m1, [](const Sold& s) { return std::string(s.member) == "M1"; }},
        {"goods code", by_g2, [](const Sold& s) { return std::string(s.code) == "G2"; }},
        {"method", by_wechat, [](const Sold& s) { return s.method == kPayWeChat; }},
        {"number", by_number, [](const Sold& s) { return s.n == 3; }},
    };
    for (const Filter& f : filters) {
        std::vector<std::string> want;
        int64_t units = 0, due = 0;
        for (size_t i = 0; i < std::size(plan); ++i)
            if (f.match(plan[i])) {
                want.push_back(done[i].number);
                units += plan[i].n;
                due += done[i].due;
            }
        std::vector<SaleRecord> rows;
        ASSERT_EQ(journal.select_sales(f.f, rows), static_cast<int>(want.size())) << f.what;
        EXPECT_EQ(journal.count_sales(f.f), static_cast<int>(want.size())) << f.what;
        std::vector<std::string> listed;
        for (const SaleRecord& r : rows)
            listed.push_back(r.number);
        EXPECT_EQ(listed, want) << f.what;
        SaleSums s;
        ASSERT_EQ(journal.sum_sales(f.f, s), 1);
        EXPECT_EQ(s.sales, static_cast<int>(want.size())) << f.what;
        EXPECT_EQ(s.units, units) << f.what;
        EXPECT_EQ(s.due, due) << f.what;
        EXPECT_EQ(s.paid, due) << f.what;
    }
    std::vector<SaleRecord> rows;
    ASSERT_EQ(journal.select_sales({}, rows, SaleOrder::Due, true), 5);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_GE(rows[i - 1].due, rows[i].due);
    SaleFilter quote;
    quote.cashier = "o'neil";
    EXPECT_EQ(journal.count_sales(quote), 0); // a quote is data
}

// ---- The history before the journal ------------------------------------------

namespace {

// A store as an older version left it: the six tables only, some units sold.
// Sales: three units at one time and two at another on day 1, one on day 2;
// besides, a unit in stock and a sold unit without a time.
void make_old_store() {
    Core maker;
    ASSERT_EQ(maker.open(), 0);
    ASSERT_EQ(maker.exec_sql("DROP TABLE IF EXISTS SalePayment;DROP TABLE IF EXISTS SaleUnit;"
                             "DROP TABLE IF EXISTS Sale;"),
              0);
    std::vector<SRec> u = {
        unit("A", "a", 1, 10.0, 9.0, kDay1 - 86400, kDay1),
        unit("B", "b", 1, 5.0, 5.0, kDay1 - 86400, kDay1),
        unit("A", "a", 0, 10.0, 0, kDay1 - 86400, 0),
        unit("A", "a", 1, 10.0, 9.5, kDay1 - 86400, kDay1),
        unit("C", "c", 1, 2.5, 2.5, kDay1, kDay1 + 3600),
        unit("C", "c", 1, 2.5, 2.0, kDay1, kDay1 + 3600),
        unit("D", "d", 1, 1.0, 1.0, kDay1, kDay2),
        unit("E", "e", 1, 1.0, 1.0, kDay1, 0),
    };
    ASSERT_EQ(maker.insert_srec(u.data(), static_cast<int>(u.size())), static_cast<int>(u.size()));
    maker.close();
}

bool has_journal_tables(Core& c) {
    return Journal(c).has_tables();
}

} // namespace

// An old store gains the journal's tables on its first open; a store opened
// read-only is left as it is and still reads.
TEST_F(JournalStore, OldStoreGainsTheTablesOnOpen) {
    VORN_FILE_ONLY();
    make_old_store();
    {
        struct ReadOnly : Core {
            bool read_only() const override { return true; }
        } ro;
        ASSERT_EQ(ro.open(), 0);
        EXPECT_FALSE(has_journal_tables(ro));
        EXPECT_EQ(ro.get_srec_count("FSi_Flag=1"), 7);
        ro.close();
    }
    Core c;
    ASSERT_EQ(c.open(), 0);
    EXPECT_TRUE(has_journal_tables(c));
    EXPECT_EQ(Journal(c).count_sales({}), 0);
    c.close();
}

// The units sold before the journal become recovered sales: one per sale time,
// numbered on their date, amounts from the units, method and points unknown.
// A second run finds nothing left to do.
TEST_F(JournalStore, HistoryIsRecoveredFromTheUnits) {
    make_old_store();
    Core c;
    ASSERT_EQ(c.open(), 0);
    Journal j(c);
    ASSERT_EQ(j.ensure_tables(), 0);
    EXPECT_EQ(j.unrecorded_units(), 6);
    EXPECT_TRUE(j.history_pending());
    std::vector<std::pair<int64_t, int64_t>> progress;
    EXPECT_EQ(j.recover_history([&](int64_t done, int64_t total) { progress.emplace_back(done, total); }), 3);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(int64_t{6}, int64_t{6}));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(j.unrecorded_units(), 0);

    std::vector<SaleRecord> sales;
    ASSERT_EQ(j.select_sales({}, sales), 3);
    struct Want {
        int64_t t;
        int seq, units;
        int64_t due, discount;
    };
    const Want want[] = {{kDay1, 1, 3, 235, 15}, {kDay1 + 3600, 2, 2, 45, 5}, {kDay2, 1, 1, 10, 0}};
    for (size_t i = 0; i < 3; ++i) {
        const SaleRecord& s = sales[i];
        EXPECT_EQ(s.time, want[i].t) << i;
        EXPECT_EQ(s.number, day_number(want[i].t, want[i].seq)) << i;
        EXPECT_EQ(s.units, want[i].units) << i;
        EXPECT_EQ(s.due, want[i].due) << i;
        EXPECT_EQ(s.discount, want[i].discount) << i;
        EXPECT_EQ(s.paid, s.due) << i;
        EXPECT_EQ(s.change, 0) << i;
        EXPECT_EQ(s.points, -1) << i;
        EXPECT_TRUE(s.recovered) << i;
        EXPECT_EQ(s.methods, 1u << kPayUnknown) << i;
        EXPECT_EQ(s.cashier + s.member, "") << i;
    }
    SaleDetail d;
    ASSERT_EQ(j.open_sale(sales[0].id, d), 1);
    ASSERT_EQ(d.lines.size(), 3u); // A at 9.0, B at 5.0, A at 9.5
    EXPECT_EQ(d.lines[0].code + d.lines[1].code + d.lines[2].code, "ABA");
    ASSERT_EQ(d.payments.size(), 1u);
    EXPECT_EQ(d.payments[0].method, kPayUnknown);
    EXPECT_EQ(d.payments[0].amount, 235);
    EXPECT_EQ(j.recover_history(), 0);
    EXPECT_EQ(j.count_sales({}), 3);
    EXPECT_FALSE(j.history_pending());
    c.close();
}

// The start's quick test: nothing pending on a new store or after a journal
// sale; pending when a version without the journal sold after the latest one.
TEST_F(JournalTest, HistoryPendingSeesSalesMadeWithoutTheJournal) {
    EXPECT_FALSE(journal.history_pending());
    std::vector<SRec> units = stock("H", 3, 2.0);
    ASSERT_EQ(journal.checkout(sale({units[0]}, kDay1, {2.0}, {{kPayCash, 20}})).status,
              CheckoutStatus::Done);
    EXPECT_FALSE(journal.history_pending());
    for (int64_t t : {kDay1, kDay2}) { // at the latest sale's very second, and later
        SRec old = units[t == kDay1 ? 1 : 2];
        old.FSi_Flag = 1;
        old.FSt_SalT = t;
        ASSERT_EQ(core.update_srec(&old, 1), 1);
        EXPECT_TRUE(journal.history_pending()) << t;
        EXPECT_EQ(journal.unrecorded_units(), 1);
        EXPECT_EQ(journal.recover_history(), 1);
        EXPECT_FALSE(journal.history_pending());
    }
}

// A sale made with the journal on a day of the old history keeps its number;
// the recovered ones of that day follow it.
TEST_F(JournalStore, RecoveredNumbersFollowThoseInUse) {
    make_old_store();
    Core c;
    ASSERT_EQ(c.open(), 0);
    Journal j(c);
    ASSERT_EQ(j.ensure_tables(), 0);
    std::vector<SRec> in_stock = all_units(c, "FSi_Flag=0");
    ASSERT_EQ(in_stock.size(), 1u);
    in_stock[0].FSi_Flag = 1;
    in_stock[0].FSt_SalT = kDay1 + 7200;
    in_stock[0].FSd_ReaP = 10.0;
    CheckoutRequest r;
    r.units = in_stock;
    r.payments = {{kPayCash, 100}};
    const CheckoutResult made = j.checkout(r);
    ASSERT_EQ(made.status, CheckoutStatus::Done);
    EXPECT_EQ(made.number, day_number(kDay1, 1));
    EXPECT_EQ(j.unrecorded_units(), 6);
    EXPECT_EQ(j.recover_history(), 3);
    SaleFilter day1;
    day1.to = local_time_of(2026, 12, 8, 0, 0, 0);
    std::vector<SaleRecord> sales;
    ASSERT_EQ(j.select_sales(day1, sales, SaleOrder::Number), 3);
    EXPECT_EQ(sales[0].number, made.number);
    EXPECT_FALSE(sales[0].recovered);
    EXPECT_EQ(sales[1].number, day_number(kDay1, 2));
    EXPECT_EQ(sales[1].time, kDay1);
    EXPECT_EQ(sales[2].number, day_number(kDay1, 3));
    c.close();
}

// A unit deleted from the goods since its sale keeps its price on the sale.
TEST_F(JournalTest, DeletedUnitKeepsItsPriceOnTheSale) {
    std::vector<SRec> units = stock("X", 2, 4.0);
    const CheckoutResult res = journal.checkout(sale(units, kDay1, {4.0}, {{kPayCash, 80}}));
    ASSERT_EQ(res.status, CheckoutStatus::Done);
    ASSERT_EQ(core.delete_srec(&units[1], 1), 1);
    SaleDetail d;
    ASSERT_EQ(journal.open_sale(res.sale_id, d), 1);
    ASSERT_EQ(d.lines.size(), 2u);
    EXPECT_EQ(d.lines[1].code, "");
    EXPECT_EQ(d.lines[0].amount + d.lines[1].amount, 80);
    EXPECT_EQ(journal.open_sale(res.sale_id + 1, d), 0);
}

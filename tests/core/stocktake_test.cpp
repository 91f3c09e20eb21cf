// Stock-takes: the sheet against the store, confirming (oldest units written
// off, extra ones entered at the latest prices), all or nothing, saved counts
// across reopening, the scope, abandoning, and the remark the units carry.
#include <algorithm>
#include <map>
#include <optional>

#include "core_fixture.h"
#include "vorn/articles.h"
#include "vorn/sqltext.h"
#include "vorn/stocktake.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kT1 = local_time_of(2026, 10, 1, 9, 0, 0);
const int64_t kT2 = local_time_of(2026, 11, 1, 9, 0, 0);
const int64_t kT3 = local_time_of(2026, 11, 20, 9, 0, 0);
const int64_t kNow = local_time_of(2026, 12, 8, 18, 0, 0);

struct Lot {
    const char* code;
    int n;
    int flag;
    int64_t time;
    double purchase;
    int type = 1;
};

class StockTakeTest : public StoreTest {
protected:
    void put(const std::vector<Lot>& lots) {
        for (const Lot& l : lots) {
            SRec u = unit(l.code, gbk("料酒"), l.flag, 10.0, 0.0, l.time);
            u.FSd_OriP = l.purchase;
            u.FSi_Type = l.type;
            u.FSs_Remark = "r";
            std::vector<SRec> v(static_cast<size_t>(l.n), u);
            ASSERT_EQ(core.insert_srec(v.data(), l.n), l.n);
        }
    }
    std::vector<SRec> units(const std::string& cond) { return all_units(core, cond.c_str()); }
    int count(const std::string& cond) { return core.get_srec_count(cond.c_str()); }
    StockTakeRec open_take() {
        StockTakeRec r;
        EXPECT_EQ(takes.find_open(r), 1);
        return r;
    }
    std::map<std::string, StockTakeRow> sheet(const StockTakeRec& r, const StockCounts& c = {},
                                              bool zero = false) {
        std::vector<StockTakeRow> rows;
        EXPECT_GE(takes.sheet(r, c, zero, rows), 0);
        std::map<std::string, StockTakeRow> m;
        for (auto& row : rows)
            m[row.code] = row;
        return m;
    }
    // Everything a confirmation may write, as text.
    std::string trace() {
        std::string t;
        for (const SRec& u : units(""))
            t += std::to_string(u.FSi_Id) + u.FSs_Code + std::to_string(u.FSi_Flag) + u.FSs_Remark +
                 std::to_string(u.FSt_StoT) + format_money(u.FSd_RetP) + "\n";
        std::vector<StockTakeRec> all;
        EXPECT_GE(takes.select(all), 0);
        for (const StockTakeRec& r : all) {
            t += std::to_string(r.id) + "/" + std::to_string(static_cast<int>(r.state)) + "/" +
                 std::to_string(r.done) + ":";
            StockCounts c;
            EXPECT_GE(takes.counts(r.id, c), 0);
            for (const auto& [code, n] : c)
                t += code + "=" + std::to_string(n) + ",";
            t += "\n";
        }
        return t;
    }

    StockTakes takes{core};
};

// The sheet's book stock is the units in stock; the difference at cost takes
// the purchase prices of the oldest units for a shortfall and the latest
// unit's price for extra units.
TEST_F(StockTakeTest, SheetAgainstTheStore) {
    put({{"A", 2, 0, kT2, 4.0},
         {"A", 1, 0, kT1, 3.0},
         {"A", 3, 1, kT1, 9.0},
         {"A", 1, 2, kT1, 9.0},
         {"B", 2, 0, kT1, 2.5},
         {"B", 1, 0, kT3, 6.0},
         {"C", 2, 1, kT1, 1.0},
         {"D", 4, 0, kT1, 1.0}});
    ASSERT_GT(takes.start("alice", {}, kNow), 0);
    const StockTakeRec r = open_take();
    struct Case {
        const char* name;
        StockCounts counts;
        bool zero;
        // code -> counted (nullopt: left alone), difference, cost in tenths
        std::map<std::string, std::tuple<std::optional<int>, int, int64_t>> want;
    };
    const std::vector<Case> cases = {
        {"nothing counted",
         {},
         false,
         {{"A", {std::nullopt, 0, 0}},
          {"B", {std::nullopt, 0, 0}},
          {"C", {std::nullopt, 0, 0}},
          {"D", {std::nullopt, 0, 0}}}},
        // A: book 3; the oldest is the one at 3.0, then the two at 4.0.
        {"shortfalls take the oldest",
         {{"A", 1}, {"B", 1}},
         false,
         {{"A", {1, -2, -(30 + 40)}}, {"B", {1, -2, -(25 + 25)}}, {"C", {std::nullopt, 0, 0}}}},
        // Extra units cost the latest unit in stock (B's at 6.0; C has none
        // in stock: its latest unit at all).
        {"extra at the latest price",
         {{"B", 5}, {"C", 2}, {"D", 4}},
         false,
         {{"B", {5, 2, 2 * 60}}, {"C", {2, 2, 2 * 10}}, {"D", {4, 0, 0}}}},
        {"uncounted as zero",
         {{"A", 3}},
         true,
         {{"A", {3, 0, 0}}, {"B", {0, -3, -(25 + 25 + 60)}}, {"C", {0, 0, 0}}, {"D", {0, -4, -40}}}},
    };
    for (const Case& c : cases) {
        const auto got = sheet(r, c.counts, c.zero);
        ASSERT_EQ(got.size(), 4u) << c.name;
        for (const auto& [code, row] : got)
            EXPECT_EQ(row.book, count("FSi_Flag=0 AND FSs_Code='" + code + "'")) << c.name << code;
        for (const auto& [code, w] : c.want) {
            const StockTakeRow& row = got.at(code);
            EXPECT_EQ(row.counted, std::get<0>(w)) << c.name << code;
            EXPECT_EQ(row.difference, std::get<1>(w)) << c.name << code;
            EXPECT_EQ(row.cost, std::get<2>(w)) << c.name << code;
        }
        std::vector<StockTakeRow> rows;
        for (const auto& [code, row] : got)
            rows.push_back(row);
        const StockTakeSums s = sum_stock_take(rows);
        int64_t missing = 0, extra = 0, cost = 0;
        for (const auto& row : rows) {
            (row.difference < 0 ? missing : extra) += std::abs(row.difference);
            cost += row.cost;
        }
        EXPECT_EQ(s.missing, missing) << c.name;
        EXPECT_EQ(s.extra, extra) << c.name;
        EXPECT_EQ(s.cost(), cost) << c.name;
        EXPECT_EQ(s.book, 3 + 3 + 0 + 4) << c.name;
    }
}

TEST_F(StockTakeTest, ConfirmWritesOffTheOldestAndEntersAtTheLatestPrices) {
    put({{"A", 2, 0, kT2, 4.0}, {"A", 1, 0, kT1, 3.0}, {"B", 1, 0, kT1, 2.0}, {"B", 1, 0, kT2, 6.0}});
    // B's latest prices differ from its units' own: a price change since.
    PriceChange change{"B", {}, "alice", kT3};
    change.tenths[kRetailPrice] = 123;
    ASSERT_EQ(Articles(core).set_prices(change), 2);
    const int64_t id = takes.start("alice", {}, kNow);
    ASSERT_GT(id, 0);
    ASSERT_EQ(takes.save_counts(id, {{"A", 1}}), 0);
    const auto before = sheet(open_take(), {{"B", 4}});
    // A is one short of 3 then 2 more: its unit of kT1 and the first of kT2.
    std::vector<int> oldest_a = {units("FSs_Code='A' AND FSt_StoT='" + format_time(kT1) + "'")[0].FSi_Id,
                                 units("FSs_Code='A' AND FSt_StoT='" + format_time(kT2) + "'")[0].FSi_Id};
    std::sort(oldest_a.begin(), oldest_a.end());
    StockTakeResult res;
    ASSERT_EQ(takes.confirm(id, {{"B", 4}}, false, kNow, res), 1);
    EXPECT_EQ(res.written_off, 2);
    EXPECT_EQ(res.entered, 2);
    EXPECT_EQ(res.cost, before.at("A").cost + before.at("B").cost);

    const auto off = units("FSi_Flag=2 ORDER BY FSi_Id");
    ASSERT_EQ(off.size(), 2u);
    EXPECT_EQ(off[0].FSi_Id, oldest_a[0]);
    EXPECT_EQ(off[1].FSi_Id, oldest_a[1]);
    const std::string missing = "\xC5\xCC\xBF\xF7#" + std::to_string(id) + " r";
    for (const SRec& u : off)
        EXPECT_EQ(u.FSs_Remark, missing);
    EXPECT_EQ(count("FSs_Code='A' AND FSi_Flag=0 AND FSt_StoT='" + format_time(kT2) + "'"), 1);

    const SRec latest = units("FSs_Code='B' AND FSt_StoT='" + format_time(kT2) + "'")[0];
    const auto entered = units("FSs_Code='B' AND FSt_StoT='" + format_time(kNow) + "'");
    ASSERT_EQ(entered.size(), 2u);
    for (const SRec& u : entered) {
        EXPECT_EQ(u.FSi_Flag, 0);
        EXPECT_DOUBLE_EQ(u.FSd_RetP, 12.3);
        EXPECT_DOUBLE_EQ(u.FSd_OriP, latest.FSd_OriP);
        EXPECT_EQ(u.FSs_Name, latest.FSs_Name);
        EXPECT_EQ(u.FSi_Type, latest.FSi_Type);
        EXPECT_EQ(u.FSs_Remark, "\xC5\xCC\xD3\xAF#" + std::to_string(id) + " r");
    }
    EXPECT_EQ(count("FSs_Code='B' AND FSi_Flag=0"), 4);

    // Kept with its lines, user and time; the sheet now shows what was written.
    StockTakeRec done;
    ASSERT_EQ(takes.find(id, done), 1);
    EXPECT_EQ(done.state, StockTakeState::Confirmed);
    EXPECT_EQ(done.user, "alice");
    EXPECT_EQ(done.done, kNow);
    StockTakeRec none;
    EXPECT_EQ(takes.find_open(none), 0);
    const auto after = sheet(done);
    ASSERT_EQ(after.size(), 2u);
    for (const char* code : {"A", "B"}) {
        EXPECT_EQ(after.at(code).book, before.at(code).book) << code;
        EXPECT_EQ(after.at(code).counted, before.at(code).counted) << code;
        EXPECT_EQ(after.at(code).cost, before.at(code).cost) << code;
    }
    // A confirmed one takes nothing more.
    EXPECT_EQ(takes.confirm(id, {}, false, kNow, res), -1);
    EXPECT_EQ(takes.save_counts(id, {{"A", 9}}), -1);
}

// Most of a shop's stock short (150 codes, 3 of 4 units each) goes through the
// units in one pass rather than code by code; both find the same units.
TEST_F(StockTakeTest, ManyCodesFindTheSameOldestUnits) {
    for (int codes : {3, 150}) {
        std::vector<Lot> lots;
        std::vector<std::string> names;
        for (int k = 0; k < codes; ++k)
            names.push_back("K" + std::to_string(k));
        for (const std::string& n : names) {
            lots.push_back({n.c_str(), 2, 0, kT2, 4.0});
            lots.push_back({n.c_str(), 1, 0, kT1, 1.5});
            lots.push_back({n.c_str(), 1, 0, kT3, 9.0});
        }
        put(lots);
        const int64_t id = takes.start("alice", {}, kNow);
        StockCounts counts;
        for (const std::string& n : names)
            counts[n] = 1; // three short: the one of kT1 and both of kT2
        const auto s = sheet(open_take(), counts);
        for (const std::string& n : names)
            EXPECT_EQ(s.at(n).cost, -(15 + 40 + 40)) << codes << n;
        StockTakeResult res;
        ASSERT_EQ(takes.confirm(id, counts, false, kNow, res), 1);
        EXPECT_EQ(res.written_off, 3 * codes);
        EXPECT_EQ(count("FSi_Flag=2 AND FSt_StoT='" + format_time(kT1) + "'"), codes);
        EXPECT_EQ(count("FSi_Flag=2 AND FSt_StoT='" + format_time(kT2) + "'"), 2 * codes);
        EXPECT_EQ(count("FSi_Flag=0 AND FSt_StoT='" + format_time(kT3) + "'"), codes);
        ASSERT_EQ(core.exec_sql("DELETE FROM Store;"), 0);
    }
}

TEST_F(StockTakeTest, UncountedCodesAreLeftAloneUnlessZeroed) {
    for (bool zero : {false, true}) {
        put({{"A", 2, 0, kT1, 1.0}, {"B", 3, 0, kT1, 1.0}});
        const int64_t id = takes.start("alice", {}, kNow);
        ASSERT_GT(id, 0);
        StockTakeResult res;
        ASSERT_EQ(takes.confirm(id, {{"A", 2}}, zero, kNow, res), 1);
        EXPECT_EQ(count("FSs_Code='B' AND FSi_Flag=0"), zero ? 0 : 3) << zero;
        EXPECT_EQ(res.written_off, zero ? 3 : 0);
        StockTakeRec done;
        ASSERT_EQ(takes.find(id, done), 1);
        EXPECT_EQ(done.zero_uncounted, zero);
        EXPECT_EQ(sheet(done).size(), zero ? 2u : 1u);
        ASSERT_EQ(core.exec_sql("DELETE FROM Store;"), 0);
    }
}

// A failure anywhere in the confirmation leaves the store and the stock-take
// as they were.
TEST_F(StockTakeTest, ConfirmIsAllOrNothing) {
    put({{"A", 3, 0, kT1, 1.0}, {"B", 1, 0, kT1, 1.0}});
    const int64_t id = takes.start("alice", {}, kNow);
    ASSERT_EQ(takes.save_counts(id, {{"A", 1}, {"B", 3}}), 0);
    const std::string before = trace();
    for (const char* part : {"UPDATE ON Store", "INSERT ON Store", "DELETE ON StockTakeLine",
                             "INSERT ON StockTakeLine", "UPDATE ON StockTake"}) {
        ASSERT_EQ(core.exec_sql(("CREATE TRIGGER forced BEFORE " + std::string(part) +
                                 " BEGIN SELECT RAISE(ABORT,'forced'); END;")
                                    .c_str()),
                  0);
        StockTakeResult res;
        EXPECT_EQ(takes.confirm(id, {{"A", 2}}, true, kNow, res), -1) << part;
        EXPECT_EQ(res.written_off + res.entered, 0) << part;
        EXPECT_EQ(trace(), before) << part;
        ASSERT_EQ(core.exec_sql("DROP TRIGGER forced;"), 0);
    }
    // A count for a code the store does not hold refuses the whole.
    StockTakeResult res;
    EXPECT_EQ(takes.confirm(id, {{"NOPE", 1}}, false, kNow, res), -1);
    EXPECT_EQ(trace(), before);
    EXPECT_EQ(takes.confirm(id, {{"A", 2}}, false, kNow, res), 1);
    EXPECT_NE(trace(), before);
}

TEST_F(StockTakeTest, CountsAreSavedAndContinuedAfterReopening) {
    put({{"A", 3, 0, kT1, 1.0}, {"B", 1, 0, kT1, 1.0}, {"C", 1, 0, kT1, 1.0}});
    const int64_t id = takes.start(gbk("小王"), {1, 4}, kNow);
    ASSERT_GT(id, 0);
    EXPECT_EQ(takes.start("bob", {}, kNow), 0) << "one open at a time";
    ASSERT_EQ(takes.save_counts(id, {{"A", 2}, {"B", 7}}), 0);
    ASSERT_EQ(takes.save_counts(id, {{"B", -1}, {"C", 0}}), 0);
    core.close();
    ASSERT_EQ(core.open(), 0);
    StockTakeRec r;
    ASSERT_EQ(takes.find_open(r), 1);
    EXPECT_EQ(r.id, id);
    EXPECT_EQ(r.user, gbk("小王"));
    EXPECT_EQ(r.started, kNow);
    EXPECT_EQ(r.types, (std::vector<int>{1, 4}));
    StockCounts c;
    ASSERT_EQ(takes.counts(id, c), 2);
    EXPECT_EQ(c, (StockCounts{{"A", 2}, {"C", 0}}));
    // Counts typed since the save lie over the saved ones.
    const auto s = sheet(r, {{"A", 5}});
    EXPECT_EQ(s.at("A").counted, 5);
    EXPECT_EQ(s.at("B").counted, std::nullopt);
    EXPECT_EQ(s.at("C").counted, 0);
}

TEST_F(StockTakeTest, ScopeByTypes) {
    put({{"A", 1, 0, kT1, 1.0, 2}, {"B", 1, 0, kT1, 1.0, 3}, {"C", 1, 0, kT1, 1.0, 4}});
    // A code's type is its latest unit's.
    put({{"C", 1, 0, kT2, 1.0, 2}});
    const int64_t id = takes.start("alice", {2}, kNow);
    const auto s = sheet(open_take());
    EXPECT_EQ(s.size(), 2u);
    EXPECT_EQ(s.count("A") + s.count("C"), 2u);
    StockTakeResult res;
    EXPECT_EQ(takes.confirm(id, {{"B", 0}}, false, kNow, res), -1) << "outside the scope";
    ASSERT_EQ(takes.confirm(id, {}, true, kNow, res), 1);
    EXPECT_EQ(res.written_off, 3);
    EXPECT_EQ(count("FSi_Flag=0"), 1);
}

TEST_F(StockTakeTest, AbandonedWritesNothing) {
    put({{"A", 2, 0, kT1, 1.0}});
    const int64_t id = takes.start("alice", {}, kNow);
    ASSERT_EQ(takes.save_counts(id, {{"A", 0}}), 0);
    EXPECT_EQ(takes.abandon(id, kNow), 1);
    EXPECT_EQ(takes.abandon(id, kNow), 0);
    StockTakeResult res;
    EXPECT_EQ(takes.confirm(id, {}, true, kNow, res), -1);
    EXPECT_EQ(count("FSi_Flag=0"), 2);
    StockTakeRec r;
    ASSERT_EQ(takes.find(id, r), 1);
    EXPECT_EQ(r.state, StockTakeState::Abandoned);
    EXPECT_GT(takes.start("alice", {}, kNow), id);
}

TEST(StockTakeRemark, MarkFirstCutOnAWholeCharacter) {
    const std::string mark = "\xC5\xCC\xBF\xF7#7";
    const std::string han = "\xC1\xCF"; // 料
    struct Case {
        std::string old;
        std::string want;
    };
    const std::vector<Case> cases = {
        {"", mark},
        {"old", mark + " old"},
        {std::string(300, 'x'), mark + " " + std::string(256 - mark.size() - 1, 'x')},
        // 248 bytes left after "mark ": 124 characters fit, none is halved.
        {[&] {
             std::string s;
             for (int i = 0; i < 200; ++i)
                 s += han;
             return s;
         }(),
         [&] {
             std::string s = mark + " ";
             while (s.size() + 2 <= 256)
                 s += han;
             return s;
         }()},
        // An odd number of bytes left: the last character stays out whole.
        {"a" + han + han, mark + " a" + han + han},
    };
    for (const Case& c : cases) {
        const std::string got = stock_take_remark(mark, c.old);
        EXPECT_EQ(got, c.want) << c.old.size();
        EXPECT_LE(got.size(), 256u);
    }
    std::string odd = "a";
    for (int i = 0; i < 200; ++i)
        odd += han;
    const std::string got = stock_take_remark(mark, odd);
    EXPECT_EQ(got.size() % 2, (mark.size() + 2) % 2) << "no half character at the end";
}

TEST_F(TempDirTest, AnOldStoreGainsTheStockTakeTables) {
    {
        Core maker;
        ASSERT_EQ(maker.open(), 0);
        ASSERT_EQ(maker.exec_sql("DROP TABLE StockTake;DROP TABLE StockTakeLine;"), 0);
        maker.close();
    }
    Core core;
    ASSERT_EQ(core.open(), 0);
    StockTakes takes(core);
    EXPECT_GT(takes.start("alice", {}, kNow), 0);
    StockTakeRec r;
    EXPECT_EQ(takes.find_open(r), 1);
    core.close();
}

} // namespace

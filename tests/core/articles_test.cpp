// The goods by article: grouping by code, counts by state against the store,
// the latest unit's fields, the search as typed, the order, and price changes
// that touch only the units in stock, all or nothing, with their history.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "core_fixture.h"
#include "vorn/articles.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kT1 = local_time_of(2026, 11, 1, 9, 0, 0);
const int64_t kT2 = local_time_of(2026, 11, 20, 9, 0, 0);
const int64_t kT3 = local_time_of(2026, 12, 1, 9, 0, 0);

class ArticlesTest : public StoreTest {
protected:
    // n units of the code in the state, entered at t at the retail price.
    void put(const std::string& code, const std::string& name, int n, int flag, double retail, int64_t t) {
        std::vector<SRec> units(static_cast<size_t>(n), unit(code, name, flag, retail, 0.0, t));
        ASSERT_EQ(core.insert_srec(units.data(), n), n);
    }
    int stored(const std::string& code, const char* more) {
        return core.get_srec_count(("FSs_Code='" + sql_escape(code) + "' AND " + more).c_str());
    }
    std::vector<Article> list(const std::string& text = "", ArticleOrder order = ArticleOrder::Code,
                              bool desc = false) {
        std::vector<Article> out;
        EXPECT_GE(articles.select(text, order, desc, out), 0);
        return out;
    }
    static std::vector<std::string> codes(const std::vector<Article>& list) {
        std::vector<std::string> c;
        for (const Article& a : list)
            c.push_back(a.code);
        return c;
    }
    // The five prices of every unit of the code in the state, in tenths.
    std::vector<std::array<int64_t, 5>> prices(const std::string& code, int flag) {
        std::vector<std::array<int64_t, 5>> p;
        for (const SRec& u :
             all_units(core, ("FSs_Code='" + code + "' AND FSi_Flag=" + std::to_string(flag)).c_str()))
            p.push_back({std::llround(u.FSd_RetP * 10), std::llround(u.FSd_MemP * 10),
                         std::llround(u.FSd_GolP * 10), std::llround(u.FSd_WhoP * 10),
                         std::llround(u.FSd_SpeP * 10)});
        return p;
    }

    Articles articles{core};
};

TEST_F(ArticlesTest, CountsByStateMatchTheStore) {
    put("A1", gbk("料酒"), 3, 0, 10, kT1);
    put("A1", gbk("料酒"), 2, 1, 10, kT1);
    put("A1", gbk("料酒"), 1, 2, 10, kT1);
    put("B2", "beer", 4, 1, 5, kT2);
    put("C3", "cola", 1, 0, 3, kT3);
    const std::vector<Article> all = list();
    ASSERT_EQ(codes(all), (std::vector<std::string>{"A1", "B2", "C3"}));
    for (const Article& a : all) {
        SCOPED_TRACE(a.code);
        EXPECT_EQ(a.in_stock, stored(a.code, "FSi_Flag=0"));
        EXPECT_EQ(a.sold, stored(a.code, "FSi_Flag=1"));
        EXPECT_EQ(a.written_off, stored(a.code, "FSi_Flag=2"));
    }
    const ArticleSums s = sum_articles(all);
    EXPECT_EQ(s.articles, 3);
    EXPECT_EQ(s.in_stock, core.get_srec_count("FSi_Flag=0"));
    EXPECT_EQ(s.sold, core.get_srec_count("FSi_Flag=1"));
    EXPECT_EQ(s.written_off, core.get_srec_count("FSi_Flag=2"));
}

TEST_F(ArticlesTest, FieldsComeFromTheLatestUnitInStockElseTheLatest) {
    put("A1", "old name", 2, 0, 10, kT1);
    put("A1", "new name", 1, 0, 12.5, kT2);
    // Entered later but sold: its prices are the past's.
    put("A1", "sold name", 1, 1, 99, kT3);
    put("B2", "first", 1, 1, 4, kT1);
    put("B2", "second", 1, 1, 6, kT2);
    const std::vector<Article> all = list();
    ASSERT_EQ(all.size(), 2u);
    const std::vector<SRec> a1 = all_units(core, "FSs_Code='A1' AND FSi_Flag=0 ORDER BY FSi_Id DESC");
    EXPECT_EQ(all[0].name, "new name");
    EXPECT_EQ(all[0].latest_unit, a1.front().FSi_Id);
    EXPECT_DOUBLE_EQ(all[0].retail, 12.5);
    EXPECT_DOUBLE_EQ(all[0].member, 11.5);
    EXPECT_DOUBLE_EQ(all[0].special, 8.5);
    EXPECT_EQ(all[0].latest_entry, kT3); // the unit entered last, sold or not
    EXPECT_EQ(all[1].name, "second");
    EXPECT_DOUBLE_EQ(all[1].retail, 6);
    EXPECT_EQ(all[1].latest_entry, kT2);

    SRec latest;
    EXPECT_EQ(articles.latest_unit("A1", latest), 1);
    EXPECT_EQ(latest.FSi_Id, a1.front().FSi_Id);
    EXPECT_EQ(articles.latest_unit("B2", latest), 1);
    EXPECT_EQ(latest.FSs_Name, "second");
    EXPECT_EQ(articles.latest_unit("none", latest), 0);
    EXPECT_EQ(latest.FSs_Name, "second"); // untouched
}

TEST_F(ArticlesTest, SearchHoldsTheTextAsTyped) {
    put("AB-1", gbk("清泉料酒"), 1, 0, 10, kT1);
    put("ab-2", "Lemon", 1, 0, 10, kT1);
    put("50%", "half", 1, 0, 10, kT1);
    put("5X0", "five", 1, 0, 10, kT1);
    put("a_b", "under", 1, 0, 10, kT1);
    put("axb", "cross", 1, 0, 10, kT1);
    put("Q1", gbk("丄"), 1, 0, 10, kT1); // its trail byte is 'A'
    put("Q2", "it's", 1, 0, 10, kT1);
    const struct {
        std::string text;
        std::vector<std::string> want;
    } cases[] = {
        {"", {"50%", "5X0", "AB-1", "Q1", "Q2", "a_b", "ab-2", "axb"}},
        {"AB", {"AB-1"}},
        {"ab", {"ab-2"}},
        {"lemon", {}},
        {"Lem", {"ab-2"}},
        {"%", {"50%"}},
        {"0%", {"50%"}},
        {"_", {"a_b"}},
        {"a_", {"a_b"}},
        {"A", {"AB-1"}},
        {"'", {"Q2"}},
        {gbk("泉料"), {"AB-1"}},
        {gbk("料酒"), {"AB-1"}},
        {gbk("酒料"), {}},
        {"\\", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(codes(list(c.text)), c.want);
    }
}

TEST_F(ArticlesTest, AnArticleKeepsAllItsUnitsWhicheverMatched) {
    put("K1", "Tea", 2, 0, 10, kT1);
    put("K1", "Green", 3, 1, 10, kT2);
    const std::vector<Article> found = list("Tea");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].in_stock, 2);
    EXPECT_EQ(found[0].sold, 3);
    // The name shown is the latest unit in stock's: the sold units' name finds nothing.
    EXPECT_TRUE(list("Green").empty());
}

TEST_F(ArticlesTest, OrderedByEveryColumnBothWays) {
    put("A", "zeta", 5, 0, 30, kT1);
    put("B", "alpha", 1, 0, 10, kT3);
    put("B", "alpha", 7, 1, 10, kT1);
    put("C", "mid", 3, 0, 20, kT2);
    put("C", "mid", 1, 2, 20, kT2);
    put("D", "mid", 3, 0, 20, kT2);
    const struct {
        ArticleOrder order;
        std::function<long double(const Article&)> key;
    } cases[] = {
        {ArticleOrder::Code, [](const Article& a) { return static_cast<long double>(a.code[0]); }},
        {ArticleOrder::Name, [](const Article& a) { return static_cast<long double>(a.name[0]); }},
        {ArticleOrder::InStock, [](const Article& a) { return static_cast<long double>(a.in_stock); }},
        {ArticleOrder::Sold, [](const Article& a) { return static_cast<long double>(a.sold); }},
        {ArticleOrder::WrittenOff, [](const Article& a) { return static_cast<long double>(a.written_off); }},
        {ArticleOrder::Retail, [](const Article& a) { return static_cast<long double>(a.retail); }},
        {ArticleOrder::Member, [](const Article& a) { return static_cast<long double>(a.member); }},
        {ArticleOrder::Entry, [](const Article& a) { return static_cast<long double>(a.latest_entry); }},
    };
    for (const auto& c : cases) {
        for (bool desc : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.order)) + (desc ? " desc" : " asc"));
            const std::vector<Article> got = list("", c.order, desc);
            ASSERT_EQ(got.size(), 4u);
            for (size_t i = 1; i < got.size(); ++i) {
                const long double a = c.key(got[i - 1]), b = c.key(got[i]);
                // Ties go by code in the same direction.
                if (a == b)
                    EXPECT_EQ(got[i - 1].code < got[i].code, !desc);
                else
                    EXPECT_EQ(a < b, !desc);
            }
        }
    }
}

TEST_F(ArticlesTest, PriceChangeTouchesOnlyUnitsInStockAndKeepsHistory) {
    put("P", "pen", 2, 0, 10, kT1);
    put("P", "pen", 1, 0, 12, kT2);
    put("P", "pen", 3, 1, 10, kT1);
    put("P", "pen", 1, 2, 10, kT1);
    put("Q", "other", 2, 0, 10, kT1);
    const auto soldBefore = prices("P", 1), offBefore = prices("P", 2), otherBefore = prices("Q", 0);

    PriceChange c;
    c.code = "P";
    c.tenths[kRetailPrice] = 155;
    c.tenths[kGoldPrice] = 130;
    c.user = "alice";
    c.time = kT3;
    ASSERT_EQ(articles.set_prices(c), 3);

    // Retail and gold set, the other three kept per unit (retail - 1, -3, -4).
    std::vector<std::array<int64_t, 5>> want = {
        {155, 90, 130, 70, 60}, {155, 90, 130, 70, 60}, {155, 110, 130, 90, 80}};
    EXPECT_EQ(prices("P", 0), want);
    EXPECT_EQ(prices("P", 1), soldBefore);
    EXPECT_EQ(prices("P", 2), offBefore);
    EXPECT_EQ(prices("Q", 0), otherBefore);

    std::vector<PriceHistoryRec> h;
    ASSERT_EQ(articles.select_history("P", h), 2);
    std::map<int64_t, PriceHistoryRec> byOldRetail;
    for (const PriceHistoryRec& r : h)
        byOldRetail[r.old_tenths[kRetailPrice]] = r;
    ASSERT_EQ(byOldRetail.size(), 2u);
    EXPECT_EQ(byOldRetail[100].units, 2);
    EXPECT_EQ(byOldRetail[120].units, 1);
    EXPECT_EQ(byOldRetail[120].old_tenths, (std::array<int64_t, 5>{120, 110, 100, 90, 80}));
    EXPECT_EQ(byOldRetail[120].new_tenths, (std::array<int64_t, 5>{155, 110, 130, 90, 80}));
    for (const PriceHistoryRec& r : h) {
        EXPECT_EQ(r.code, "P");
        EXPECT_EQ(r.user, "alice");
        EXPECT_EQ(r.time, kT3);
    }
    EXPECT_EQ(articles.select_history("Q", h), 0);

    // The article now shows the new prices.
    const std::vector<Article> all = list("P");
    ASSERT_EQ(all.size(), 1u);
    EXPECT_DOUBLE_EQ(all[0].retail, 15.5);
}

TEST_F(ArticlesTest, PriceChangeThatCannotApplyWritesNothing) {
    put("S", "sold out", 2, 1, 10, kT1);
    put("P", "pen", 2, 0, 10, kT1);
    const auto before = prices("P", 0);
    const struct {
        const char* what;
        std::string code;
        std::optional<int64_t> retail;
        int want;
    } cases[] = {
        {"none in stock", "S", 50, 0},
        {"no such code", "X", 50, 0},
        {"no level given", "P", std::nullopt, 0},
        {"negative price", "P", -1, -1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        PriceChange c;
        c.code = k.code;
        c.tenths[kRetailPrice] = k.retail;
        c.time = kT2;
        EXPECT_EQ(articles.set_prices(c), k.want);
    }
    EXPECT_EQ(prices("P", 0), before);
    EXPECT_EQ(core.get_srec_count("FSi_Flag=1 AND FSd_RetP=10"), 2);
    std::vector<PriceHistoryRec> h;
    EXPECT_EQ(articles.select_history("P", h) + articles.select_history("S", h), 0);
}

TEST_F(ArticlesTest, AFailedHistoryWriteTakesThePricesBack) {
    put("P", "pen", 3, 0, 10, kT1);
    const auto before = prices("P", 0);
    ASSERT_EQ(core.exec_sql("DROP TABLE PriceHistory;"), 0);
    PriceChange c;
    c.code = "P";
    c.tenths[kRetailPrice] = 200;
    c.time = kT2;
    EXPECT_EQ(articles.set_prices(c), -1);
    EXPECT_EQ(prices("P", 0), before);
    EXPECT_NE(Core::last_error(), 0);
}

TEST_F(ArticlesTest, PriceHistoryIsAddedToAStoreThatLacksIt) {
    ASSERT_EQ(core.exec_sql("DROP TABLE PriceHistory;"), 0);
    core.close();
    ASSERT_EQ(core.open(), 0);
    put("P", "pen", 1, 0, 10, kT1);
    PriceChange c;
    c.code = "P";
    c.tenths[kSpecialPrice] = 5;
    c.time = kT2;
    EXPECT_EQ(articles.set_prices(c), 1);
    std::vector<PriceHistoryRec> h;
    EXPECT_EQ(articles.select_history("P", h), 1);
}

TEST(ArticleText, ContainsWholeGbkCharacters) {
    const struct {
        std::string text, part;
        bool want;
    } cases[] = {
        {"abc", "", true},
        {"abc", "bc", true},
        {"abc", "BC", false},
        {"ab", "abc", false},
        {gbk("丄"), "A", false},
        {gbk("x丄A"), "A", true},
        {gbk("清泉料酒"), gbk("泉料"), true},
        {gbk("清泉料酒"), gbk("料"), true},
        {gbk("啊"), "\xa1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gbk_contains(c.text, c.part), c.want) << c.text << " / " << c.part;
}

TEST(ArticleText, LikePatternEscapesWildcardsAndQuotes) {
    EXPECT_EQ(like_contains_pattern(""), "%%");
    EXPECT_EQ(like_contains_pattern("ab"), "%ab%");
    EXPECT_EQ(like_contains_pattern("5%_x\\"), "%5\\%\\_x\\\\%");
    EXPECT_EQ(like_contains_pattern("it's"), "%it''s%");
}

} // namespace

// vorn::Articles: the goods by article. The store keeps one Store row per unit;
// a shop owner thinks in goods codes ("how many 料酒 are left"). This groups
// the units by FSs_Code and changes the prices of an article's units in stock
// in one step, keeping every change in table PriceHistory beside the six.
//
// An article's name, type, size, supplier and prices are those of its latest
// unit: the one entered last (highest FSi_Id) among its units in stock, or among
// all its units when none is left. A price change touches only the units in
// stock, so the latest one in stock is the one that carries today's prices.
//
// Text (codes, names, the search text, the user) is GBK bytes, as everywhere in
// the store.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vorn/export.h"
#include "vorn/records.h"

namespace vorn {

class Core;

struct Article {
    std::string code;
    std::string name;
    int type = 0;
    std::string size;
    int supplier = 0;
    int in_stock = 0;    // FSi_Flag 0
    int sold = 0;        // FSi_Flag 1
    int written_off = 0; // FSi_Flag 2
    // Yuan, as the Store holds them.
    double purchase = 0, retail = 0, member = 0, gold = 0, wholesale = 0, special = 0;
    int64_t latest_entry = 0; // stock time of the unit entered last
    int latest_unit = 0;      // FSi_Id of the unit the fields above come from
};

enum class ArticleOrder {
    Code,
    Name,
    Type,
    Size,
    Supplier,
    InStock,
    Sold,
    WrittenOff,
    Retail,
    Member,
    Entry
};

// Footers of a list of articles.
struct ArticleSums {
    int articles = 0;
    int64_t in_stock = 0, sold = 0, written_off = 0;
};
VORNCORE_API ArticleSums sum_articles(const std::vector<Article>& list);

// The five selling prices, in the order the entry dialog shows them.
enum PriceLevel : int { kRetailPrice, kMemberPrice, kGoldPrice, kWholesalePrice, kSpecialPrice };
constexpr int kPriceLevels = 5;

// New prices for the units in stock of one code; a level left unset keeps each
// unit's own price.
struct PriceChange {
    std::string code;
    std::array<std::optional<int64_t>, kPriceLevels> tenths; // tenths of a yuan, >= 0
    std::string user;                                        // FUs_Name of who changed them
    int64_t time = 0;                                        // local-time seconds
};

// One row of PriceHistory: the units of one code that had the same old prices
// and what they were set to. Money in tenths.
struct PriceHistoryRec {
    int64_t id = 0;
    std::string code;
    int64_t time = 0;
    std::string user;
    int units = 0;
    std::array<int64_t, kPriceLevels> old_tenths{};
    std::array<int64_t, kPriceLevels> new_tenths{};
};

class VORNCORE_API Articles {
public:
    explicit Articles(Core& core) : core_(core) {}

    // The articles whose code or name holds `text` (as typed: case counts, and
    // % and _ are plain characters), all of them for an empty text, in the order
    // asked (ties by code in the same direction). Replaces out; the number of
    // articles, or -1 when the store failed (out then empty).
    int select(const std::string& text, ArticleOrder order, bool descending, std::vector<Article>& out);

    // The latest unit of the code (see above): 1, 0 when the store holds none
    // of that code, -1 when the store failed.
    int latest_unit(const std::string& code, SRec& out);

    // Sets the given prices on every unit of the code in stock and writes one
    // PriceHistory row per set of old prices, all in one transaction. Sold and
    // written-off units keep the prices they had. The number of units changed;
    // 0 when none is in stock or no level is given (nothing written); -1 when a
    // price is negative or the store refused a write (nothing written).
    int set_prices(const PriceChange& change);

    // The code's price changes, newest first (ties: last written first). The
    // number of rows, or -1 (out then empty).
    int select_history(const std::string& code, std::vector<PriceHistoryRec>& out);

private:
    Core& core_;
};

// Whether the GBK text holds `part` as a run of whole characters, bytes
// compared as they are (so case counts). A part that is empty is held by any text.
VORNCORE_API bool gbk_contains(std::string_view text, std::string_view part);

// '%<text>%' with %, _ and the escape character \ escaped by \ (for LIKE ...
// ESCAPE '\'), and single quotes doubled, ready to stand between quotes.
VORNCORE_API std::string like_contains_pattern(std::string_view text);

} // namespace vorn

// The goods by article: units grouped by code, and the search over them.
#include "vorn/articles.h"

#include <algorithm>

#include "engine.h"

#include "journalinternal.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"

namespace vorn {

namespace {

// Per code: the counts by state and the two units that speak for it (the last
// entered in stock, and the last entered at all). Only FSs_Code, FSi_Flag and
// the row id are read, which the index on (FSs_Code, FSi_Flag) holds: a million
// units are grouped without touching the table. Then two lookups per article
// by row id fetch its fields and its latest stock time.
const char kGroupHead[] =
    "SELECT a.c,s.FSs_Name,s.FSi_Type,s.FSs_Size,s.FSi_Supplier,a.n0,a.n1,a.n2,s.FSd_OriP,s.FSd_RetP,"
    "s.FSd_MemP,s.FSd_GolP,s.FSd_WhoP,s.FSd_SpeP,t.FSt_StoT,s.FSi_Id FROM (SELECT FSs_Code AS c,"
    "SUM(CASE WHEN FSi_Flag=0 THEN 1 ELSE 0 END) AS n0,SUM(CASE WHEN FSi_Flag=1 THEN 1 ELSE 0 END) AS n1,"
    "SUM(CASE WHEN FSi_Flag=2 THEN 1 ELSE 0 END) AS n2,MAX(CASE WHEN FSi_Flag=0 THEN FSi_Id ELSE 0 END) AS "
    "k0,"
    "MAX(FSi_Id) AS k FROM Store";
const char kGroupTail[] =
    " GROUP BY FSs_Code) a JOIN Store s ON s.FSi_Id=CASE WHEN a.k0>0 THEN a.k0 ELSE a.k END "
    "JOIN Store t ON t.FSi_Id=a.k";

const char* order_key(ArticleOrder order) {
    switch (order) {
    case ArticleOrder::Code:
        break;
    case ArticleOrder::Name:
        return "s.FSs_Name";
    case ArticleOrder::Type:
        return "s.FSi_Type";
    case ArticleOrder::Size:
        return "s.FSs_Size";
    case ArticleOrder::Supplier:
        return "s.FSi_Supplier";
    case ArticleOrder::InStock:
        return "a.n0";
    case ArticleOrder::Sold:
        return "a.n1";
    case ArticleOrder::WrittenOff:
        return "a.n2";
    case ArticleOrder::Retail:
        return "s.FSd_RetP";
    case ArticleOrder::Member:
        return "s.FSd_MemP";
    case ArticleOrder::Entry:
        return "t.FSt_StoT";
    }
    return "a.c";
}

void column_text(const Row& s, int i, std::string& out) {
    const auto* t = s.text(i);
    if (t)
        out.assign(t, static_cast<size_t>(s.bytes(i)));
    else
        out.clear();
}

void read_article(const Row& s, Article& a) {
    column_text(s, 0, a.code);
    column_text(s, 1, a.name);
    a.type = s.integer(2);
    column_text(s, 3, a.size);
    a.supplier = s.integer(4);
    a.in_stock = s.integer(5);
    a.sold = s.integer(6);
    a.written_off = s.integer(7);
    double* prices[] = {&a.purchase, &a.retail, &a.member, &a.gold, &a.wholesale, &a.special};
    for (int p = 0; p < 6; ++p)
        *prices[p] = s.real(8 + p);
    a.latest_entry = parse_time(s.text(14));
    a.latest_unit = s.integer(15);
}

bool plain_ascii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

bool gbk_contains(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    size_t i = 0;
    while (i + part.size() <= text.size()) {
        if (text.compare(i, part.size(), part) == 0) return true;
        // A lead byte takes its trail byte along: a match may only begin on a
        // character, never on the second byte of one.
        const auto c = static_cast<unsigned char>(text[i]);
        i += c >= 0x81 && c <= 0xFE && i + 1 < text.size() ? 2 : 1;
    }
    return false;
}

std::string like_contains_pattern(std::string_view text) {
    std::string p = "%";
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') p += '\\';
        p += c;
    }
    p += '%';
    return sql_escape(p);
}

ArticleSums sum_articles(const std::vector<Article>& list) {
    ArticleSums s;
    s.articles = static_cast<int>(list.size());
    for (const Article& a : list) {
        s.in_stock += a.in_stock;
        s.sold += a.sold;
        s.written_off += a.written_off;
    }
    return s;
}

int Articles::select(const std::string& text, ArticleOrder order, bool descending,
                     std::vector<Article>& out) {
    out.clear();
    std::string sql = std::string(kGroupHead) + kGroupTail;
    // SQLite reads the stored GBK bytes as if they were UTF-8, and its LIKE
    // folds ASCII letters: for Chinese text it can miss a match (a trail byte
    // read together with the next character), for ASCII text it only finds too
    // much. So the store narrows by LIKE where it cannot miss, and the exact
    // test below decides. Both look at what the list shows, the code and the
    // latest unit's name, after grouping: an article keeps all its units, and
    // a million units are grouped once rather than read twice.
    if (!text.empty() && plain_ascii(text)) {
        const std::string p = like_contains_pattern(text);
        sql += " WHERE (a.c LIKE '" + p + "' ESCAPE '\\' OR s.FSs_Name LIKE '" + p + "' ESCAPE '\\')";
    }
    const char* dir = descending ? " DESC" : " ASC";
    sql += std::string(" ORDER BY ") + order_key(order) + dir;
    if (order != ArticleOrder::Code) sql += std::string(",a.c") + dir;

    const int rc = detail::query(core_.db, sql, [&](const Row& s) {
        Article a;
        read_article(s, a);
        // As typed: the name and code the list shows must hold the text.
        if (text.empty() || gbk_contains(a.code, text) || gbk_contains(a.name, text))
            out.push_back(std::move(a));
    });
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    return static_cast<int>(out.size());
}

int Articles::latest_unit(const std::string& code, SRec& out) {
    const std::string q = detail::quoted(code);
    const std::string cond = "FSi_Id=(SELECT COALESCE(MAX(CASE WHEN FSi_Flag=0 THEN FSi_Id END),MAX(FSi_Id)) "
                             "FROM Store WHERE FSs_Code=" +
                             q + ")";
    SRec found;
    const int n = core_.select_srec(&found, cond.c_str());
    if (n == 1) out = std::move(found);
    return n < 0 ? -1 : n;
}

} // namespace vorn

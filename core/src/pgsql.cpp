// The program's statements are SQLite's dialect; the server engine hands every
// one through translate() on its way out. The work is done on tokens, so that
// quoted text (GBK bytes whose trail bytes may look like anything but a quote)
// is copied as it is, and as a list of edits on the original text, so that a
// statement nothing applies to comes back byte for byte.
#include "pgsql.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vorn::detail::pg {

namespace {

// ---- Lexer --------------------------------------------------------------------

enum class Kind : std::uint8_t { Space, Comment, Word, Number, String, Ident, Param, Punct };

struct Token {
    Kind kind;
    std::uint32_t begin, end;
};

bool word_start(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}
bool word_char(unsigned char c) {
    return word_start(c) || (c >= '0' && c <= '9') || c == '$';
}
bool digit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool space(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The end of a text quoted by q, where a doubled q stands for one; the end of
// the input when the quote never closes.
std::size_t quoted_end(std::string_view s, std::size_t i, char q) {
    for (++i; i < s.size(); ++i) {
        if (s[i] != q) continue;
        if (i + 1 < s.size() && s[i + 1] == q) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return s.size();
}

// A server text's $tag$...$tag$ body, so that the splitter passes over the
// semicolons of a function body; 0 when s[i] starts no dollar quote.
std::size_t dollar_end(std::string_view s, std::size_t i) {
    std::size_t j = i + 1;
    if (j < s.size() && s[j] != '$') {
        if (!word_start(static_cast<unsigned char>(s[j])) || s[j] == '$') return 0;
        while (j < s.size() && word_char(static_cast<unsigned char>(s[j])) && s[j] != '$')
            ++j;
    }
    if (j >= s.size() || s[j] != '$') return 0;
    const std::string_view tag = s.substr(i, j - i + 1);
    const std::size_t close = s.find(tag, j + 1);
    return close == std::string_view::npos ? s.size() : close + tag.size();
}

// One token from s[i]; returns its end.
std::size_t scan(std::string_view s, std::size_t i, Kind& kind) {
    const auto at = [&s](std::size_t k) -> unsigned char {
        return k < s.size() ? static_cast<unsigned char>(s[k]) : 0;
    };
    const unsigned char c = at(i);
    if (space(c)) {
        kind = Kind::Space;
        while (i < s.size() && space(at(i)))
            ++i;
        return i;
    }
    if (c == '-' && at(i + 1) == '-') {
        kind = Kind::Comment;
        const std::size_t nl = s.find('\n', i);
        return nl == std::string_view::npos ? s.size() : nl;
    }
    if (c == '/' && at(i + 1) == '*') {
        kind = Kind::Comment;
        const std::size_t close = s.find("*/", i + 2);
        return close == std::string_view::npos ? s.size() : close + 2;
    }
    if (c == '\'') {
        kind = Kind::String;
        return quoted_end(s, i, '\'');
    }
    // X'..' is a blob literal: one string token with its prefix.
    if ((c == 'x' || c == 'X') && at(i + 1) == '\'') {
        kind = Kind::String;
        return quoted_end(s, i + 1, '\'');
    }
    if (c == '"' || c == '`') {
        kind = Kind::Ident;
        return quoted_end(s, i, static_cast<char>(c));
    }
    if (digit(c) || (c == '.' && digit(at(i + 1)))) {
        kind = Kind::Number;
        if (c == '0' && (at(i + 1) | 0x20) == 'x') {
            i += 2;
            while (word_char(at(i)))
                ++i;
            return i;
        }
        while (digit(at(i)))
            ++i;
        if (at(i) == '.') {
            ++i;
            while (digit(at(i)))
                ++i;
        }
        if ((at(i) | 0x20) == 'e' &&
            (digit(at(i + 1)) || ((at(i + 1) == '+' || at(i + 1) == '-') && digit(at(i + 2))))) {
            i += 2;
            while (digit(at(i)))
                ++i;
        }
        return i;
    }
    if (word_start(c)) {
        kind = Kind::Word;
        while (i < s.size() && word_char(at(i)))
            ++i;
        return i;
    }
    if (c == '$') {
        if (const std::size_t e = dollar_end(s, i); e != 0) {
            kind = Kind::String;
            return e;
        }
        kind = Kind::Param;
        ++i;
        while (word_char(at(i)))
            ++i;
        return i;
    }
    if (c == '?') {
        kind = Kind::Param;
        ++i;
        while (digit(at(i)))
            ++i;
        return i;
    }
    if ((c == ':' || c == '@') && word_start(at(i + 1)) && !(i > 0 && s[i - 1] == ':')) {
        kind = Kind::Param;
        ++i;
        while (word_char(at(i)))
            ++i;
        return i;
    }
    kind = Kind::Punct;
    static const char kPairs[][3] = {"<=", ">=", "<>", "!=", "==", "||", "<<", ">>", "::"};
    for (const char* p : kPairs)
        if (c == static_cast<unsigned char>(p[0]) && at(i + 1) == static_cast<unsigned char>(p[1]))
            return i + 2;
    return i + 1;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z')) return false;
    }
    return true;
}

bool iends_with(std::string_view a, std::string_view suffix) {
    return a.size() >= suffix.size() && iequals(a.substr(a.size() - suffix.size()), suffix);
}

// The program names its columns F<table letters><type letter>_<name>: s text,
// t date-time text, i integer, d double. The type letter tells the translation
// what SQLite's column affinity would have done with a value compared to it.
char column_type(std::string_view name) {
    if (name.size() < 4 || name[0] != 'F') return 0;
    std::size_t k = 1;
    while (k < name.size() && name[k] >= 'A' && name[k] <= 'Z')
        ++k;
    if (k == 1 || k + 1 >= name.size() || name[k + 1] != '_') return 0;
    const char t = name[k];
    return t == 's' || t == 't' || t == 'i' || t == 'd' ? t : 0;
}

// ---- Statement translation ----------------------------------------------------------

struct Edit {
    std::size_t pos, erase;
    std::string text;
};

class Translator {
public:
    explicit Translator(std::string_view sql) : s_(sql) {
        tokens_.reserve(sql.size() / 4 + 8);
        for (std::size_t i = 0; i < s_.size();) {
            Kind k;
            const std::size_t e = scan(s_, i, k);
            if (k != Kind::Space && k != Kind::Comment)
                tokens_.push_back({k, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(e)});
            i = e;
        }
        n_ = tokens_.size();
        // A statement's own closing semicolon is not part of it.
        while (n_ > 0 && punct(n_ - 1, ';'))
            --n_;
        match_.assign(n_, -1);
        parent_.assign(n_, -1);
        commas_.assign(n_, 0);
        std::vector<int> open;
        for (std::size_t i = 0; i < n_; ++i) {
            parent_[i] = open.empty() ? -1 : open.back();
            if (punct(i, '(')) {
                open.push_back(static_cast<int>(i));
            } else if (punct(i, ')') && !open.empty()) {
                match_[static_cast<std::size_t>(open.back())] = static_cast<int>(i);
                match_[i] = open.back();
                open.pop_back();
                parent_[i] = open.empty() ? -1 : open.back();
            } else if (punct(i, ',') && !open.empty()) {
                ++commas_[static_cast<std::size_t>(open.back())];
            }
        }
    }

    std::string run();
    std::string create_trigger();
    std::string drop_trigger();

private:
    std::string_view text(std::size_t i) const {
        return s_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
    }
    bool is(std::size_t i, std::string_view w) const {
        return i < n_ && tokens_[i].kind == Kind::Word && iequals(text(i), w);
    }
    bool punct(std::size_t i, char c) const {
        return i < tokens_.size() && tokens_[i].kind == Kind::Punct &&
               tokens_[i].end - tokens_[i].begin == 1 && s_[tokens_[i].begin] == c;
    }
    bool word(std::size_t i) const { return i < n_ && tokens_[i].kind == Kind::Word; }
    bool call(std::size_t i, std::string_view name) const { return is(i, name) && punct(i + 1, '('); }
    // The end of the scope token i lies in: its enclosing parenthesis or the statement's end.
    std::size_t scope_end(std::size_t i) const {
        const int close = parent_[i] < 0 ? -1 : match_[static_cast<std::size_t>(parent_[i])];
        return close < 0 ? n_ : static_cast<std::size_t>(close); // an unclosed one runs to the end
    }
    // Token index just past a column reference starting at i (name or t.name), or i.
    std::size_t column_ref(std::size_t i) const {
        if (!word(i) && !(i < n_ && tokens_[i].kind == Kind::Ident)) return i;
        if (punct(i + 1, '.') && (word(i + 2) || (i + 2 < n_ && tokens_[i + 2].kind == Kind::Ident)))
            return i + 3;
        return i + 1;
    }

    void replace(std::size_t i, std::string t) {
        edits_.push_back({tokens_[i].begin, tokens_[i].end - tokens_[i].begin, std::move(t)});
    }
    void before(std::size_t i, std::string t) { edits_.push_back({tokens_[i].begin, 0, std::move(t)}); }
    void after(std::size_t i, std::string t) { edits_.push_back({tokens_[i].end, 0, std::move(t)}); }
    // Token i together with the blank before it.
    void erase_word(std::size_t i) {
        const std::size_t from = i > 0 ? tokens_[i - 1].end : tokens_[i].begin;
        edits_.push_back({from, tokens_[i].end - from, {}});
    }

    bool insert_statement();
    void create_table(std::size_t open);
    void create_index(std::size_t open);
    void order_by(std::size_t by);
    void plain_select();
    void grouped_select(std::size_t select);
    bool condition_end(std::size_t i) const;

    // A SELECT that aggregates: its GROUP BY columns and the names its items
    // go by, for the ORDER BY that follows.
    struct Group {
        std::size_t select;
        int depth;
        bool grouped;
        std::vector<std::string_view> keys, names;
    };

    std::string_view s_;
    std::vector<Group> groups_;
    // The id of the one table a plain SELECT reads, for the order SQLite gives
    // without being asked (its row ids); empty where there is none to give.
    std::string_view row_order_;
    bool ordered_ = false;
    std::vector<Token> tokens_;
    std::size_t n_ = 0;
    std::vector<int> match_, parent_, commas_;
    std::vector<Edit> edits_;
};

// Words after which a condition may end, so that a lone value before them is
// all of a condition.
bool Translator::condition_end(std::size_t i) const {
    if (i >= n_ || punct(i, ')')) return true;
    static const char* const kWords[] = {"AND",  "OR",    "ORDER",  "GROUP",     "LIMIT",  "HAVING",
                                         "THEN", "UNION", "EXCEPT", "INTERSECT", "OFFSET", "WINDOW"};
    for (const char* w : kWords)
        if (is(i, w)) return true;
    return false;
}

// INSERT OR IGNORE / OR REPLACE / REPLACE INTO, and VALUES(NULL,...) for a new id.
// False when the statement cannot be translated and must go as it is.
bool Translator::insert_statement() {
    enum { Plain, Ignore, Replace } mode = Plain;
    std::size_t k = 1;
    if (is(0, "REPLACE")) {
        mode = Replace;
    } else if (is(1, "OR")) {
        if (is(2, "IGNORE"))
            mode = Ignore;
        else if (is(2, "REPLACE"))
            mode = Replace;
        else
            return false; // OR ABORT / FAIL / ROLLBACK: the server has no such choice
        k = 3;
    }
    if (!is(k, "INTO")) return false;
    std::size_t table_end = column_ref(k + 1);
    std::vector<std::size_t> columns;
    if (punct(table_end, '(') && !is(table_end + 1, "SELECT") && match_[table_end] > 0) {
        const std::size_t close = static_cast<std::size_t>(match_[table_end]);
        for (std::size_t c = table_end + 1; c < close; c += 2)
            columns.push_back(c);
        table_end = close + 1;
    }
    // Without the column names the key to replace on is unknown here: let the
    // server refuse it rather than guess.
    if (mode == Replace && columns.empty()) return false;
    if (mode == Ignore || mode == Replace) {
        if (is(0, "REPLACE")) {
            replace(0, "INSERT");
        } else {
            erase_word(1);
            erase_word(2);
        }
    }
    if (columns.empty() && is(table_end, "VALUES")) {
        // A new row's id is asked for with NULL: the server's column gives one by default.
        for (std::size_t open = table_end + 1; punct(open, '(') && match_[open] > 0;) {
            if (is(open + 1, "NULL") && (punct(open + 2, ',') || punct(open + 2, ')')))
                replace(open + 1, "DEFAULT");
            open = static_cast<std::size_t>(match_[open]) + 1;
            if (!punct(open, ',')) break;
            ++open;
        }
    }
    if (mode == Ignore) after(n_ - 1, " ON CONFLICT DO NOTHING");
    if (mode == Replace) {
        std::string tail = " ON CONFLICT (" + std::string(text(columns[0])) + ") DO ";
        if (columns.size() == 1) {
            tail += "NOTHING";
        } else {
            tail += "UPDATE SET ";
            for (std::size_t c = 1; c < columns.size(); ++c) {
                if (c > 1) tail += ',';
                tail += text(columns[c]);
                tail += "=EXCLUDED.";
                tail += text(columns[c]);
            }
        }
        after(n_ - 1, std::move(tail));
    }
    return true;
}

// Column types: the file's types as the server has them. Lengths go (the file
// never enforced them, and the server pads CHAR(n)); text compares bytewise as
// in the file; INTEGER PRIMARY KEY, the file's row id, numbers new rows itself.
void Translator::create_table(std::size_t open) {
    if (match_[open] < 0) return;
    const std::size_t close = static_cast<std::size_t>(match_[open]);
    for (std::size_t a = open + 1; a < close;) {
        std::size_t b = a;
        while (b < close && !(punct(b, ',') && parent_[b] == static_cast<int>(open)))
            ++b;
        const bool constraint =
            is(a, "CONSTRAINT") || is(a, "PRIMARY") || is(a, "UNIQUE") || is(a, "CHECK") || is(a, "FOREIGN");
        if (!constraint && a + 1 < b) {
            std::size_t type_end = a + 1;
            static const char* const kStop[] = {"PRIMARY",    "NOT",       "NULL",          "DEFAULT",
                                                "UNIQUE",     "CHECK",     "REFERENCES",    "COLLATE",
                                                "CONSTRAINT", "GENERATED", "AUTOINCREMENT", "AS"};
            while (type_end < b && word(type_end)) {
                bool stop = false;
                for (const char* w : kStop)
                    stop = stop || is(type_end, w);
                if (stop) break;
                ++type_end;
            }
            bool primary = false, collated = false;
            for (std::size_t c = type_end; c < b; ++c) {
                if (is(c, "PRIMARY")) primary = true;
                if (is(c, "COLLATE")) collated = true;
                if (is(c, "AUTOINCREMENT")) erase_word(c);
            }
            if (type_end > a + 1) {
                std::string type;
                for (std::size_t c = a + 1; c < type_end; ++c) {
                    if (c > a + 1) type += ' ';
                    for (char ch : text(c))
                        type += static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
                }
                std::size_t last = type_end - 1;
                if (punct(type_end, '(') && match_[type_end] > 0)
                    last = static_cast<std::size_t>(match_[type_end]);
                const auto has = [&type](const char* part) { return type.find(part) != std::string::npos; };
                std::string to;
                if (type == "INTEGER" && primary)
                    to = "BIGINT GENERATED BY DEFAULT AS IDENTITY";
                else if (has("INT"))
                    to = "BIGINT";
                else if (has("CHAR") || has("CLOB") || has("TEXT") || has("DATE") || has("TIME"))
                    to = collated ? "TEXT" : "TEXT COLLATE \"C\"";
                else if (has("REAL") || has("FLOA") || has("DOUB"))
                    to = "DOUBLE PRECISION";
                if (!to.empty() && !(last == a + 1 && iequals(text(a + 1), to)))
                    edits_.push_back(
                        {tokens_[a + 1].begin, tokens_[last].end - tokens_[a + 1].begin, std::move(to)});
            }
        }
        a = b + 1;
    }
    if (is(close + 1, "WITHOUT") && is(close + 2, "ROWID")) {
        erase_word(close + 1);
        erase_word(close + 2);
    }
}

// Index columns other than ids sort their NULLs first, as the file sorts them,
// so that the ORDER BY the translation writes can read them in index order
// (and backwards for DESC).
void Translator::create_index(std::size_t open) {
    if (match_[open] < 0) return;
    const std::size_t close = static_cast<std::size_t>(match_[open]);
    for (std::size_t a = open + 1; a < close;) {
        std::size_t b = a;
        while (b < close && !(punct(b, ',') && parent_[b] == static_cast<int>(open)))
            ++b;
        bool nulls = false;
        for (std::size_t c = a; c < b; ++c)
            nulls = nulls || is(c, "NULLS") || is(c, "COLLATE");
        const bool plain = b == a + 1 || (b == a + 2 && (is(a + 1, "ASC") || is(a + 1, "DESC")));
        if (!nulls && plain && word(a) && !iends_with(text(a), "_Id"))
            after(b - 1, is(b - 1, "DESC") ? " NULLS LAST" : " NULLS FIRST");
        a = b + 1;
    }
}

// SQLite sorts NULLs before everything else; the server after. Items that are
// ids are left alone: never NULL, and their primary key index reads in order.
void Translator::order_by(std::size_t by) {
    const std::size_t end = scope_end(by);
    const int depth = parent_[by];
    // The query's own grouping, if it aggregates (grouped_select saw its SELECT).
    const Group* group = nullptr;
    for (const Group& g : groups_)
        if (g.depth == depth && g.select < by) group = &g;
    if (group != nullptr && !group->grouped) {
        // One row of aggregates: the file ignores the order, the server refuses
        // a column in it.
        std::size_t b = by + 1;
        while (b < end && !(parent_[b] == depth && (is(b, "LIMIT") || is(b, "OFFSET") || is(b, "FOR"))))
            ++b;
        const std::size_t from = by >= 2 ? tokens_[by - 2].end : tokens_[by - 1].begin;
        edits_.push_back({from, tokens_[b - 1].end - from, {}});
        return;
    }
    const bool top = depth < 0 && group == nullptr && !row_order_.empty();
    if (top) ordered_ = true;
    bool by_id = false;
    for (std::size_t a = by + 1; a < end;) {
        std::size_t b = a;
        while (b < end && !(parent_[b] == depth && (punct(b, ',') || is(b, "LIMIT") || is(b, "OFFSET") ||
                                                    is(b, "FOR") || is(b, "UNION") || is(b, "EXCEPT") ||
                                                    is(b, "INTERSECT"))))
            ++b;
        if (b == a) break;
        bool nulls = false;
        for (std::size_t c = a; c < b; ++c)
            nulls = nulls || is(c, "NULLS");
        const bool desc = is(b - 1, "DESC");
        const std::size_t item_end = (desc || is(b - 1, "ASC")) ? b - 1 : b;
        const bool column = column_ref(a) == item_end;
        const bool id = column && iends_with(text(item_end - 1), "_Id");
        bool loose = false; // a column a grouped query neither groups by nor names
        if (group != nullptr && column) {
            loose = true;
            for (std::string_view k : group->keys)
                loose = loose && !iequals(k, text(item_end - 1));
            for (std::string_view k : group->names)
                loose = loose && !iequals(k, text(item_end - 1));
        }
        const bool gbk = column && column_type(text(item_end - 1)) == 's';
        // Text sorts by its GBK bytes in the file (for Chinese, about in pinyin
        // order); the server holds it as UTF-8, whose order is another.
        if (gbk || loose) {
            before(a, !loose ? "convert_to(" : gbk ? "convert_to(vorn_gbk_min(" : "MIN(");
            after(item_end - 1, !loose ? ",'GBK')" : gbk ? "),'GBK')" : ")");
        }
        if (!nulls && !id) after(b - 1, desc ? " NULLS LAST" : " NULLS FIRST");
        by_id = by_id || (column && iequals(text(item_end - 1), row_order_));
        if (b >= end || !punct(b, ',')) {
            if (top && !by_id) after(b - 1, "," + std::string(row_order_));
            break;
        }
        a = b + 1;
    }
}

// A grouped query may name a column it neither groups by nor aggregates;
// SQLite takes it from some row of the group, the server refuses it. MIN()
// takes it from one row too.
void Translator::grouped_select(std::size_t select) {
    const std::size_t end = scope_end(select);
    const int depth = parent_[select];
    std::size_t from = select + 1;
    while (from < end && !(parent_[from] == depth && is(from, "FROM")))
        ++from;
    if (from >= end) return;
    std::size_t group = from;
    while (group < end && !(parent_[group] == depth && (is(group, "GROUP") || is(group, "UNION") ||
                                                        is(group, "EXCEPT") || is(group, "INTERSECT"))))
        ++group;
    const bool grouped = group < end && is(group, "GROUP") && is(group + 1, "BY");
    std::vector<std::string_view> keys;
    if (grouped) {
        for (std::size_t a = group + 2; a < end;) {
            const std::size_t c = column_ref(a);
            if (c > a) keys.push_back(text(c - 1));
            std::size_t b = a;
            while (b < end && !(parent_[b] == depth && (punct(b, ',') || is(b, "HAVING") || is(b, "ORDER") ||
                                                        is(b, "LIMIT") || is(b, "UNION"))))
                ++b;
            if (b >= end || !punct(b, ',')) break;
            a = b + 1;
        }
    } else {
        // Without GROUP BY only an aggregate makes one group of all rows.
        static const char* const kAggregates[] = {"COUNT", "SUM", "TOTAL",       "AVG",
                                                  "MAX",   "MIN", "GROUP_CONCAT"};
        bool aggregate = false;
        for (std::size_t c = select + 1; c < from && !aggregate; ++c) {
            if (punct(c, '(') && is(c + 1, "SELECT") && match_[c] > 0) {
                c = static_cast<std::size_t>(match_[c]);
                continue;
            }
            for (const char* w : kAggregates) {
                const bool scalar =
                    (iequals(w, "MAX") || iequals(w, "MIN")) && call(c, w) && commas_[c + 1] > 0;
                if (call(c, w) && !scalar) aggregate = true;
            }
        }
        if (!aggregate) return;
    }
    groups_.push_back({select, depth, grouped, std::move(keys), {}});
    Group& g = groups_.back();
    std::size_t a = select + 1;
    if (is(a, "DISTINCT") || is(a, "ALL")) ++a;
    while (a < from) {
        std::size_t b = a;
        while (b < from && !(parent_[b] == depth && punct(b, ',')))
            ++b;
        const std::size_t c = column_ref(a);
        const bool bare = c > a && tokens_[a].kind != Kind::Ident &&
                          (c == b || (is(c, "AS") && c + 2 == b) || (word(c) && c + 1 == b)) &&
                          !is(a, "NULL") && !is(a, "CASE") && !is(a, "TRUE") && !is(a, "FALSE");
        if (c > a && b > c) g.names.push_back(text(b - 1)); // the item's alias
        if (bare) {
            bool kept = false;
            for (std::string_view k : g.keys)
                kept = kept || iequals(k, text(c - 1));
            if (!kept) {
                // The file reads such a group from an index, in order, and keeps
                // the first row's value: the least, for text in GBK byte order.
                const bool gbk = column_type(text(c - 1)) == 's';
                before(a, gbk ? "vorn_gbk_min(" : "MIN(");
                std::string close = ")";
                // Named as the column, for a reader that asks by name.
                if (c == b && word(c - 1)) close += " AS " + std::string(text(c - 1));
                after(c - 1, std::move(close));
            }
        }
        a = b + 1;
    }
}

// A trigger of SQLite (the tests make failures with them) as the server has
// one: its body becomes a function. The body's statements are translated;
// SELECT RAISE(ABORT|FAIL|ROLLBACK, 'why') raises the error, RAISE(IGNORE)
// skips the row. A trigger of another shape goes as it is, for the server to refuse.
std::string Translator::create_trigger() {
    std::size_t k = is(1, "TRIGGER") ? 2 : 3;
    if (is(k, "IF") && is(k + 1, "NOT") && is(k + 2, "EXISTS")) k += 3;
    if (!word(k)) return std::string(s_);
    const std::string name(text(k++));
    std::string timing = "BEFORE";
    if (is(k, "BEFORE") || is(k, "AFTER")) {
        timing = std::string(text(k++));
    } else if (is(k, "INSTEAD") && is(k + 1, "OF")) {
        timing = "INSTEAD OF";
        k += 2;
    }
    const std::size_t event = k;
    while (k < n_ && !is(k, "ON"))
        ++k;
    if (k >= n_ || k == event || !word(k + 1)) return std::string(s_);
    const std::string what(s_.substr(tokens_[event].begin, tokens_[k - 1].end - tokens_[event].begin));
    const std::string table = iequals(text(k + 1), "User") ? "\"User\"" : std::string(text(k + 1));
    k += 2;
    if (is(k, "FOR") && is(k + 1, "EACH") && is(k + 2, "ROW")) k += 3;
    std::string when;
    if (is(k, "WHEN")) {
        const std::size_t w = ++k;
        while (k < n_ && !is(k, "BEGIN"))
            ++k;
        if (k == w || k >= n_) return std::string(s_);
        when =
            " WHEN (" + translate(s_.substr(tokens_[w].begin, tokens_[k - 1].end - tokens_[w].begin)) + ")";
    }
    if (!is(k, "BEGIN") || !is(n_ - 1, "END")) return std::string(s_);
    const std::string function = "vorn_trigger_" + name;
    std::string out =
        "CREATE OR REPLACE FUNCTION " + function + "() RETURNS trigger LANGUAGE plpgsql AS $vorn$\nBEGIN\n";
    for (const std::string& st :
         split_statements(s_.substr(tokens_[k].end, tokens_[n_ - 1].begin - tokens_[k].end))) {
        Translator b(st);
        if (b.is(0, "SELECT") && b.call(1, "RAISE") && b.n_ >= 5 && b.punct(b.n_ - 1, ')')) {
            if (b.is(3, "IGNORE")) {
                out += "RETURN NULL;\n";
            } else if (b.n_ == 7 && b.punct(4, ',') && b.tokens_[5].kind == Kind::String) {
                out += "RAISE EXCEPTION '%', " + std::string(b.text(5)) + ";\n";
            } else {
                return std::string(s_);
            }
            continue;
        }
        out += b.run() + ";\n";
    }
    const bool after = iequals(timing, "AFTER");
    out += std::string("RETURN ") +
           (after                 ? "NULL"
            : is(event, "DELETE") ? "OLD"
                                  : "NEW") +
           ";\nEND\n$vorn$;\n";
    out += "CREATE TRIGGER " + name + " " + timing + " " + what + " ON " + table + " FOR EACH ROW" + when +
           " EXECUTE FUNCTION " + function + "()";
    return out;
}

// DROP TRIGGER name: the server's wants the table too; it is looked up.
std::string Translator::drop_trigger() {
    std::size_t k = 2;
    if (is(k, "IF") && is(k + 1, "EXISTS")) k += 2;
    if (!word(k) || k + 1 != n_) return std::string(s_);
    std::string name(text(k));
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return "DO $vorn$ DECLARE r record; BEGIN FOR r IN SELECT c.relname FROM pg_catalog.pg_trigger t JOIN "
           "pg_catalog.pg_class c ON c.oid = t.tgrelid WHERE t.tgname = '" +
           name + "' AND NOT t.tgisinternal LOOP EXECUTE format('DROP TRIGGER %I ON %I', '" + name +
           "', r.relname); END LOOP; END $vorn$";
}

// The store's tables and their row ids.
std::string_view id_column(std::string_view table) {
    static const std::pair<std::string_view, std::string_view> kIds[] = {
        {"Store", "FSi_Id"},         {"Type", "FTi_Id"},          {"Supplier", "FSPi_Id"},
        {"User", "FUi_Id"},          {"\"User\"", "FUi_Id"},      {"Addition", "FAi_Id"},
        {"VIP", "FVi_Id"},           {"LoginFail", "FLFi_Id"},    {"Sale", "FSAi_Id"},
        {"SaleUnit", "FSAUi_Id"},    {"SalePayment", "FSAPi_Id"}, {"PriceHistory", "FPHi_Id"},
        {"Shift", "FSHi_Id"},        {"DrawerOpen", "FDOi_Id"},   {"HeldSale", "FHSi_Id"},
        {"HeldSaleLine", "FHLi_Id"}, {"StockTake", "FSTi_Id"},    {"StockTakeLine", "FSTLi_Id"},
    };
    for (const auto& [name, id] : kIds)
        if (iequals(name, table)) return id;
    return {};
}

// SQLite hands the rows of one table in the order of their row ids where no
// index decides otherwise, and the record lists rely on it; the server hands
// them as they lie. A SELECT * of one of the store's tables is given that
// order, or that order among equals of the order it asks.
void Translator::plain_select() {
    // Whole records only, the record reads of the pages: a statement that
    // names its columns is the store's own and asks for the order it needs.
    if (!punct(1, '*')) return;
    std::size_t from = 1;
    while (from < n_ && !(parent_[from] < 0 && is(from, "FROM")))
        ++from;
    if (from + 1 >= n_ || (!word(from + 1) && tokens_[from + 1].kind != Kind::Ident)) return;
    std::size_t k = from + 2;
    static const char* const kAfter[] = {"WHERE", "ORDER", "LIMIT", "OFFSET", "FOR"};
    const auto clause = [&](std::size_t i) {
        for (const char* w : kAfter)
            if (is(i, w)) return true;
        return false;
    };
    if (is(k, "AS"))
        k += 2;
    else if (word(k) && !clause(k))
        ++k;                          // an alias
    if (k < n_ && !clause(k)) return; // a join, a list of tables
    for (std::size_t i = k; i < n_; ++i)
        if (parent_[i] < 0 && (is(i, "GROUP") || is(i, "UNION") || is(i, "EXCEPT") || is(i, "INTERSECT")))
            return;
    row_order_ = id_column(text(from + 1));
}

std::string Translator::run() {
    if (n_ == 0) return std::string(s_);
    if (is(0, "PRAGMA")) return {};
    if (is(0, "BEGIN")) {
        for (std::size_t i = 1; i < n_; ++i)
            if (is(i, "DEFERRED") || is(i, "IMMEDIATE") || is(i, "EXCLUSIVE") || is(i, "TRANSACTION"))
                erase_word(i);
    } else if (is(0, "END")) {
        replace(0, "COMMIT");
    } else if (is(0, "INSERT") || is(0, "REPLACE")) {
        if (!insert_statement()) return std::string(s_);
    }
    if (is(0, "CREATE") && (is(1, "TRIGGER") || is(2, "TRIGGER"))) return create_trigger();
    if (is(0, "DROP") && is(1, "TRIGGER")) return drop_trigger();
    if (is(0, "SELECT")) plain_select();
    enum { Other, Table, Index } create = Other;
    if (is(0, "CREATE")) {
        std::size_t k = 1;
        if (is(k, "TEMP") || is(k, "TEMPORARY")) ++k;
        if (is(k, "TABLE")) create = Table;
        if (is(k, "UNIQUE")) ++k;
        if (is(k, "INDEX")) create = Index;
    }
    bool create_done = false;
    int params = 0;
    int aliases = 0;
    int between_depth = -2;
    for (std::size_t i = 0; i < n_; ++i) {
        const Token& t = tokens_[i];
        if (t.kind == Kind::Param) {
            const std::string_view p = text(i);
            if (p[0] != '?') continue;
            int number = ++params;
            if (p.size() > 1) {
                number = 0;
                for (char c : p.substr(1))
                    number = number * 10 + (c - '0');
                params = std::max(params, number);
            }
            replace(i, "$" + std::to_string(number));
            continue;
        }
        if (t.kind == Kind::Punct) {
            if (text(i) == "==") replace(i, "=");
            if (punct(i, '(') && !create_done && create != Other && match_[i] > 0 && parent_[i] < 0) {
                create_done = true;
                if (create == Table) create_table(i);
                if (create == Index) create_index(i);
            }
            // A subquery in FROM must be named on the server.
            if (punct(i, '(') && is(i + 1, "SELECT") && i > 0 && (is(i - 1, "FROM") || is(i - 1, "JOIN")) &&
                match_[i] > 0) {
                const std::size_t k = static_cast<std::size_t>(match_[i]) + 1;
                static const char* const kNoAlias[] = {
                    "WHERE",   "GROUP", "ORDER",  "LIMIT",     "JOIN",   "LEFT",   "RIGHT", "INNER", "CROSS",
                    "NATURAL", "UNION", "EXCEPT", "INTERSECT", "HAVING", "OFFSET", "FULL",  "ON",    "USING"};
                bool alias = k < n_ && !punct(k, ')') && !punct(k, ',');
                for (const char* w : kNoAlias)
                    alias = alias && !is(k, w);
                if (!alias) after(k - 1, " AS vorn_sub" + std::to_string(++aliases));
            }
            continue;
        }
        if (t.kind == Kind::Number && i + 2 < n_ && tokens_[i + 1].kind == Kind::Punct) {
            // 5=FSs_Code: a number compared with a text column is compared as text.
            const std::string_view op = text(i + 1);
            const bool cmp = op == "=" || op == "==" || op == "<>" || op == "!=" || op == "<" || op == ">" ||
                             op == "<=" || op == ">=";
            const std::size_t c = column_ref(i + 2);
            const bool operand =
                i == 0 || tokens_[i - 1].kind != Kind::Punct || punct(i - 1, '(') || punct(i - 1, ',');
            if (cmp && c > i + 2 && !punct(c, '(') && operand) {
                const char type = column_type(text(c - 1));
                if (type == 's' || type == 't') replace(i, "'" + std::string(text(i)) + "'");
            }
            continue;
        }
        if (t.kind != Kind::Word) continue;
        const std::string_view w = text(i);
        const char type = column_type(w);
        // The program's column names, most of the words, are no keywords.
        if (type == 0) {
            if (iequals(w, "User") && !(i > 0 && punct(i - 1, '.'))) {
                replace(i, "\"User\"");
            } else if (call(i, "COUNT") && punct(i + 2, ')')) {
                after(i + 1, "*");
            } else if (call(i, "IFNULL")) {
                replace(i, "COALESCE");
            } else if (call(i, "INSTR")) {
                replace(i, "STRPOS");
            } else if ((call(i, "MAX") || call(i, "MIN")) && commas_[i + 1] > 0) {
                replace(i, iequals(w, "MAX") ? "GREATEST" : "LEAST");
            } else if (call(i, "GROUP_CONCAT") && match_[i + 1] > 0) {
                // The server joins text only, and needs the separator.
                replace(i, "STRING_AGG");
                std::size_t a = i + 2;
                if (is(a, "DISTINCT")) ++a;
                const std::size_t close = static_cast<std::size_t>(match_[i + 1]);
                std::size_t comma = a;
                while (comma < close && !(punct(comma, ',') && parent_[comma] == static_cast<int>(i + 1)))
                    ++comma;
                if (comma > a) {
                    before(a, "CAST(");
                    after(comma - 1, comma == close ? " AS TEXT),','" : " AS TEXT)");
                }
            } else if (create != Table && (call(i, "DATETIME") || call(i, "DATE") || call(i, "TIME")) &&
                       match_[i + 1] > 0) {
                // The file's date functions are its strftime with a fixed format.
                const char* format = iequals(w, "DATETIME") ? "'%Y-%m-%d %H:%M:%S'"
                                     : iequals(w, "DATE")   ? "'%Y-%m-%d'"
                                                            : "'%H:%M:%S'";
                replace(i, "strftime");
                after(i + 1,
                      std::string(format) + (match_[i + 1] == static_cast<int>(i + 2) ? ",'now'" : ","));
            } else if (iequals(w, "LIKE")) {
                replace(i, "ILIKE"); // the file's LIKE ignores the case of ASCII letters
                // and knows no escape character unless given one; the server's takes a backslash.
                if (i + 1 < n_ && tokens_[i + 1].kind == Kind::String && !is(i + 2, "ESCAPE"))
                    after(i + 1, " ESCAPE ''");
            } else if (iequals(w, "AS") && parent_[i] > 0 &&
                       is(static_cast<std::size_t>(parent_[i]) - 1, "CAST")) {
                if (is(i + 1, "REAL") || is(i + 1, "FLOAT") ||
                    (is(i + 1, "DOUBLE") && !is(i + 2, "PRECISION")))
                    replace(i + 1, "DOUBLE PRECISION");
                else if (is(i + 1, "INTEGER") || is(i + 1, "INT")) {
                    // SQLite's cast drops a fraction and reads a text's leading
                    // digits (0 for none); the server's rounds and refuses.
                    replace(static_cast<std::size_t>(parent_[i]) - 1, "vorn_int");
                    edits_.push_back({tokens_[i - 1].end, tokens_[i + 1].end - tokens_[i - 1].end, {}});
                }
            } else if (iequals(w, "LIMIT")) {
                if (punct(i + 1, '-') && i + 2 < n_ && tokens_[i + 2].kind == Kind::Number) {
                    edits_.push_back(
                        {tokens_[i + 1].begin, tokens_[i + 2].end - tokens_[i + 1].begin, "ALL"});
                } else if (i + 3 < n_ && punct(i + 2, ',') && tokens_[i + 1].kind != Kind::Punct &&
                           tokens_[i + 3].kind != Kind::Punct) {
                    // LIMIT skip, count
                    edits_.push_back({tokens_[i + 1].begin, tokens_[i + 3].end - tokens_[i + 1].begin,
                                      std::string(text(i + 3)) + " OFFSET " + std::string(text(i + 1))});
                }
            } else if (iequals(w, "ORDER") && is(i + 1, "BY") && create == Other) {
                order_by(i + 1);
            } else if (iequals(w, "SELECT")) {
                grouped_select(i);
            } else if (iequals(w, "BETWEEN")) {
                between_depth = parent_[i];
            }
            // A lone number or integer column as a whole condition: the server wants a truth value.
            const bool starts_condition = is(i, "WHERE") || is(i, "AND") || is(i, "OR") || is(i, "NOT") ||
                                          is(i, "HAVING") || is(i, "ON");
            if (starts_condition && create != Table) {
                if (is(i, "AND") && between_depth == parent_[i]) {
                    between_depth = -2;
                    continue;
                }
                const std::size_t j = i + 1;
                if (j < n_ && tokens_[j].kind == Kind::Number && condition_end(j + 1)) {
                    const std::string_view v = text(j);
                    if (v.find_first_not_of("0123456789") == std::string_view::npos)
                        replace(j, v.find_first_not_of('0') == std::string_view::npos ? "FALSE" : "TRUE");
                } else if (const std::size_t c = column_ref(j);
                           c > j && column_type(text(c - 1)) == 'i' && condition_end(c)) {
                    before(j, "(");
                    after(c - 1, "<>0)");
                }
            }
        }
        // FSs_Code=5: SQLite compares a number with a text column as text.
        if (i + 2 < n_ && tokens_[i + 1].kind == Kind::Punct) {
            const std::string_view op = text(i + 1);
            if ((type == 's' || type == 't') && (op == "=" || op == "==" || op == "<>" || op == "!=" ||
                                                 op == "<" || op == ">" || op == "<=" || op == ">=")) {
                std::size_t v = i + 2;
                const bool minus = punct(v, '-');
                if (minus) ++v;
                if (v < n_ && tokens_[v].kind == Kind::Number &&
                    !(v + 1 < n_ && tokens_[v + 1].kind == Kind::Punct && !punct(v + 1, ')') &&
                      !punct(v + 1, ',')))
                    edits_.push_back({tokens_[i + 2].begin, tokens_[v].end - tokens_[i + 2].begin,
                                      "'" + std::string(minus ? "-" : "") + std::string(text(v)) + "'"});
            }
        }
    }
    if (!row_order_.empty() && !ordered_) {
        bool aggregate = false;
        for (const Group& g : groups_)
            aggregate = aggregate || g.depth < 0;
        std::size_t at = 1;
        while (at < n_ && !(parent_[at] < 0 && (is(at, "LIMIT") || is(at, "OFFSET") || is(at, "FOR"))))
            ++at;
        if (!aggregate) {
            if (at < n_)
                before(at, "ORDER BY " + std::string(row_order_) + " ");
            else
                after(n_ - 1, " ORDER BY " + std::string(row_order_));
        }
    }
    if (edits_.empty()) return std::string(s_);
    // Insertions at a place go before a replacement starting there.
    std::stable_sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) {
        return a.pos != b.pos ? a.pos < b.pos : (a.erase == 0) > (b.erase == 0);
    });
    std::string out;
    out.reserve(s_.size() + 32 * edits_.size());
    std::size_t at = 0;
    for (const Edit& e : edits_) {
        if (e.pos < at) continue; // overlaps an earlier edit
        out.append(s_.substr(at, e.pos - at));
        out += e.text;
        at = e.pos + e.erase;
    }
    out.append(s_.substr(at));
    return out;
}

} // namespace

std::vector<std::string> split_statements(std::string_view sql) {
    std::vector<std::string> out;
    std::size_t start = 0;
    bool content = false;
    std::size_t first = 0, last = 0;
    // A trigger's body holds statements of its own: its semicolons end the
    // trigger only after its END.
    int words = 0;
    bool create = false, trigger = false, body = false;
    std::string_view last_word;
    const auto flush = [&] {
        if (content) out.emplace_back(sql.substr(first, last - first));
        content = false;
        words = 0;
        trigger = body = false;
    };
    for (std::size_t i = 0; i < sql.size();) {
        Kind k;
        const std::size_t e = scan(sql, i, k);
        if (k == Kind::Word) {
            last_word = sql.substr(i, e - i);
            ++words;
            if (words == 1) create = iequals(last_word, "CREATE");
            if (create && words <= 3 && iequals(last_word, "TRIGGER")) trigger = true;
            if (trigger && iequals(last_word, "BEGIN")) body = true;
        }
        if (k == Kind::Punct && sql[i] == ';' && !(body && !iequals(last_word, "END"))) {
            flush();
            start = e;
        } else if (k != Kind::Space) {
            // Comments stay with the statement they are in, but do not make one.
            if (!content && k != Kind::Comment) {
                content = true;
                first = start;
                while (first < i && space(static_cast<unsigned char>(sql[first])))
                    ++first;
            }
            last = e;
        }
        i = e;
    }
    flush();
    return out;
}

bool is_transaction_control(std::string_view statement) {
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < statement.size() && words.size() < 3;) {
        Kind k;
        const std::size_t e = scan(statement, i, k);
        if (k == Kind::Word)
            words.push_back(statement.substr(i, e - i));
        else if (k != Kind::Space && k != Kind::Comment)
            break;
        i = e;
    }
    if (words.empty()) return false;
    const std::string_view w = words[0];
    if (iequals(w, "BEGIN") || iequals(w, "COMMIT") || iequals(w, "END")) return true;
    if (!iequals(w, "ROLLBACK")) return false;
    // ROLLBACK [TRANSACTION] TO [SAVEPOINT] name undoes only part of one.
    const std::size_t to = words.size() > 1 && iequals(words[1], "TRANSACTION") ? 2 : 1;
    return !(words.size() > to && iequals(words[to], "TO"));
}

std::string translate(std::string_view statement) {
    return Translator(statement).run();
}

// The server's side of the translation. Date-times are stored as the text
// "YYYY-MM-DD HH:MM:SS"; the conditions ask SQLite's strftime of them, so the
// server gets one that reads the same texts, formats and modifiers and gives
// NULL where SQLite gives NULL. Regular expressions avoid backslashes, so the
// text means the same whatever standard_conforming_strings says.
const char* const kServerFunctions = R"sql(
CREATE OR REPLACE FUNCTION vorn_timestamp(t text, mods text[]) RETURNS timestamp
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v text := btrim(t);
    p text[];
    m text;
    ts timestamp;
    k integer;
BEGIN
    IF t IS NULL THEN
        RETURN NULL;
    END IF;
    IF lower(v) = 'now' THEN
        ts := statement_timestamp() AT TIME ZONE 'UTC';
    ELSIF v ~ '^[-+]?([0-9]+([.][0-9]*)?|[.][0-9]+)$' THEN
        IF coalesce(array_length(mods, 1), 0) > 0 AND lower(btrim(mods[1])) = 'unixepoch' THEN
            ts := timestamp '1970-01-01' + v::double precision * interval '1 second';
            mods := mods[2:];
        ELSE
            ts := timestamp '1970-01-01' + (v::double precision - 2440587.5) * interval '1 day';
        END IF;
    ELSE
        p := regexp_match(v, '^([0-9]{4})-([0-9]{2})-([0-9]{2})(?:[ T]([0-9]{2}):([0-9]{2})(?::([0-9]{2}(?:[.][0-9]+)?))?)?$');
        IF p IS NULL THEN
            p := regexp_match(v, '^()()()([0-9]{2}):([0-9]{2})(?::([0-9]{2}(?:[.][0-9]+)?))?$');
            IF p IS NULL THEN
                RETURN NULL;
            END IF;
            p[1] := '2000';
            p[2] := '01';
            p[3] := '01';
        END IF;
        IF p[1]::integer < 1 OR p[2]::integer NOT BETWEEN 1 AND 12 OR p[3]::integer NOT BETWEEN 1 AND 31
           OR coalesce(p[4], '0')::integer > 23 OR coalesce(p[5], '0')::integer > 59
           OR coalesce(p[6], '0')::numeric >= 60 THEN
            RETURN NULL;
        END IF;
        -- From the first of the month, so that 30 February is 1 March as in SQLite.
        ts := make_timestamp(p[1]::integer, p[2]::integer, 1, coalesce(p[4], '0')::integer,
                             coalesce(p[5], '0')::integer, coalesce(p[6], '0')::double precision)
              + (p[3]::integer - 1) * interval '1 day';
    END IF;
    FOREACH m IN ARRAY coalesce(mods, '{}'::text[]) LOOP
        IF m IS NULL THEN
            RETURN NULL;
        END IF;
        m := lower(btrim(m));
        p := regexp_match(m, '^([-+]?(?:[0-9]+(?:[.][0-9]*)?|[.][0-9]+)) +(day|hour|minute|second|month|year)s?$');
        IF p IS NOT NULL THEN
            IF p[2] IN ('month', 'year') THEN
                -- Whole months on, the day kept: 31 January + 1 month is 2 or 3 March, as in SQLite.
                k := trunc(p[1]::numeric)::integer * CASE p[2] WHEN 'year' THEN 12 ELSE 1 END;
                ts := date_trunc('month', ts) + k * interval '1 month'
                      + (extract(day FROM ts)::integer - 1) * interval '1 day' + (ts - date_trunc('day', ts));
            ELSE
                ts := ts + p[1]::double precision * ('1 ' || p[2])::interval;
            END IF;
        ELSIF m = 'start of month' THEN
            ts := date_trunc('month', ts);
        ELSIF m = 'start of year' THEN
            ts := date_trunc('year', ts);
        ELSIF m = 'start of day' THEN
            ts := date_trunc('day', ts);
        ELSIF m ~ '^weekday [0-6]$' THEN
            ts := ts + ((substr(m, 9)::integer - extract(dow FROM ts)::integer + 7) % 7) * interval '1 day';
        ELSIF m = 'localtime' THEN
            ts := (ts AT TIME ZONE 'UTC') AT TIME ZONE current_setting('TimeZone');
        ELSIF m = 'utc' THEN
            ts := (ts AT TIME ZONE current_setting('TimeZone')) AT TIME ZONE 'UTC';
        ELSE
            RETURN NULL;
        END IF;
    END LOOP;
    RETURN ts;
END
$$;

CREATE OR REPLACE FUNCTION strftime(fmt text, t text, VARIADIC mods text[] DEFAULT '{}') RETURNS text
LANGUAGE plpgsql STABLE AS $$
DECLARE
    ts timestamp;
    out text := '';
    c text;
    i integer := 1;
    n integer;
BEGIN
    IF fmt IS NULL OR t IS NULL THEN
        RETURN NULL;
    END IF;
    -- The common question, a field of a stored time without modifiers: SQLite
    -- gives the fields as written (30 February too), so read them off the text.
    IF cardinality(mods) = 0 AND length(t) = 19 AND substr(t, 9, 2) BETWEEN '01' AND '31'
       AND t ~ '^[0-9]{4}-(0[1-9]|1[0-2])-[0-9]{2} ([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$' AND t >= '0001' THEN
        CASE fmt
            WHEN '%Y' THEN RETURN substr(t, 1, 4);
            WHEN '%m' THEN RETURN substr(t, 6, 2);
            WHEN '%d' THEN RETURN substr(t, 9, 2);
            WHEN '%H' THEN RETURN substr(t, 12, 2);
            WHEN '%M' THEN RETURN substr(t, 15, 2);
            WHEN '%S' THEN RETURN substr(t, 18, 2);
            WHEN '%Y-%m-%d' THEN RETURN substr(t, 1, 10);
            WHEN '%Y-%m-%d %H:%M:%S' THEN RETURN t;
            ELSE NULL;
        END CASE;
    END IF;
    ts := vorn_timestamp(t, mods);
    IF ts IS NULL THEN
        RETURN NULL;
    END IF;
    n := length(fmt);
    WHILE i <= n LOOP
        c := substr(fmt, i, 1);
        IF c <> '%' OR i = n THEN
            out := out || c;
            i := i + 1;
            CONTINUE;
        END IF;
        c := substr(fmt, i + 1, 1);
        i := i + 2;
        out := out || CASE c
            WHEN 'Y' THEN to_char(ts, 'YYYY')
            WHEN 'm' THEN to_char(ts, 'MM')
            WHEN 'd' THEN to_char(ts, 'DD')
            WHEN 'e' THEN lpad(extract(day FROM ts)::integer::text, 2)
            WHEN 'H' THEN to_char(ts, 'HH24')
            WHEN 'k' THEN lpad(extract(hour FROM ts)::integer::text, 2)
            WHEN 'I' THEN to_char(ts, 'HH12')
            WHEN 'l' THEN lpad(to_char(ts, 'FMHH12'), 2)
            WHEN 'p' THEN to_char(ts, 'AM')
            WHEN 'P' THEN to_char(ts, 'am')
            WHEN 'M' THEN to_char(ts, 'MI')
            WHEN 'S' THEN to_char(ts, 'SS')
            WHEN 'f' THEN to_char(ts, 'SS.MS')
            WHEN 'F' THEN to_char(ts, 'YYYY-MM-DD')
            WHEN 'T' THEN to_char(ts, 'HH24:MI:SS')
            WHEN 'R' THEN to_char(ts, 'HH24:MI')
            WHEN 'j' THEN to_char(ts, 'DDD')
            WHEN 'J' THEN (extract(epoch FROM ts)::double precision / 86400 + 2440587.5)::text
            WHEN 's' THEN floor(extract(epoch FROM ts))::bigint::text
            WHEN 'w' THEN extract(dow FROM ts)::integer::text
            WHEN 'u' THEN extract(isodow FROM ts)::integer::text
            WHEN 'W' THEN lpad(((extract(doy FROM ts)::integer + 6 - (extract(dow FROM ts)::integer + 6) % 7) / 7)::text, 2, '0')
            WHEN '%' THEN '%'
        END;
        IF out IS NULL THEN
            RETURN NULL; -- a format SQLite does not know
        END IF;
    END LOOP;
    RETURN out;
END
$$;

CREATE OR REPLACE FUNCTION julianday(t text, VARIADIC mods text[] DEFAULT '{}') RETURNS double precision
LANGUAGE sql STABLE AS $$
    SELECT extract(epoch FROM vorn_timestamp(t, mods))::double precision / 86400 + 2440587.5
$$;

-- CAST(x AS INTEGER) as SQLite does it: a fraction dropped, a text read up to
-- its first character that is no digit, 0 for a text without any.
CREATE OR REPLACE FUNCTION vorn_int(x text) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT AS $$
    SELECT coalesce(substring(x FROM '^[[:space:]]*([-+]?[0-9]{1,18})')::bigint, 0)
$$;
CREATE OR REPLACE FUNCTION vorn_int(x double precision) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT AS $$ SELECT trunc(x)::bigint $$;
CREATE OR REPLACE FUNCTION vorn_int(x numeric) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT AS $$ SELECT trunc(x)::bigint $$;
CREATE OR REPLACE FUNCTION vorn_int(x bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT AS $$ SELECT x $$;

-- The least text in GBK byte order, the file's order of the program's text.
CREATE OR REPLACE FUNCTION vorn_gbk_smaller(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT AS $$
    SELECT CASE WHEN convert_to(b, 'GBK') < convert_to(a, 'GBK') THEN b ELSE a END
$$;
CREATE OR REPLACE AGGREGATE vorn_gbk_min(text) (SFUNC = vorn_gbk_smaller, STYPE = text);

-- After rows were written with their ids (a migration, a restore), every id
-- column numbers on from the greatest id, as the file's row ids do.
CREATE OR REPLACE FUNCTION vorn_sync_ids() RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    r record;
BEGIN
    FOR r IN SELECT table_name, column_name FROM information_schema.columns
             WHERE table_schema = current_schema() AND is_identity = 'YES' LOOP
        EXECUTE format('SELECT setval(pg_get_serial_sequence(%L, %L), coalesce(max(%I), 0) + 1, false) FROM %I',
                       quote_ident(r.table_name), r.column_name, r.column_name, r.table_name);
    END LOOP;
END
$$;

-- SQLite's TOTAL(): a sum that is 0.0 over no rows or only NULLs, always a double.
CREATE OR REPLACE AGGREGATE total(double precision) (SFUNC = float8pl, STYPE = double precision, INITCOND = '0');

-- ROUND(x, n) of a double, halves away from zero, as SQLite; a negative n is 0.
CREATE OR REPLACE FUNCTION round(x double precision, n integer) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT AS $$
    SELECT round(x::numeric, greatest(n, 0))::double precision
$$;

-- The store asks sqlite_master whether its tables and indexes are there, by
-- the names it gave them; the server folded most of them to lower case, so
-- the names compare here without regard to case, as in SQLite.
-- Asked first: the text runs at every open, and a notice each time would be noise.
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_collation c JOIN pg_catalog.pg_namespace s ON s.oid = c.collnamespace
                   WHERE c.collname = 'vorn_nocase' AND s.nspname = current_schema()) THEN
        CREATE COLLATION vorn_nocase (PROVIDER = icu, LOCALE = 'und-u-ks-level2', DETERMINISTIC = false);
    END IF;
END
$$;

CREATE OR REPLACE VIEW sqlite_master AS
    SELECT CASE c.relkind WHEN 'i' THEN 'index' WHEN 'v' THEN 'view' ELSE 'table' END::text AS type,
           c.relname::text COLLATE vorn_nocase AS name,
           coalesce(o.relname, c.relname)::text COLLATE vorn_nocase AS tbl_name,
           0::bigint AS rootpage,
           NULL::text AS sql
    FROM pg_catalog.pg_class c
    JOIN pg_catalog.pg_namespace s ON s.oid = c.relnamespace
    LEFT JOIN pg_catalog.pg_index x ON x.indexrelid = c.oid
    LEFT JOIN pg_catalog.pg_class o ON o.oid = x.indrelid
    WHERE s.nspname = current_schema() AND c.relkind IN ('r', 'p', 'i', 'v') AND c.relname <> 'sqlite_master';
)sql";

std::string server_schema(const char* sqlite_schema_text) {
    std::string out;
    for (const std::string& s : split_statements(sqlite_schema_text != nullptr ? sqlite_schema_text : "")) {
        if (is_transaction_control(s)) continue;
        const std::string t = translate(s);
        if (t.empty()) continue;
        out += t;
        out += ";\n";
    }
    return out;
}

} // namespace vorn::detail::pg

// The columns a CREATE TABLE text declares, for the parts of the store that
// must name every column of a table without a record type of their own (the
// checks of a backup, the copy of a whole store).
#pragma once

#include <cstring>
#include <string>
#include <vector>

namespace vorn::detail {

struct CreateColumn {
    std::string name;
    // The declared type, upper case as written, without its length
    // ("INTEGER", "CHAR", "DOUBLE", "TIMESTAMP", ...); empty when none.
    std::string type;
    // The entry declares the column PRIMARY KEY.
    bool primary = false;
};

// The columns of the first CREATE TABLE in `create` (commas inside a type's
// parentheses do not count; table constraints are left out).
inline std::vector<CreateColumn> create_columns(const char* create) {
    std::vector<CreateColumn> columns;
    const char* p = std::strchr(create, '(');
    if (p == nullptr) return columns;
    // One entry's text at a time, split at top-level commas.
    std::vector<std::string> entries(1);
    int depth = 0;
    for (++p; *p != '\0'; ++p) {
        const char c = *p;
        if (c == '(') ++depth;
        if (c == ')' && depth-- == 0) break;
        if (c == ',' && depth == 0) {
            entries.emplace_back();
            continue;
        }
        entries.back() += c;
    }
    for (const std::string& entry : entries) {
        std::vector<std::string> words;
        std::string word;
        for (char c : entry + ' ') {
            if (c == ' ' || c == '(' || c == ')') {
                if (!word.empty()) words.push_back(word);
                word.clear();
                if (c == '(') break; // the type's length and what follows it
            } else {
                word += c;
            }
        }
        if (words.empty()) continue;
        bool constraint = false;
        for (const char* w : {"PRIMARY", "UNIQUE", "CHECK", "FOREIGN", "CONSTRAINT"})
            constraint = constraint || words[0] == w;
        if (constraint) continue;
        CreateColumn column;
        column.name = words[0];
        if (words.size() > 1) column.type = words[1];
        column.primary = entry.find("PRIMARY KEY") != std::string::npos;
        columns.push_back(column);
    }
    return columns;
}

// The CREATE TABLE of `table` inside a text holding several statements (the
// store's schema text): from its CREATE to the end of the text; null when the
// text creates no such table.
inline const char* create_text_of(const char* text, const char* table) {
    for (const char* prefix : {"CREATE TABLE ", "CREATE TABLE IF NOT EXISTS "}) {
        const std::string head = std::string(prefix) + table + " (";
        if (const char* at = std::strstr(text, head.c_str())) return at;
    }
    return nullptr;
}

} // namespace vorn::detail

// Appends SQL values to a statement text the one way the store writes them.
#pragma once

#include <cstdint>
#include <string>

#include "vorn/sqltext.h"

namespace vorn::detail {

class SqlWriter {
public:
    explicit SqlWriter(std::string& out) : out_(out) {}

    SqlWriter& raw(const char* text) {
        out_ += text;
        return *this;
    }
    // Between single quotes, quotes doubled.
    SqlWriter& text(const std::string& value) {
        out_ += '\'';
        for (char c : value) {
            if (c == '\'') out_ += '\'';
            out_ += c;
        }
        out_ += '\'';
        return *this;
    }
    SqlWriter& integer(int value) {
        out_ += std::to_string(value);
        return *this;
    }
    SqlWriter& money(double value) {
        out_ += format_money(value);
        return *this;
    }
    // A set time as a quoted local time, 0 (not set) as NULL.
    SqlWriter& time(int64_t value) {
        std::string t = value != 0 ? format_time(value) : std::string();
        if (t.empty()) {
            out_ += "NULL";
        } else {
            out_ += '\'';
            out_ += t;
            out_ += '\'';
        }
        return *this;
    }

private:
    std::string& out_;
};

} // namespace vorn::detail

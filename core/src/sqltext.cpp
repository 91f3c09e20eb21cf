#include "vorn/sqltext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "localtime.h"

namespace vorn {

std::string sql_escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out;
}

std::string format_money(double value) {
    if (!std::isfinite(value)) return "0.0";
    const double mag = std::fabs(value);
    // Everyday prices are nowhere near a half tenth: round them directly. Only
    // values within a hair of a half go the decimal way below.
    if (mag < 1e7) {
        const double x = mag * 10.0;
        const double whole = std::floor(x);
        const double frac = x - whole;
        if (std::fabs(frac - 0.5) > 1e-6) {
            const long long tenths = static_cast<long long>(whole) + (frac > 0.5 ? 1 : 0);
            std::string s = std::to_string(tenths / 10);
            s += '.';
            s += static_cast<char>('0' + tenths % 10);
            if (value < 0 && tenths != 0) s.insert(s.begin(), '-');
            return s;
        }
    }
    // The decimal the value stands for: 15 significant digits recover any
    // decimal a person typed (12.35 is stored as 12.3499999..., and is 12.35).
    int intDigits = mag >= 1.0 ? static_cast<int>(std::floor(std::log10(mag))) + 1 : 1;
    int decimals = 15 - intDigits;
    if (decimals < 2) decimals = 2;
    char small[64];
    int len = std::snprintf(small, sizeof small, "%.*f", decimals, mag);
    std::string digits;
    if (len < static_cast<int>(sizeof small)) {
        digits.assign(small, static_cast<size_t>(len));
    } else {
        digits.resize(static_cast<size_t>(len) + 1);
        std::snprintf(digits.data(), digits.size(), "%.*f", decimals, mag);
        digits.resize(static_cast<size_t>(len));
    }
    // Round to one decimal, halves away from zero, on the decimal text.
    const size_t dot = digits.find('.');
    const bool up = digits[dot + 2] >= '5';
    std::string result = digits.substr(0, dot) + digits.substr(dot + 1, 1); // digits of value*10
    if (up) {
        int i = static_cast<int>(result.size()) - 1;
        while (i >= 0 && result[static_cast<size_t>(i)] == '9') result[static_cast<size_t>(i--)] = '0';
        if (i < 0)
            result.insert(result.begin(), '1');
        else
            ++result[static_cast<size_t>(i)];
    }
    result.insert(result.size() - 1, ".");
    const bool zero = result.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero) result.insert(result.begin(), '-');
    return result;
}

namespace {
std::string format_local(int64_t t, const char* format) {
    if (t == 0) return std::string();
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    if (!localtime_r(&tt, &tm)) return std::string();
    char buf[64];
    size_t n = std::strftime(buf, sizeof buf, format, &tm);
    return std::string(buf, n);
}

bool digits(const char* p, int n, int& value) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        v = v * 10 + (p[i] - '0');
    }
    value = v;
    return true;
}
} // namespace

std::string format_time(int64_t t) { return format_local(t, "%Y-%m-%d %H:%M:%S"); }

std::string format_date(int64_t t) { return format_local(t, "%Y-%m-%d"); }

int64_t local_time_of(int year, int month, int day, int hour, int minute, int second) {
    return detail::fast_mktime(year, month, day, hour, minute, second);
}

int64_t parse_time(const char* text) {
    if (!text || !*text) return 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    const char* p = text;
    // The store always writes the full 19-character form; read it without scanf.
    const bool plain = digits(p, 4, y) && p[4] == '-' && digits(p + 5, 2, mo) && p[7] == '-' &&
                       digits(p + 8, 2, d) && p[10] == ' ' && digits(p + 11, 2, h) && p[13] == ':' &&
                       digits(p + 14, 2, mi) && p[16] == ':' && digits(p + 17, 2, s);
    if (!plain) {
        y = 1970;
        mo = 1;
        d = 1;
        h = mi = s = 0;
        std::sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d", &y, &mo, &d, &h, &mi, &s);
    }
    return detail::fast_mktime(y, mo, d, h, mi, s);
}

} // namespace vorn

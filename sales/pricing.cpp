#include "pricing.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {
// Far beyond any till's figures, and far from overflowing a sum of many of them.
constexpr int64_t kMaxTenths = 1'000'000'000'000'000LL;
} // namespace

int64_t toTenths(double yuan) {
    // The digits of format_money's text are the tenths themselves, so what the
    // counter adds up is exactly what it shows and what the store keeps.
    const std::string text = vorn::format_money(yuan);
    int64_t tenths = 0;
    bool negative = false;
    for (char c : text) {
        if (c == '-') {
            negative = true;
        } else if (c >= '0' && c <= '9') {
            if (tenths >= kMaxTenths / 10) return negative || yuan < 0 ? -kMaxTenths : kMaxTenths;
            tenths = tenths * 10 + (c - '0');
        }
    }
    return negative ? -tenths : tenths;
}

double tenthsValue(int64_t tenths) {
    // Dividing gives the double nearest to the decimal, as reading "%.1f" back would.
    return static_cast<double>(tenths) / 10.0;
}

bool parseAmount(const QString& text, int64_t& tenths) {
    int64_t whole = 0;
    int intDigits = 0;
    int decimals = 0;
    int decimal = 0;
    bool point = false;
    for (QChar ch : text) {
        if (ch == QLatin1Char('.')) {
            if (point) return false;
            point = true;
        } else if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            const int d = ch.unicode() - '0';
            if (point) {
                if (++decimals > 1) return false;
                decimal = d;
            } else {
                if (++intDigits > 12) return false;
                whole = whole * 10 + d;
            }
        } else {
            return false;
        }
    }
    if (intDigits == 0 && decimals == 0) return false;
    tenths = whole * 10 + decimal;
    return true;
}

int pointsFor(int64_t totalTenths) {
    const int64_t yuan = totalTenths / 10; // truncates toward zero, as the cast of the total does
    if (yuan > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (yuan < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(yuan);
}

QString memberTypeText(int type) {
    switch (type) {
    case kOrdinaryMember:
        return QStringLiteral("普通会员");
    case kGoldMember:
        return QStringLiteral("金卡会员");
    default:
        return QStringLiteral("未知");
    }
}

bool hasMemberPrice(int memberType) {
    return memberType == kOrdinaryMember || memberType == kGoldMember;
}

bool memberPrice(const vorn::SRec& unit, int memberType, double& price) {
    switch (memberType) {
    case kOrdinaryMember:
        price = unit.FSd_MemP;
        return true;
    case kGoldMember:
        price = unit.FSd_GolP;
        return true;
    default:
        return false;
    }
}

double addedPrice(const vorn::SRec& unit, int memberType) {
    double price = unit.FSd_RetP;
    memberPrice(unit, memberType, price);
    return price;
}

QString presetCaption(int index) {
    switch (index) {
    case 0:
        return QStringLiteral("零售价");
    case 1:
        return QStringLiteral("普通会员");
    case 2:
        return QStringLiteral("金卡会员");
    case 3:
        return QStringLiteral("批发价");
    case 4:
        return QStringLiteral("特价");
    default:
        return QString();
    }
}

double presetPrice(const vorn::SRec& unit, int index) {
    switch (index) {
    case 1:
        return unit.FSd_MemP;
    case 2:
        return unit.FSd_GolP;
    case 3:
        return unit.FSd_WhoP;
    case 4:
        return unit.FSd_SpeP;
    default:
        return unit.FSd_RetP;
    }
}

bool parseRate(const QString& text, double& factor) {
    // As atof reads it: leading blanks, an optional sign, the longest number at
    // the start; nothing readable counts as 0. The process locale plays no part.
    const QByteArray bytes = text.left(31).toLatin1();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v'))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    double rate = 0.0;
    auto [rest, ec] = std::from_chars(p, end, rate, std::chars_format::general);
    (void)rest;
    if (ec == std::errc::result_out_of_range) rate = std::numeric_limits<double>::infinity();
    else if (ec != std::errc()) rate = 0.0;
    if (negative) rate = -rate;
    const double f = rate / 10.0;
    if (std::isnan(f) || f < 0.1 || f > 1.0) return false;
    factor = f;
    return true;
}

double ratePrice(double factor, double retail) {
    return tenthsValue(toTenths(factor * retail));
}

QString rateRangeMessage() {
    return QStringLiteral("自定义折扣率必须在\"大于等于1.0\"到\"小于等于10.0\"之间");
}

} // namespace vorn::ui

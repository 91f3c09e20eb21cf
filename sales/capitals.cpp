#include "capitals.h"

#include <cmath>
#include <string>

#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

const QString kDigits[10] = {QStringLiteral("零"), QStringLiteral("壹"), QStringLiteral("贰"),
                             QStringLiteral("叁"), QStringLiteral("肆"), QStringLiteral("伍"),
                             QStringLiteral("陆"), QStringLiteral("柒"), QStringLiteral("捌"),
                             QStringLiteral("玖")};
// Position units inside a group of four, indexed by the distance from the ones.
const QString kPlaces[4] = {QString(), QStringLiteral("拾"), QStringLiteral("佰"), QStringLiteral("仟")};

bool allZero(const std::string& digits) {
    return digits.find_first_not_of('0') == std::string::npos;
}

// One group of up to four digits, highest first. A run of zeros is spoken once
// as "零" when a non-zero digit follows it inside the group; trailing zeros are
// silent, since the group's own unit (万, 亿, 圆) closes the gap.
QString writeGroup(const std::string& digits) {
    if (digits == "0") return kDigits[0];
    const std::size_t last = digits.find_last_not_of('0');
    if (last == std::string::npos) return QString();
    QString out;
    bool pendingZero = false;
    for (std::size_t i = 0; i <= last; ++i) {
        const int d = digits[i] - '0';
        if (d == 0) {
            pendingZero = true;
            continue;
        }
        if (pendingZero) out += kDigits[0];
        pendingZero = false;
        out += kDigits[d] + kPlaces[digits.size() - 1 - i];
    }
    return out;
}

} // namespace

QString capitalsText(double amount) {
    const QString prefix = QStringLiteral("大写:");
    // Far beyond what can be written; also keeps huge values out of the formatter.
    if (!std::isfinite(amount) || std::fabs(amount) >= 1e13) return prefix;

    // The same rounding as every money figure on the receipt, so the capitals
    // always agree with the "%.1f" total printed above them.
    std::string text = vorn::format_money(amount);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.erase(text.begin());
    const std::size_t point = text.find('.');
    if (point == std::string::npos || point + 2 != text.size()) return prefix;
    const std::string whole = text.substr(0, point);
    const char jiao = text[point + 1];
    // Beyond 亿 groups of four digits the next unit would be 万亿, which a shop
    // receipt never meets; such an amount gets no capitals rather than wrong ones.
    if (whole.empty() || whole.size() > 12) return prefix;

    const std::size_t n = whole.size();
    const std::string units = whole.substr(n > 4 ? n - 4 : 0);
    const std::string wan = n > 4 ? whole.substr(n > 8 ? n - 8 : 0, n > 8 ? 4 : n - 4) : std::string();
    const std::string yi = n > 8 ? whole.substr(0, n - 8) : std::string();

    QString out = prefix;
    if (negative) out += QStringLiteral("负");
    if (!yi.empty() && !allZero(yi)) out += writeGroup(yi) + QStringLiteral("亿");
    if (!wan.empty() && !allZero(wan)) out += writeGroup(wan) + QStringLiteral("万");
    out += writeGroup(units) + QStringLiteral("圆");
    if (jiao != '0') out += kDigits[jiao - '0'] + QStringLiteral("角");
    out += QStringLiteral("整");
    return out;
}

} // namespace vorn::ui

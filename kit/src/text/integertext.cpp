#include "kit/text/integertext.h"

#include <limits>

namespace vorn::ui {

namespace {

// C's isspace in the "C" locale.
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

TypedInteger readInteger(QStringView text) {
    constexpr long long kMax = std::numeric_limits<int>::max();
    constexpr long long kMin = std::numeric_limits<int>::min();
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    const qsizetype firstDigit = i;
    long long magnitude = 0;
    bool beyond = false;
    for (; i < n && isDigit(text[i]); ++i) {
        // Past int's reach the digits still count for "whole", not for the value.
        if (!beyond) magnitude = magnitude * 10 + (text[i].unicode() - u'0');
        beyond = beyond || magnitude > kMax + 1;
    }
    const bool digits = i > firstDigit;
    while (i < n && isBlank(text[i]))
        ++i;
    const long long signedValue = negative ? -magnitude : magnitude;
    beyond = beyond || signedValue > kMax || signedValue < kMin;
    TypedInteger out;
    out.value = beyond ? static_cast<int>(negative ? kMin : kMax) : static_cast<int>(signedValue);
    out.whole = digits && !beyond && i == n;
    return out;
}

} // namespace vorn::ui

// An amount in Chinese capital numerals, as receipts write it under the total:
// "大写:壹拾贰圆伍角整". Widget-free so it can be checked directly.
#pragma once

#include <QString>

namespace vorn::ui {

// The amount rounded to one decimal (down to 角) in capital numerals, with the
// prefix "大写:" and the closing "整". Amounts up to 999 999 999 999.9 are
// written (the 亿 group holds up to four digits); larger or non-finite amounts
// give "大写:" alone. A negative amount is written with "负" before the numerals.
QString capitalsText(double amount);

} // namespace vorn::ui

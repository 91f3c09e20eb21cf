// The counter's money and price rules, without widgets.
//
// Money at the counter is counted in whole tenths of a yuan (角), the precision
// every price is shown, stored and paid in: each price is rounded once, the way
// vorn::format_money rounds it, and everything after that is integer sums. Adding
// prices as doubles would make 0.1 + 0.2 come to more than 0.3 and refuse a
// customer who pays exactly.
#pragma once

#include <QString>
#include <cstdint>

#include "kit/text/tenths.h"
#include "vorn/records.h"

namespace vorn::ui {

// ---- Money in tenths ------------------------------------------------------------

// The price rounded to tenths as format_money rounds it (halves away from zero).
int64_t toTenths(double yuan);
// tenthsText ("%.1f" of an amount held in tenths: 3 -> "0.3") is kit's.
// The amount as a double, for the records and the receipt.
double tenthsValue(int64_t tenths);
// An amount typed at the counter: digits with at most one decimal ("12", "12.",
// "12.5", ".5"). False for anything else, the empty text included.
bool parseAmount(const QString& text, int64_t& tenths);
// A member's points for a sale: the total in whole yuan, truncated toward zero.
int pointsFor(int64_t totalTenths);

// ---- Price levels ---------------------------------------------------------------

// Member types (FVi_Type).
constexpr int kOrdinaryMember = 0;
constexpr int kGoldMember = 1;
// No member chosen for the sale.
constexpr int kNoMember = -1;

// "普通会员", "金卡会员", or "未知" for any other type.
QString memberTypeText(int type);
// Whether members of the type have a price level of their own (0 and 1).
bool hasMemberPrice(int memberType);
// What a unit costs when its row is added: the member's price for an ordinary
// or gold card member, else (no member, an unknown type) the retail price.
double addedPrice(const vorn::SRec& unit, int memberType);
// What the member discount sets on a listed unit; false for a type with no
// price of its own (the unit keeps its price).
bool memberPrice(const vorn::SRec& unit, int memberType, double& price);

// The five preset levels of the discount dialog, in their order.
constexpr int kPresetCount = 5;
QString presetCaption(int index); // "零售价", "普通会员", "金卡会员", "批发价", "特价"
// The unit's price at preset index 0..4; any other index gives the retail price.
double presetPrice(const vorn::SRec& unit, int index);

// A custom discount rate as the cashier types it (9 = 9折 = 90 %): read like C
// atof from at most 31 characters; the factor is the rate / 10. False (factor
// untouched) when the rate is not a number or lies outside 1.0 to 10.0.
bool parseRate(const QString& text, double& factor);
// factor x retail, rounded to one decimal (halves away from zero).
double ratePrice(double factor, double retail);

// The refusal of a rate outside its range.
QString rateRangeMessage();

} // namespace vorn::ui

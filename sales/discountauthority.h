// How far a salesperson may lower prices at the counter on their own. The shop
// sets it in 收银设置 (vorn::ShopRules): the lowest rate of the retail price a
// salesperson may grant, and whether they may price goods at the 特价/批发价
// levels. Anything beyond needs an administrator's or the shop owner's name and
// password; administrators and shop owners themselves are not limited.
// No widgets here: the discount dialog asks, the table of cases is tested.
#pragma once

#include <QString>

#include "vorn/shifts.h"

namespace vorn::ui {

// Preset levels of the discount dialog (see presetCaption) a salesperson may be
// kept from.
constexpr int kPresetWholesale = 3; // "批发价"
constexpr int kPresetSpecial = 4;   // "特价"

enum class DiscountVerdict {
    Allowed,       // the user may give it alone
    NeedsApproval, // an administrator or shop owner must allow it
};

// The built-in administrator (0) and shop owners (1) discount as they like.
bool discountsFreely(int role);

// A custom rate given as the factor of the retail price (8折: 0.8).
DiscountVerdict rateVerdict(int role, const vorn::ShopRules& rules, double factor);
// A preset level of the discount dialog (0..kPresetCount-1).
DiscountVerdict presetVerdict(int role, const vorn::ShopRules& rules, int preset);

// The rules the counter applies when the store cannot say what the shop set:
// the strictest, so that a failing read never lets a deeper discount through
// unasked.
vorn::ShopRules strictestRules();

// "8折", "8.5折" for a percent of the retail price (80, 85).
QString rateName(int percent);

} // namespace vorn::ui

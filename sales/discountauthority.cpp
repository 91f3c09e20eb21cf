#include "discountauthority.h"

#include <cmath>

namespace vorn::ui {

bool discountsFreely(int role) {
    return role == 0 || role == 1;
}

DiscountVerdict rateVerdict(int role, const vorn::ShopRules& rules, double factor) {
    if (discountsFreely(role) || rules.lowest_rate <= 0) return DiscountVerdict::Allowed;
    // Compared in thousandths: the cashier types tenths of a 折 (7.5), and a
    // double of 0.8 must not fall below a limit of 80 percent.
    const long long asked = std::llround(factor * 1000.0);
    return asked < rules.lowest_rate * 10LL ? DiscountVerdict::NeedsApproval : DiscountVerdict::Allowed;
}

DiscountVerdict presetVerdict(int role, const vorn::ShopRules& rules, int preset) {
    if (discountsFreely(role) || rules.clerk_special) return DiscountVerdict::Allowed;
    return preset == kPresetWholesale || preset == kPresetSpecial ? DiscountVerdict::NeedsApproval
                                                                  : DiscountVerdict::Allowed;
}

vorn::ShopRules strictestRules() {
    vorn::ShopRules r;
    r.lowest_rate = 100;
    r.clerk_special = false;
    return r;
}

QString rateName(int percent) {
    const QString number = percent % 10 == 0 ? QString::number(percent / 10)
                                             : QStringLiteral("%1.%2").arg(percent / 10).arg(percent % 10);
    return number + QStringLiteral("折");
}

} // namespace vorn::ui

// The web addresses of ".\vorn.ini", read once at start-up and never written.
#pragma once

#include <QString>
#include <array>

namespace vorn::ui {

struct WebAddresses {
    // Section internet: shop, buy, mall, activity, promotion (one per web tab).
    std::array<QString, 5> main;
    // Buttons 185 to 199: shop_1..4, buy_1..5, mall_1, activity_1..3, promotion_1..2.
    std::array<QString, 15> sub;

    // Reads the file; a missing file or key leaves the address empty. Values are
    // cut to 2083 characters, the longest address the program handles.
    static WebAddresses read(const QString& iniPath);

    // Address of a web tab by its index among the five web tabs (0 to 4).
    QString forWebTab(int webIndex) const;
    // Address of web button 185 to 199; empty for other ids.
    QString forButton(int id) const;
};

// The maker's technical support page.
QString supportAddress();

} // namespace vorn::ui

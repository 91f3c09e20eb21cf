#include "frame/webaddresses.h"

#include "kit/text/inifile.h"

namespace vorn::ui {

namespace {
constexpr int kMaxAddress = 2083;

struct Key {
    const char* section;
    const char* key;
};

constexpr Key kMain[] = {{"internet", "shop"},
                         {"internet", "buy"},
                         {"internet", "mall"},
                         {"internet", "activity"},
                         {"internet", "promotion"}};
constexpr Key kSub[] = {{"shop", "shop_1"},
                        {"shop", "shop_2"},
                        {"shop", "shop_3"},
                        {"shop", "shop_4"},
                        {"buy", "buy_1"},
                        {"buy", "buy_2"},
                        {"buy", "buy_3"},
                        {"buy", "buy_4"},
                        {"buy", "buy_5"},
                        {"mall", "mall_1"},
                        {"activity", "activity_1"},
                        {"activity", "activity_2"},
                        {"activity", "activity_3"},
                        {"promotion", "promotion_1"},
                        {"promotion", "promotion_2"}};

QString readValue(const IniFile& ini, const Key& k) {
    return ini.value(QLatin1String(k.section), QLatin1String(k.key)).left(kMaxAddress);
}
} // namespace

WebAddresses WebAddresses::read(const QString& iniPath) {
    WebAddresses a;
    const IniFile ini = IniFile::read(iniPath);
    for (size_t i = 0; i < a.main.size(); ++i)
        a.main[i] = readValue(ini, kMain[i]);
    for (size_t i = 0; i < a.sub.size(); ++i)
        a.sub[i] = readValue(ini, kSub[i]);
    return a;
}

QString WebAddresses::forWebTab(int webIndex) const {
    return webIndex >= 0 && webIndex < static_cast<int>(main.size()) ? main[static_cast<size_t>(webIndex)]
                                                                     : QString();
}

QString WebAddresses::forButton(int id) const {
    const int i = id - 185;
    return i >= 0 && i < static_cast<int>(sub.size()) ? sub[static_cast<size_t>(i)] : QString();
}

QString supportAddress() {
    return QStringLiteral("http://www.qelto.com/help.asp");
}

} // namespace vorn::ui

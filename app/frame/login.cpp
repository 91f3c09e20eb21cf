#include "frame/login.h"

#include "kit/gbk.h"
#include "kit/listloader.h"

namespace vorn::ui {

bool loadAllUsers(vorn::Core& core, std::vector<vorn::URec>& users) {
    return loadRows(core, users, std::string()) >= 0;
}

QStringList userNames(const std::vector<vorn::URec>& users) {
    QStringList names;
    for (const auto& u : users)
        names << fromGbk(u.FUs_Name);
    return names;
}

QString roleName(int auth) {
    switch (auth) {
    case 0:
        return QStringLiteral("系统超级管理员");
    case 1:
        return QStringLiteral("店主");
    default:
        return QStringLiteral("售货员");
    }
}

bool roleMayUseTab(int auth, int tabIndex, int tabCount) {
    if (tabIndex < 0 || tabIndex >= tabCount) return false;
    if (auth == 0 || auth == 1) return true;
    return tabIndex == 0 || tabIndex >= tabCount - 6;
}

} // namespace vorn::ui

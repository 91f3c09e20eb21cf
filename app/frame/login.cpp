#include "frame/login.h"

#include "kit/text/gbk.h"
#include "kit/page/listloader.h"

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

bool roleMayUseTab(int auth, bool tabForEveryRole) {
    return auth == 0 || auth == 1 || tabForEveryRole;
}

} // namespace vorn::ui

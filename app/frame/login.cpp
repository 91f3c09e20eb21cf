#include "frame/login.h"

#include "kit/gbk.h"
#include "kit/listloader.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

std::string loginCondition(const std::string& nameGbk, const std::string& passwordGbk) {
    return "FUs_Name='" + vorn::sql_escape(nameGbk) + "' AND FUs_Pas='" + vorn::sql_escape(passwordGbk) + "'";
}

int findLoginUsers(vorn::Core& core, const QString& name, const QString& password,
                   std::vector<vorn::URec>& users) {
    users.clear();
    std::string nameGbk;
    std::string passwordGbk;
    // A text GBK cannot hold matches no stored account.
    if (!toGbk(name, nameGbk) || !toGbk(password, passwordGbk)) return 0;
    std::vector<vorn::URec> rows;
    if (loadRows(core, rows, loginCondition(nameGbk, passwordGbk)) <= 0) return 0;
    users = std::move(rows);
    return static_cast<int>(users.size());
}

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

#include "frame/login.h"

#include <algorithm>

#include "kit/gbk.h"
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
    const std::string cond = loginCondition(nameGbk, passwordGbk);
    const int count = core.get_urec_count(cond.c_str());
    if (count <= 0) return 0;
    std::vector<vorn::URec> rows(static_cast<size_t>(count));
    const int got = core.select_urec(rows.data(), cond.c_str());
    if (got <= 0) return 0;
    rows.resize(static_cast<size_t>(std::min(got, count)));
    users = std::move(rows);
    return static_cast<int>(users.size());
}

bool loadAllUsers(vorn::Core& core, std::vector<vorn::URec>& users) {
    const int count = core.get_urec_count(nullptr);
    if (count < 0) {
        users.clear();
        return false;
    }
    std::vector<vorn::URec> rows(static_cast<size_t>(count));
    const int got = count > 0 ? core.select_urec(rows.data(), nullptr) : 0;
    if (got < 0) {
        users.clear();
        return false;
    }
    rows.resize(static_cast<size_t>(std::min(got, count)));
    users = std::move(rows);
    return true;
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

// Login rules that need no window: the user names offered, role names and
// which tabs a role may use. The password check itself is kit's
// (kit/dialog/passwordcheck.h), shared with every dialog that asks for a password.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "vorn/core.h"

namespace vorn::ui {

// Reloads every user, in table order, into `users`; false if a query failed.
bool loadAllUsers(vorn::Core& core, std::vector<vorn::URec>& users);
// The names of the users, decoded, for the name drop-downs of the login dialogs.
QStringList userNames(const std::vector<vorn::URec>& users);

// "系统超级管理员", "店主" or "售货员".
QString roleName(int auth);
// Administrators and shop owners use every tab; anyone else only the tabs made for
// every role (the sales counter, the web tabs and the about tab).
bool roleMayUseTab(int auth, bool tabForEveryRole);

} // namespace vorn::ui

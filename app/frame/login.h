// Login rules that need no window: the user lookup condition, role names and
// which tabs a role may use.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "vorn/core.h"

namespace vorn::ui {

// "FUs_Name='…' AND FUs_Pas='…'" with both texts quoted as data, so the store
// compares them exactly as typed. Texts are GBK bytes.
std::string loginCondition(const std::string& nameGbk, const std::string& passwordGbk);

// Looks the user up: the matching rows replace `users`. Returns their count, or 0
// when the texts cannot be written in GBK or the query fails (a failing query
// counts as a wrong login).
int findLoginUsers(vorn::Core& core, const QString& name, const QString& password,
                   std::vector<vorn::URec>& users);

// Reloads every user, in table order, into `users`; false if a query failed.
bool loadAllUsers(vorn::Core& core, std::vector<vorn::URec>& users);
// The names of the users, decoded, for the name drop-downs of the login dialogs.
QStringList userNames(const std::vector<vorn::URec>& users);

// "系统超级管理员", "店主" or "售货员".
QString roleName(int auth);
// Administrators and shop owners use every tab; anyone else the first tab and the
// last six (the web tabs and the about tab).
bool roleMayUseTab(int auth, int tabIndex, int tabCount);

} // namespace vorn::ui

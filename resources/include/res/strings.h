// The string table: captions by command id and the few fixed texts of the main
// window (the tabs' names are in res/tabs.h). Every subsystem takes its ribbon
// captions from here.
#pragma once

#include <QString>

namespace vorn::ui {

// The string with that number (a command's caption is the string of its id);
// empty for a number the table does not hold.
QString caption(int id);

// "Qelto进销存"
QString appTitle();
// Status bar labels: "当前登录用户:" and "权限:".
QString userPaneLabel();
QString rolePaneLabel();

} // namespace vorn::ui

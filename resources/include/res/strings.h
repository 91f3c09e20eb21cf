// The string table: captions by command id, the page names and the few fixed
// texts of the main window. Every subsystem takes its ribbon captions from here.
#pragma once

#include <QString>

namespace vorn::ui {

// The string with that number (a command's caption is the string of its id);
// empty for a number the table does not hold.
QString caption(int id);

// Name of a page number: 1 "用户登录", 2 "销售前台", ... 12 "关于系统"; "None" otherwise.
QString pageName(int page);

// "Qelto进销存"
QString appTitle();
// Status bar labels: "当前登录用户:" and "权限:".
QString userPaneLabel();
QString rolePaneLabel();

} // namespace vorn::ui

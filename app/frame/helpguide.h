// Where the user's guide can be shown from.
#pragma once

#include <QString>

namespace vorn::ui {

// Whether the desktop has a program for compiled help files (.chm).
bool canOpenCompiledHelp();
// The guide's first HTML page beside the program (help/index.html) or where it is
// installed (../share/vornmart/help/index.html), or empty.
QString helpGuidePage();

} // namespace vorn::ui

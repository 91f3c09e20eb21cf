// How a page runs its modal dialogs: exec() in the program, an answer without a
// modal loop in the tests.
#pragma once

#include <functional>

class QDialog;

namespace vorn::ui {

using DialogRunner = std::function<int(QDialog&)>;

// The program's runner: the dialog's own exec().
DialogRunner execDialogRunner();

} // namespace vorn::ui

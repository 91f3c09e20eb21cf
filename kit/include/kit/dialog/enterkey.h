// Enter in a multi-line edit of a dialog runs the dialog's main action (or
// nothing) like everywhere else in the dialog, instead of starting a new line.
#pragma once

#include <functional>

class QWidget;

namespace vorn::ui {

// Catches Return and Enter pressed in the widget and runs action (which may be
// empty: the key is then swallowed).
void interceptEnter(QWidget* widget, std::function<void()> action);

} // namespace vorn::ui

// Every message box of the program goes through here, so tests can replace the
// boxes with scripted answers and read what was shown.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace vorn::ui {

// The error box: OK only, no icon, the text followed by "。".
void errorBox(QWidget* parent, const QString& text);
// A yes/no question; true for yes.
bool askYesNo(QWidget* parent, const QString& text);

// Test hook: while installed, no box is shown; every box is recorded (the text as
// it would appear) and questions are answered from the answer queue (yes when empty).
struct MessageRecorder {
    QStringList shown;
    QList<bool> answers;
};
void installRecorder(MessageRecorder* recorder); // nullptr restores real boxes

} // namespace vorn::ui

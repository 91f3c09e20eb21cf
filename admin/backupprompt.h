// Asking the user for a backup file with the standard file dialogs, behind a
// replaceable function so the page can be driven without a modal dialog.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vorn::ui {

enum class BackupFileDialog {
    Save, // "备份到指定位置": proposes a name, asks before overwriting
    Open, // "从指定位置恢复": proposes none
};

// The full path chosen, or an empty text when the dialog was not confirmed.
using BackupFilePrompt =
    std::function<QString(QWidget* parent, BackupFileDialog kind, const QString& proposedName)>;

// The real dialogs: files "数据 (*.vorndb)", extension ".vorndb" added when none
// is typed, starting in the current directory.
QString askBackupFile(QWidget* parent, BackupFileDialog kind, const QString& proposedName);

// The name the save dialog proposes: today's local date by the program's clock,
// "2012-03-05" on 5 March 2012.
QString proposedBackupName();

} // namespace vorn::ui

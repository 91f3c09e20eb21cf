#include "backupprompt.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>

#include "kit/text/clock.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

QString proposedBackupName() {
    return QDateTime::fromSecsSinceEpoch(now()).date().toString(QStringLiteral("yyyy-MM-dd"));
}

QString askBackupFile(QWidget* parent, BackupFileDialog kind, const QString& proposedName) {
    const bool save = kind == BackupFileDialog::Save;
    QFileDialog dlg(parent, caption(save ? cmd::BackupTo : cmd::RestoreFrom), QDir::currentPath(),
                    QStringLiteral("数据 (*.vorndb)"));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setDefaultSuffix(QStringLiteral("vorndb"));
    // Overwriting an existing backup is confirmed in the save dialog itself.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (save && !proposedName.isEmpty()) dlg.selectFile(proposedName);
    if (dlg.exec() != QDialog::Accepted) return QString();
    const QStringList files = dlg.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace vorn::ui

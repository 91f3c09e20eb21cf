#include "frame/helpguide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vorn::ui {

bool canOpenCompiledHelp() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) return false;
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                          QStringLiteral("application/vnd.ms-htmlhelp")});
    if (!query.waitForFinished(3000)) {
        query.kill();
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

QString helpGuidePage() {
    const QFileInfo page(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help/index.html")));
    return page.isFile() ? page.absoluteFilePath() : QString();
}

} // namespace vorn::ui

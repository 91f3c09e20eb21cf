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
    // Beside the program in a build tree (bin/help), under share/ where installed.
    const QDir appDir(QCoreApplication::applicationDirPath());
    for (const QString& path :
         {QStringLiteral("help/index.html"), QStringLiteral("../share/vornmart/help/index.html")}) {
        const QFileInfo page(appDir.filePath(path));
        if (page.isFile()) return QDir::cleanPath(page.absoluteFilePath());
    }
    return QString();
}

} // namespace vorn::ui

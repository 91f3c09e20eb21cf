#include "frame/desktopopener.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace vorn::ui {

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// How long the opener may take to say whether it found a program. One that
// starts a browser itself waits for it to end, so still running by then means
// the browser is up.
constexpr int kAnswerMs = 5000;

bool openWithXdgOpen(const QString& xdgOpen, const QUrl& url) {
    // Owned by nobody: it may go on for as long as the browser it started,
    // beyond this window's life; it deletes itself when it ends.
    auto* opener = new QProcess;
    opener->setProgram(xdgOpen);
    opener->setArguments({url.toString(QUrl::FullyEncoded)});
    // Nobody reads what it and its browser print: a full pipe would stop them.
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    opener->start();
    bool opened = false;
    if (!opener->waitForStarted(kAnswerMs)) {
        delete opener;
    } else if (opener->waitForFinished(kAnswerMs)) {
        // 0: a program took it; 3: no program for it; anything else: it failed.
        opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
        delete opener;
    } else {
        opened = true;
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    }
    QApplication::restoreOverrideCursor();
    return opened;
}
#endif

bool openWithTheDesktop(const QUrl& url) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt hands the address to xdg-open and reports that it started, not what
    // it found; asking xdg-open itself tells.
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !xdgOpen.isEmpty() && openWithXdgOpen(xdgOpen, url);
#else
    return QDesktopServices::openUrl(url);
#endif
}

DesktopOpener& opener() {
    static DesktopOpener installed;
    return installed;
}

} // namespace

bool openOnDesktop(const QUrl& url) {
    if (const DesktopOpener& o = opener()) return o(url);
    return openWithTheDesktop(url);
}

void setDesktopOpener(DesktopOpener o) {
    opener() = std::move(o);
}

} // namespace vorn::ui

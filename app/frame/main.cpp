// Vornmart: the shop program.
//
//   Vornmart [DATA_DIR]    the store and its files live in DATA_DIR, or, when none
//                          is given (started from the menu), in a folder of the
//                          program's own under the user's data home
//   Vornmart --version | --help | --smoke
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "frame/helpguide.h"
#include "frame/logoninputdlg.h"
#include "frame/logonview.h"
#include "frame/mainframe.h"
#include "frame/startoptions.h"
#include "frame/vornmartapp.h"
#include "kit/dialog/msgbox.h"

namespace {

using vorn::ui::StartOptions;

void printLine(FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
    std::fflush(to);
}

// The store, vorn.ini, receipts and the help file are all looked up in the
// current directory, so the chosen data folder becomes it. A check of an
// installation (smoke) has nobody to close a message box: stderr only.
bool enterDataFolder(const QString& given, bool smoke) {
    const QString folder = vorn::ui::chooseDataFolder(given, QDir::currentPath(), vorn::ui::userDataHome());
    QString why = vorn::ui::prepareDataFolder(folder);
    if (why.isEmpty() && !QDir::setCurrent(folder))
        why = QStringLiteral("无法进入数据文件夹\"%1\"").arg(QDir::toNativeSeparators(folder));
    if (!why.isEmpty()) {
        printLine(stderr, QStringLiteral("Vornmart: ") + why);
        if (!smoke) vorn::ui::errorBox(nullptr, why);
        return false;
    }
    vorn::ui::provideHelpFile(QCoreApplication::applicationDirPath(), folder);
    return true;
}

// --smoke: once the login page is up, one line on stdout says so together with
// what an installed copy must find, and the program ends; the exit code is 0
// only when all of it was there. Everything runs as on a real start, so a
// check of the package needs no display and no waiting.
void endAfterLoginPage(vorn::ui::CVornmartApp& app) {
    QTimer::singleShot(0, &app, [&app] {
        vorn::ui::CMainFrame* frame = app.frame();
        const auto* logon = frame ? qobject_cast<vorn::ui::CLogonView*>(frame->view()) : nullptr;
        const bool loginShown =
            logon && frame->isVisible() && logon->isVisible() && logon->panel()->isVisible();
        const QString guide = vorn::ui::helpGuidePage();
        const bool helpFile = QFileInfo(QStringLiteral("vorn_helper.chm")).isFile();
        // The icons are SVG: they draw only where Qt's SVG plugin is installed.
        const bool icons = frame && !frame->windowIcon().pixmap(32, 32).isNull();
        const QStringList missing = [&] {
            QStringList m;
            if (!loginShown) m << QStringLiteral("login page");
            if (guide.isEmpty()) m << QStringLiteral("help pages");
            if (!helpFile) m << QStringLiteral("help file vorn_helper.chm");
            if (!icons) m << QStringLiteral("icons");
            return m;
        }();
        const QString line =
            QStringLiteral("%1: %2; data folder %3; help %4; icons %5")
                .arg(vorn::ui::versionLine(),
                     loginShown ? QStringLiteral("login page shown") : QStringLiteral("login page NOT shown"),
                     QDir::currentPath(), guide.isEmpty() ? QStringLiteral("missing") : guide,
                     icons ? QStringLiteral("ok") : QStringLiteral("missing"));
        printLine(stdout, line);
        if (!missing.isEmpty()) printLine(stderr, QStringLiteral("Vornmart: missing: ") + missing.join(", "));
        if (frame) frame->close();
        QCoreApplication::exit(missing.isEmpty() ? EXIT_SUCCESS : EXIT_FAILURE);
    });
}

} // namespace

int main(int argc, char** argv) {
    // --version and --help answer before the application object exists: it
    // needs a display, and they do not.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const StartOptions early = vorn::ui::parseStartOptions(raw);
    if (early.action == StartOptions::Action::ShowVersion) {
        printLine(stdout, vorn::ui::versionLine());
        return EXIT_SUCCESS;
    }
    if (early.action == StartOptions::Action::ShowHelp) {
        std::fputs(vorn::ui::usageText().toLocal8Bit().constData(), stdout);
        return EXIT_SUCCESS;
    }

    vorn::ui::CVornmartApp::prepare();
    QCoreApplication::setApplicationVersion(vorn::ui::programVersion());
    // The desktop entry's name: Wayland matches the window to its menu entry
    // and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("vornmart"));
    vorn::ui::CVornmartApp app(argc, argv);
    // Qt has taken its own options (-platform, -style, ...) out by now.
    const StartOptions options = vorn::ui::parseStartOptions(app.arguments().mid(1));
    if (options.action == StartOptions::Action::Refuse) {
        printLine(stderr, QStringLiteral("Vornmart: ") + options.error);
        std::fputs(vorn::ui::usageText().toLocal8Bit().constData(), stderr);
        return 2;
    }
    if (!enterDataFolder(options.dataDir, options.smoke)) return EXIT_FAILURE;
    if (!app.initInstance()) return EXIT_FAILURE;
    if (options.smoke) endAfterLoginPage(app);
    return app.exec();
}

#include "frame/vornmartapp.h"

#include <QDir>
#include <unistd.h>
#include <cstdio>

#include "admin/admin.h"
#include "frame/chinesetexts.h"
#include "frame/look.h"
#include "frame/mainframe.h"
#include "frame/storelock.h"
#include "kit/dialog/msgbox.h"

namespace vorn::ui {

void CVornmartApp::prepare() {
    // The embedded browser refuses to start as root (a till often runs as root)
    // unless its sandbox is off.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The embedded browser shares its drawing contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Every per-user setting, the ribbon layout included, lives under this key.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Vornmart"));
}

CVornmartApp::CVornmartApp(int& argc, char** argv) : QApplication(argc, argv) {}

CVornmartApp::~CVornmartApp() = default;

bool CVornmartApp::initInstance() {
    applyLook(*this);
    // Qt's own dialogs (choosing a file to import or export to, backup folders)
    // speak Chinese like the rest of the program, where Debian's translations are
    // installed; without them they stay in English and work the same.
    installChineseTexts(*this);
    StoreClaim claim = claimStore(QDir::currentPath());
    if (!claim.usable()) {
        std::fprintf(stderr, "Vornmart: %s\n", claim.why.toLocal8Bit().constData());
        errorBox(nullptr, claim.why);
        return false;
    }
    lock_ = std::move(claim.lock);
    // Holding the lock, no backup or restore of ours runs: what one killed
    // midway left beside the store can go. (Read-only, nothing can go.)
    if (lock_) sweepInterruptedBackups(QDir::currentPath());
    frame_ = std::make_unique<CMainFrame>();
    frame_->setReadOnlyStore(claim.readOnly);
    if (!frame_->create()) {
        frame_.reset();
        return false;
    }
    // Maximised where a window manager does it; without one (or once the user
    // restores the window) a size at which the ribbon's captions stay whole.
    frame_->setMinimumSize(1024, 640);
    frame_->resize(1280, 820);
    frame_->showMaximized();
    return true;
}

} // namespace vorn::ui

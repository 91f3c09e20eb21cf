#include "frame/webwindow.h"

#include <QVBoxLayout>

#include "frame/internetview.h"

namespace vorn::ui {

CWebWindow::CWebWindow(Shell& shell, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("webWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new CInternetView(shell, this);
    layout->addWidget(view_);
    // Within the smallest screen the program runs on.
    resize(960, 680);
}

bool CWebWindow::showPage(const QString& address, const QString& title) {
    if (!CInternetView::hasBrowser()) return false;
    setWindowTitle(title);
    view_->navigate(address);
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace vorn::ui

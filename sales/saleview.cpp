#include "saleview.h"

#include "kit/frameservices.h"

namespace vorn::ui {

CSaleView::CSaleView(Shell& shell, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("saleView"));
    setAttribute(Qt::WA_StyledBackground);
}

CSaleView::~CSaleView() {
    if (FrameServices* frame = frameServices(shell())) {
        frame->stopDateWatch();
        // This page is no longer the active view, so the checks stop any blinking.
        frame->runReminderCheck();
    }
}

void CSaleView::initialUpdate() {
    if (FrameServices* frame = frameServices(shell())) {
        frame->startDateWatch();
        frame->runReminderCheck();
    }
}

} // namespace vorn::ui

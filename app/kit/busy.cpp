#include "busy.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include "loadingthread.h"
#include "loadingwnd.h"

namespace vorn::ui {

namespace {

// Swallows the user's input for as long as it lives. A local loop run with
// ExcludeUserInputEvents would only hold the input back and deliver it once the
// job is over (a second click on "search" would search again), so the input is
// dropped here instead, the way clicks on the busy window always were.
class InputBlocker final : public QObject {
public:
    explicit InputBlocker(QWidget* owner) : ownerWindow_(owner ? owner->window() : nullptr) {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        case QEvent::Close:
            // The user closing the main window would pull the data from under the job.
            return event->spontaneous() && ownerWindow_ && watched == ownerWindow_;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> ownerWindow_;
};

void runUnderWindow(QWidget* owner, bool withProgress, const CLoadingThread::Job& job) {
    // The window is a child of owner; should owner go away meanwhile it takes the
    // window with it, hence the guard.
    QPointer<CLoadingWnd> wnd = new CLoadingWnd(owner, Qt::black, 96, withProgress, 0);
    InputBlocker blocker(owner);
    CLoadingThread worker(job);
    QEventLoop loop;

    QObject::connect(&worker, &CLoadingThread::progress, wnd, &CLoadingWnd::setPercent,
                     Qt::QueuedConnection);
    QObject::connect(&worker, &QThread::finished, wnd, &CLoadingWnd::stop, Qt::QueuedConnection);
    QObject::connect(wnd, &CLoadingWnd::ended, &loop, &QEventLoop::quit);
    QObject::connect(wnd, &QObject::destroyed, &loop, &QEventLoop::quit);

    wnd->start();
    worker.start();
    if (!worker.isRunning() && !worker.isFinished()) {
        // No thread to be had: do the job here; the window at least shows it began.
        worker.runHere();
        if (wnd) wnd->stop();
    }
    if (wnd && wnd->phase() != CLoadingWnd::Phase::Ended) loop.exec();
    worker.wait();
    delete wnd.data();

    if (std::exception_ptr error = worker.error()) std::rethrow_exception(error);
}

} // namespace

void runBusy(QWidget* owner, const std::function<void()>& job) {
    runUnderWindow(owner, false, [&job](BusyProgress&) {
        if (job) job();
    });
}

void runBusyWithProgress(QWidget* owner, const std::function<void(BusyProgress&)>& job) {
    runUnderWindow(owner, true, job);
}

} // namespace vorn::ui

#include "kit/page/busy.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <utility>
#include <vector>
#include <QWidget>

#include "kit/page/loadingthread.h"
#include "kit/page/loadingwnd.h"

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

int gRunning = 0;
std::vector<std::pair<QPointer<QObject>, std::function<void()>>> gWaiting;

// Counts the running jobs; when the last one ends, runs what waited for it.
class RunningJob {
public:
    RunningJob() { ++gRunning; }
    ~RunningJob() {
        if (--gRunning > 0) return;
        auto waiting = std::move(gWaiting);
        gWaiting.clear();
        for (auto& [context, fn] : waiting)
            if (context && fn) QTimer::singleShot(0, context.data(), fn);
    }
    RunningJob(const RunningJob&) = delete;
    RunningJob& operator=(const RunningJob&) = delete;
};

void runUnderWindow(QWidget* owner, bool withProgress, const CLoadingThread::Job& job,
                    const QString& detail = QString()) {
    RunningJob running;
    // The window is a child of owner; should owner go away meanwhile it takes the
    // window with it, hence the guard.
    QPointer<CLoadingWnd> wnd = new CLoadingWnd(owner, Qt::black, 96, withProgress, 0);
    if (!detail.isEmpty()) wnd->setDetail(detail);
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

void runBusy(QWidget* owner, const std::function<void()>& job, const QString& detail) {
    runUnderWindow(
        owner, false,
        [&job](BusyProgress&) {
            if (job) job();
        },
        detail);
}

void runBusyWithProgress(QWidget* owner, const std::function<void(BusyProgress&)>& job) {
    runUnderWindow(owner, true, job);
}

void whenIdle(QObject* context, std::function<void()> fn) {
    if (!fn) return;
    if (gRunning == 0) {
        fn();
        return;
    }
    gWaiting.emplace_back(QPointer<QObject>(context), std::move(fn));
}

} // namespace vorn::ui

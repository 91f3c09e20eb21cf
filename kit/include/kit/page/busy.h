// Running a long job under the busy window.
//
// The GUI thread shows the busy window (a darkened picture of the main window with
// "程序正在执行，请耐心等待" and, if asked, a progress band) and ignores user input,
// while the job runs on a worker thread. The job must not touch any widget: read
// the inputs first, compute into fresh containers, apply the results after the
// call returns. The call returns once the job has ended and the window has gone.
#pragma once

#include <QString>
#include <functional>

class QObject;
class QWidget;

namespace vorn::ui {

// Thread-safe progress report of a job (0 to 100, clamped by the window).
class BusyProgress {
public:
    virtual ~BusyProgress() = default;
    virtual void set(int percent) = 0;
};

// Runs job under the busy window covering owner (the main window). A detail
// line, when given, says under the message what is going on.
void runBusy(QWidget* owner, const std::function<void()>& job, const QString& detail = QString());
// The same with the progress band shown, starting at 0%.
void runBusyWithProgress(QWidget* owner, const std::function<void(BusyProgress&)>& job);

// Runs fn now when no job runs, else once the running job has ended (and its
// window gone). Timer work that queries the store waits this way instead of
// queueing on the store's lock behind a long select while the busy window's
// animation freezes. Nothing runs if context is gone by then.
void whenIdle(QObject* context, std::function<void()> fn);

} // namespace vorn::ui

// The worker of a busy-window operation. Qt widgets belong to the GUI thread,
// so the GUI thread keeps the busy window alive while this thread does the job;
// the job must not touch any widget.
#pragma once

#include <QThread>
#include <exception>
#include <functional>

#include "kit/page/busy.h"

namespace vorn::ui {

class CLoadingThread : public QThread {
    Q_OBJECT
public:
    using Job = std::function<void(BusyProgress&)>;

    explicit CLoadingThread(Job job, QObject* parent = nullptr);
    // Waits for the job: a running job must not outlive the objects it captured.
    ~CLoadingThread() override;

    // What the job threw, or null; read it once the thread has finished.
    std::exception_ptr error() const { return error_; }

    // Runs the job on the calling thread instead, for when no worker can be made.
    void runHere();

signals:
    // Emitted from the worker; connect it queued to the busy window.
    void progress(int percent);

protected:
    void run() override;

private:
    Job job_;
    std::exception_ptr error_;
};

} // namespace vorn::ui

#include "kit/page/loadingthread.h"

namespace vorn::ui {

namespace {

class SignalProgress final : public BusyProgress {
public:
    explicit SignalProgress(CLoadingThread& thread) : thread_(thread) {}
    void set(int percent) override { emit thread_.progress(percent); }

private:
    CLoadingThread& thread_;
};

} // namespace

CLoadingThread::CLoadingThread(Job job, QObject* parent) : QThread(parent), job_(std::move(job)) {
    setObjectName(QStringLiteral("CLoadingThread"));
}

CLoadingThread::~CLoadingThread() { wait(); }

void CLoadingThread::runHere() {
    SignalProgress progress(*this);
    try {
        if (job_) job_(progress);
    } catch (...) {
        // Carried to the GUI thread, which rethrows once the busy window is gone;
        // an exception escaping a QThread would end the program.
        error_ = std::current_exception();
    }
}

void CLoadingThread::run() { runHere(); }

} // namespace vorn::ui

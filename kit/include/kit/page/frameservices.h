// What the main window offers beyond Shell to the pages of the sales counter: the
// date watch (timer 3), the blinking reminders whose buttons it hosts, and
// commands that belong to no page. A page reaches it with frameServices(shell);
// a test's fake Shell may give nullptr, and pages then simply skip these calls.
#pragma once

#include <functional>

#include "kit/page/shell.h"

namespace vorn::ui {

class BlinkingReminder;

class FrameServices {
public:
    virtual ~FrameServices() = default;

    // Timer 3: every ten minutes each reminder is asked whether the date moved on
    // (and checked again if so). The sales counter runs it from its initial update
    // until it is destroyed.
    virtual void startDateWatch() = 0;
    virtual void stopDateWatch() = 0;
    virtual bool dateWatchRunning() const = 0;

    // The reminder behind a blinking button (201, 208), nullptr if none is hosted.
    virtual BlinkingReminder* reminder(int buttonCommand) = 0;
    // Runs the check of that reminder, or of every reminder for 0. A reminder
    // blinks only while the sales counter is the active view.
    virtual void runReminderCheck(int buttonCommand = 0) = 0;

    // A command served whatever page is active: enabled while `enabled` says so,
    // carried out by `run`.
    virtual void setGlobalCommand(int id, std::function<bool()> enabled, std::function<void()> run) = 0;
};

inline FrameServices* frameServices(Shell& shell) {
    return dynamic_cast<FrameServices*>(&shell);
}

} // namespace vorn::ui

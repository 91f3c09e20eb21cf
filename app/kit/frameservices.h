// What the main window offers beyond Shell to the subsystems that share its
// program-wide state: the date watch (timer 3), the stock alarm and the birthday
// reminder, the statistics mode, and commands that belong to no page (such as
// 打印小票). A page reaches it with frameServices(shell); a test's fake Shell
// gives nullptr, and pages then simply skip these calls.
#pragma once

#include <functional>
#include <string>

#include "kit/birthdaywindow.h"
#include "kit/shell.h"

namespace vorn::ui {

class FrameServices {
public:
    virtual ~FrameServices() = default;

    // Timer 3: every ten minutes, if the date moved on, recompute the birthday
    // window with the stored lead and run the birthday check. The sales counter
    // page runs it from its initial update until it is destroyed.
    virtual void startDateWatch() = 0;
    virtual void stopDateWatch() = 0;
    virtual bool dateWatchRunning() const = 0;

    // Stock alarm (settings 6 and 7). The check counts the low codes and starts or
    // stops the blinking of button 201; it blinks only while the sales counter is
    // the active view.
    virtual void runAlarmCheck() = 0;
    virtual bool alarmOn() const = 0;
    virtual int alarmLimit() const = 0;
    virtual void setAlarmLimit(int limit) = 0; // the frame's copy; the caller stores it
    virtual int alarmCount() const = 0;

    // Birthday reminder (settings 8 and 9), the same for button 208.
    virtual void runBirthdayCheck() = 0;
    virtual bool birthdayOn() const = 0;
    virtual const BirthdayWindow& birthdayWindow() const = 0;
    // Recomputes the window from now with the lead and keeps the lead.
    virtual void recomputeBirthdayWindow(int limit) = 0;
    virtual int birthdayCount() const = 0;
    // The member condition of a window; an empty text means no condition can be
    // built and the check counts no member. Until one is set, nothing is counted.
    using BirthdayCondition = std::function<std::string(const BirthdayWindow&)>;
    virtual void setBirthdayCondition(BirthdayCondition condition) = 0;

    // Statistics mode: 0 by year, 1 by custom condition (radios 126 and 127).
    virtual int statMode() const = 0;

    // A command served whatever page is active: enabled while `enabled` says so,
    // carried out by `run`.
    virtual void setGlobalCommand(int id, std::function<bool()> enabled, std::function<void()> run) = 0;
};

inline FrameServices* frameServices(Shell& shell) {
    return dynamic_cast<FrameServices*>(&shell);
}

} // namespace vorn::ui

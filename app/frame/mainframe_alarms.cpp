// The stock alarm and birthday reminder buttons and the three timers.
#include "frame/mainframe.h"
#include "frame/ribbon.h"
#include "kit/appstate.h"
#include "kit/clock.h"
#include "kit/commandids.h"

namespace vorn::ui {

void CMainFrame::runAlarmCheck() {
    if (alarmOn_ && salesViewActive()) {
        alarmCount_ = appState().core.get_srec_alarm_count(alarmLimit_);
        if (alarmCount_ > 0 && alarmBlink_ == 0) {
            alarmBlink_ = 1;
            alarmTimer_.start();
        } else if (alarmCount_ <= 0 && alarmBlink_ >= 1) {
            stopAlarmBlink();
        }
    } else if (alarmBlink_ >= 1) {
        stopAlarmBlink();
    }
}

void CMainFrame::stopAlarmBlink() {
    alarmTimer_.stop();
    alarmBlink_ = 0;
    if (ribbon_) ribbon_->setIcon(cmd::Alarm, Ribbon::icon("alarm_201"));
}

void CMainFrame::alarmTick() {
    if (ribbon_) ribbon_->setIcon(cmd::Alarm, Ribbon::icon(alarmBlink_ % 2 == 0 ? "alarm_202" : "alarm_203"));
    ++alarmBlink_;
}

void CMainFrame::runBirthdayCheck() {
    if (birthOn_ && salesViewActive()) {
        const std::string cond = birthCondition_ ? birthCondition_(birthWindow_) : std::string();
        birthCount_ = cond.empty() ? 0 : appState().core.get_viprec_count(cond.c_str());
        if (birthCount_ > 0 && birthBlink_ == 0) {
            birthBlink_ = 1;
            birthdayTimer_.start();
        } else if (birthCount_ <= 0 && birthBlink_ >= 1) {
            stopBirthdayBlink();
        }
    } else if (birthBlink_ >= 1) {
        stopBirthdayBlink();
    }
}

void CMainFrame::stopBirthdayBlink() {
    birthdayTimer_.stop();
    birthBlink_ = 0;
    if (ribbon_) ribbon_->setIcon(cmd::Birthday, Ribbon::icon("alarm_201"));
}

void CMainFrame::birthdayTick() {
    if (ribbon_)
        ribbon_->setIcon(cmd::Birthday, Ribbon::icon(birthBlink_ % 2 == 0 ? "alarm_202" : "alarm_203"));
    ++birthBlink_;
}

void CMainFrame::recomputeBirthdayWindow(int limit) {
    birthWindow_ = computeBirthdayWindow(now(), limit);
}

void CMainFrame::startDateWatch() {
    dateTimer_.start();
}
void CMainFrame::stopDateWatch() {
    dateTimer_.stop();
}

void CMainFrame::dateWatchTick() {
    if (birthdayDateChanged(birthWindow_, now())) {
        recomputeBirthdayWindow(birthWindow_.limit);
        runBirthdayCheck();
    }
}

} // namespace vorn::ui

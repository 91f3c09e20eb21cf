#include "kit/remind/reminder.h"

#include "vorn/core.h"

namespace vorn::ui {

BlinkingReminder::BlinkingReminder(std::unique_ptr<ReminderSource> source, QObject* parent)
    : QObject(parent), source_(std::move(source)) {
    timer_.setInterval(kBlinkMs);
    connect(&timer_, &QTimer::timeout, this, &BlinkingReminder::tick);
}

BlinkingReminder::~BlinkingReminder() = default;

void BlinkingReminder::load(Core& core) {
    enabled_ = source_->storedEnabled(core);
    setLimit(source_->storedLimit(core));
}

void BlinkingReminder::setLimit(int limit) {
    limit_ = limit;
    source_->limitChanged(limit);
}

void BlinkingReminder::check(Core& core, bool active) {
    if (enabled_ && active) {
        count_ = source_->count(core, limit_);
        if (count_ > 0 && blink_ == 0) {
            blink_ = 1;
            timer_.start();
        } else if (count_ <= 0 && blink_ >= 1) {
            stopBlinking();
        }
    } else if (blink_ >= 1) {
        stopBlinking();
    }
}

void BlinkingReminder::stopBlinking() {
    timer_.stop();
    blink_ = 0;
    setIcon(QStringLiteral("alarm_201"));
}

void BlinkingReminder::tick() {
    setIcon(blink_ % 2 == 0 ? QStringLiteral("alarm_202") : QStringLiteral("alarm_203"));
    ++blink_;
}

void BlinkingReminder::setIcon(const QString& icon) {
    icon_ = icon;
    emit iconChanged(source_->buttonCommand(), icon);
}

} // namespace vorn::ui

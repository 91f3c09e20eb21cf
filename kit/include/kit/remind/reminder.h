// A blinking reminder of the sales counter: a check box that switches it on and
// off, and a button that blinks while there is something to remind of and opens
// the reminder's dialog. The main window hosts the two buttons; what is counted,
// how it is stored and what the dialog shows come from the subsystem that owns
// the reminder, through a ReminderSource.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace vorn {
class Core;
}

namespace vorn::ui {

class Shell;
class BlinkingReminder;

class ReminderSource {
public:
    virtual ~ReminderSource() = default;

    virtual int toggleCommand() const = 0; // the check box
    virtual int buttonCommand() const = 0; // the blinking button

    // The stored on flag and limit, read when the main window starts.
    virtual bool storedEnabled(Core& core) = 0;
    virtual int storedLimit(Core& core) = 0;
    // True when the store took it.
    virtual bool storeEnabled(Core& core, bool on) = 0;
    // Status sentence after the check box switched the reminder on or off.
    virtual QString toggledText(bool on) const = 0;

    // How many things there are to remind of with this limit; -1 on failure.
    virtual int count(Core& core, int limit) = 0;
    // The dialog of the button; it may change the limit (and store it).
    virtual void openDialog(Shell& shell, BlinkingReminder& reminder) = 0;

    // The date watch (every ten minutes while the sales counter exists): true when
    // what the reminder counts against has moved on, so the check must run again.
    virtual bool dateTick(int64_t now) {
        (void)now;
        return false;
    }
    // The limit was set (start-up or dialog): a source may derive state from it.
    virtual void limitChanged(int limit) { (void)limit; }
};

class BlinkingReminder : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlinkMs = 1000;

    explicit BlinkingReminder(std::unique_ptr<ReminderSource> source, QObject* parent = nullptr);
    ~BlinkingReminder() override;

    ReminderSource& source() const { return *source_; }
    int buttonCommand() const { return source_->buttonCommand(); }
    int toggleCommand() const { return source_->toggleCommand(); }

    // Reads the stored flag and limit.
    void load(Core& core);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }
    int limit() const { return limit_; }
    void setLimit(int limit);
    // Of the last check; 0 before the first.
    int count() const { return count_; }
    // 0 while the button does not blink; counts the ticks while it does.
    int blink() const { return blink_; }
    bool blinking() const { return blink_ > 0; }
    bool timerActive() const { return timer_.isActive(); }

    // With the reminder on and its page active: counts, and starts the blinking when
    // there is something (and it does not blink yet) or stops it when there is
    // nothing. Otherwise stops any blinking.
    void check(Core& core, bool active);
    void stopBlinking();

    // The icon the button shows now: "alarm_201" at rest, "alarm_202"/"alarm_203"
    // in turn while blinking.
    QString iconName() const { return icon_; }

signals:
    void iconChanged(int buttonCommand, const QString& iconName);

private:
    void tick();
    void setIcon(const QString& icon);

    std::unique_ptr<ReminderSource> source_;
    QTimer timer_;
    bool enabled_ = false;
    int limit_ = 0;
    int count_ = 0;
    int blink_ = 0;
    QString icon_ = QStringLiteral("alarm_201");
};

} // namespace vorn::ui

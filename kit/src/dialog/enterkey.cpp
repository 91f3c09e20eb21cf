#include "kit/dialog/enterkey.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace vorn::ui {

namespace {

class EnterFilter : public QObject {
public:
    EnterFilter(std::function<void()> action, QObject* parent)
        : QObject(parent), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (action_) action_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

} // namespace

void interceptEnter(QWidget* widget, std::function<void()> action) {
    widget->installEventFilter(new EnterFilter(std::move(action), widget));
}

} // namespace vorn::ui

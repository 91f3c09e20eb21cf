#include "kit/editpanel.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace vorn::ui {

EditPanel::EditPanel(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {}

void EditPanel::settle() {
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().topLeft());
}

void EditPanel::bringUp(const QString& title) {
    setWindowTitle(title);
    show();
    raise();
    activateWindow();
}

void EditPanel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        save();
        return;
    case Qt::Key_Escape:
        hide();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void EditPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit visibilityChanged(true);
}

void EditPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}

} // namespace vorn::ui

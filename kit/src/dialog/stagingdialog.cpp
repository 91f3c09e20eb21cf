#include "kit/dialog/stagingdialog.h"

#include <QKeyEvent>

namespace vorn::ui {

StagingDialog::StagingDialog(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {}

void StagingDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        enterPressed();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui

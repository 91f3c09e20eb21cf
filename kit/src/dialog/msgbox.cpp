#include "kit/dialog/msgbox.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace vorn::ui {

namespace {
MessageRecorder* recorder = nullptr;
}

void installRecorder(MessageRecorder* r) { recorder = r; }

void errorBox(QWidget* parent, const QString& text) {
    const QString full = text + QStringLiteral("。");
    if (recorder) {
        recorder->shown << full;
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Qelto进销存"), full, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool askYesNo(QWidget* parent, const QString& text) {
    if (recorder) {
        recorder->shown << text;
        return recorder->answers.isEmpty() ? true : recorder->answers.takeFirst();
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Qelto进销存"), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    return box.exec() == QMessageBox::Yes;
}

} // namespace vorn::ui

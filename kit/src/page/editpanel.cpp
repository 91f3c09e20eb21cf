#include "kit/page/editpanel.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace vorn::ui {

EditPanel::EditPanel(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {}

QPushButton* EditPanel::layOutFields(const std::vector<PanelField>& pairs, const std::vector<PanelField>& wide) {
    auto* save = new QPushButton(QStringLiteral("确认保存"));
    save->setObjectName(QStringLiteral("save"));
    connect(save, &QPushButton::clicked, this, &EditPanel::save);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto addLabel = [grid](const PanelField& f, int row, int col) {
        grid->addWidget(new QLabel(f.label), row, col, Qt::AlignRight | f.labelAlignment);
    };
    int i = 0;
    for (const PanelField& f : pairs) {
        addLabel(f, i / 2, (i % 2) * 2);
        grid->addWidget(f.field, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    int row = (i + 1) / 2;
    for (const PanelField& f : wide) {
        addLabel(f, row, 0);
        grid->addWidget(f.field, row++, 1, 1, 3);
    }
    grid->setColumnMinimumWidth(1, 170);
    grid->setColumnMinimumWidth(3, 170);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);
    return save;
}

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

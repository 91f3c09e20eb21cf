#include "statdlgparts.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn::ui {

QListWidget* makeValueList(const char* objectName) {
    auto* list = new QListWidget;
    list->setObjectName(QLatin1String(objectName));
    list->setSortingEnabled(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumSize(150, 220);
    return list;
}

QWidget* captioned(const QString& caption, QWidget* body) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(body, 1);
    return box;
}

QPushButton* makeDialogButton(const QString& text, const char* objectName, int id) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(objectName));
    b->setProperty("vornId", id);
    // Enter belongs to the dialog's confirm, whichever button has the focus.
    b->setAutoDefault(false);
    return b;
}

int selectedRow(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->row(item) : -1;
}

void appendEntry(QListWidget* list, const QString& text, int value) {
    auto* item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, value);
}

void insertAscending(QListWidget* list, const QString& text, int value) {
    int row = 0;
    while (row < list->count() && list->item(row)->data(Qt::UserRole).toInt() <= value)
        ++row;
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, value);
    list->insertItem(row, item);
    list->setCurrentItem(item);
}

void moveCurrentToEnd(QListWidget* from, QListWidget* to) {
    QListWidgetItem* item = from->takeItem(selectedRow(from));
    if (!item) return;
    to->addItem(item);
    to->setFocus();
    to->setCurrentItem(item);
}

void moveCurrentAscending(QListWidget* from, QListWidget* to) {
    QListWidgetItem* item = from->takeItem(selectedRow(from));
    if (!item) return;
    insertAscending(to, item->text(), item->data(Qt::UserRole).toInt());
    delete item;
    to->setFocus();
}

} // namespace vorn::ui

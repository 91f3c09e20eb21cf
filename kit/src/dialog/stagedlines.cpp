#include "kit/dialog/stagedlines.h"

#include <QAbstractScrollArea>
#include <QBoxLayout>
#include <QDialog>
#include <QGridLayout>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "kit/text/gbk.h"

namespace vorn::ui {

QString shownOrBlank(const std::string& gbkText) {
    return gbkText.empty() ? QStringLiteral("(空)") : fromGbk(gbkText);
}

void focusSelected(QLineEdit* edit) {
    edit->setFocus();
    edit->selectAll();
}

int selectedStagedLine(const QListWidget* list, size_t lines) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) return -1;
    const int row = list->row(item);
    return row >= 1 && static_cast<size_t>(row) <= lines ? row - 1 : -1;
}

void removeStagedLine(QListWidget* list, int index) {
    delete list->takeItem(index + 1);
    list->setCurrentRow(-1);
    list->clearSelection();
}

void FieldForm::add(const QString& label, QWidget* field, Qt::Alignment labelAlignment) {
    grid_->addWidget(new QLabel(label), row_, 0, Qt::AlignRight | labelAlignment);
    grid_->addWidget(field, row_, 1);
    ++row_;
}

void FieldForm::addRows(const QStringList& labels, const QList<QWidget*>& fields) {
    for (qsizetype i = 0; i < labels.size() && i < fields.size(); ++i)
        add(labels[i], fields[i], qobject_cast<QAbstractScrollArea*>(fields[i]) ? Qt::AlignTop : Qt::AlignVCenter);
}

StagingButtons layOutStagedLines(QDialog* dialog, const StagedLines& sides) {
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(sides.caption));
    left->addWidget(sides.list);
    StagingSides staging;
    staging.list = left;
    staging.entry = sides.entry;
    staging.toListName = sides.toListName;
    const StagingButtons b = layOutStaging(dialog, staging);
    QObject::connect(b.toList, &QPushButton::clicked, dialog, sides.toList);
    QObject::connect(b.fromList, &QPushButton::clicked, dialog, sides.fromList);
    QObject::connect(b.save, &QPushButton::clicked, dialog, sides.save);
    return b;
}

void chainTabOrder(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace vorn::ui

#include "picktable.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vorn::ui {

QTableWidget* makePickTable(QWidget* parent, const QString& objectName, const std::vector<PickColumn>& columns,
                            const std::vector<QStringList>& rows, int minWidth, int minHeight) {
    const int columnCount = static_cast<int>(columns.size());
    auto* table = new QTableWidget(static_cast<int>(rows.size()), columnCount, parent);
    table->setObjectName(objectName);
    QStringList labels;
    for (const PickColumn& c : columns)
        labels << QString::fromUtf8(c.caption);
    table->setHorizontalHeaderLabels(labels);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(false);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < columnCount; ++c) {
            auto* item = new QTableWidgetItem(rows[static_cast<size_t>(r)].value(c));
            if (columns[static_cast<size_t>(c)].right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    QHeaderView* header = table->horizontalHeader();
    for (int c = 0; c < columnCount; ++c)
        header->resizeSection(c, columns[static_cast<size_t>(c)].width);
    header->setStretchLastSection(true);
    table->setMinimumSize(minWidth, minHeight);
    if (!rows.empty()) table->selectRow(0);
    return table;
}

QLabel* pickKeysLabel(const QString& text, QWidget* parent) {
    auto* hint = new QLabel(text, parent);
    hint->setObjectName(QStringLiteral("keyHint"));
    hint->setStyleSheet(QStringLiteral("color: #5a6b80;"));
    return hint;
}

void layOutPickDialog(QDialog& dlg, QLabel* caption, QTableWidget* table, const QString& pickCaption,
                      const QString& pickName, const QString& keys, const std::function<void()>& pick,
                      const std::function<void()>& close) {
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dlg, [pick] { pick(); });
    auto* picker = new QPushButton(pickCaption, &dlg);
    picker->setObjectName(pickName);
    auto* closer = new QPushButton(QStringLiteral("关闭"), &dlg);
    closer->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton* b : {picker, closer})
        b->setAutoDefault(false);
    QObject::connect(picker, &QPushButton::clicked, &dlg, [pick] { pick(); });
    QObject::connect(closer, &QPushButton::clicked, &dlg, [close] { close(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pickKeysLabel(keys, &dlg));
    buttons->addStretch(1);
    buttons->addWidget(picker);
    buttons->addWidget(closer);
    auto* outer = new QVBoxLayout(&dlg);
    outer->setContentsMargins(16, 14, 16, 12);
    outer->setSpacing(10);
    outer->addWidget(caption);
    outer->addWidget(table, 1);
    outer->addLayout(buttons);
    table->setFocus();
}

int pickedRow(const QTableWidget& table) {
    const QList<QTableWidgetItem*> chosen = table.selectedItems();
    return chosen.isEmpty() ? table.currentRow() : chosen.front()->row();
}

} // namespace vorn::ui

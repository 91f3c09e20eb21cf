#include "picktable.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

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

} // namespace vorn::ui

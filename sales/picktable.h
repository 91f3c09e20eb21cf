// The short lists the counter's dialogs pick one row from (the cashier's sales
// of the day, the parked sales): read-only, whole rows chosen one at a time,
// the first row selected so that Enter picks at once, fixed column widths with
// the last one stretching, and a grey line naming the keys.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QLabel;
class QTableWidget;
class QWidget;

namespace vorn::ui {

struct PickColumn {
    const char* caption; // UTF-8
    int width;
    bool right; // figures, right-aligned
};

// The table, filled with rows (one text per column), at least minWidth x minHeight.
QTableWidget* makePickTable(QWidget* parent, const QString& objectName, const std::vector<PickColumn>& columns,
                            const std::vector<QStringList>& rows, int minWidth, int minHeight);

// "Enter: 取单    Esc: 关闭": the keys of the dialog, under the list.
QLabel* pickKeysLabel(const QString& text, QWidget* parent);

} // namespace vorn::ui

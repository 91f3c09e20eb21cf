// The short lists the counter's dialogs pick one row from (the cashier's sales
// of the day, the parked sales): read-only, whole rows chosen one at a time,
// the first row selected so that Enter picks at once, fixed column widths with
// the last one stretching, and a grey line naming the keys.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QDialog;
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

// Lays the dialog out: the caption, the table, then the keys line, the pick
// button (pickName) and 关闭 (closeButton). The buttons leave Enter to the
// dialog; a double click on a row picks it. The focus starts in the table.
void layOutPickDialog(QDialog& dlg, QLabel* caption, QTableWidget* table, const QString& pickCaption,
                      const QString& pickName, const QString& keys, const std::function<void()>& pick,
                      const std::function<void()>& close);

// The row picked: the selected one, else the current one; -1 for none.
int pickedRow(const QTableWidget& table);

} // namespace vorn::ui

// What the dialogs that gather lines before one save (goods entry, member
// addition) do alike around their list: the list whose first row is a header
// line, the line taken back by its selection, the placeholder for an empty
// text, and the form of labelled fields beside it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtCore/qnamespace.h>
#include <cstddef>
#include <functional>
#include <string>

#include "kit/page/staging.h"

class QDialog;
class QGridLayout;
class QLayout;
class QLineEdit;
class QListWidget;
class QWidget;

namespace vorn::ui {

// The GBK text for a line of the list, "(空)" when it is empty.
QString shownOrBlank(const std::string& gbkText);

// Focuses the edit with its text selected, ready to be typed over.
void focusSelected(QLineEdit* edit);

// The staged line the user selected: its index among the `lines` staged
// (list row 1 is line 0, the header row is none), or -1 when no line is
// selected.
int selectedStagedLine(const QListWidget* list, size_t lines);

// Removes staged line `index` from the list. The list would select the next
// line by itself; a second "->" must not take back a line nobody chose, so
// nothing stays selected.
void removeStagedLine(QListWidget* list, int index);

// The entry side's form: a label right-aligned before each field, one row
// each, in the order added.
class FieldForm {
public:
    explicit FieldForm(QGridLayout* grid) : grid_(grid) {}
    // labelAlignment: the label's vertical place (AlignTop beside a tall field).
    void add(const QString& label, QWidget* field, Qt::Alignment labelAlignment = Qt::AlignVCenter);
    // One row per label and field, in order; beside a multi-line field the
    // label stands at the top.
    void addRows(const QStringList& labels, const QList<QWidget*>& fields);
    int rows() const { return row_; }

private:
    QGridLayout* grid_;
    int row_ = 0;
};

// The list under its caption on the left, the entry side on the right, "<-",
// "->", "保存" and "取消" (layOutStaging), the first three running the actions.
struct StagedLines {
    QString caption;    // above the list, "录入商品列表:"
    QListWidget* list = nullptr;
    QLayout* entry = nullptr;
    const char* toListName = "add";
    std::function<void()> toList, fromList, save;
};
StagingButtons layOutStagedLines(QDialog* dialog, const StagedLines& sides);

// Tab walks the widgets in this order.
void chainTabOrder(const QList<QWidget*>& order);

} // namespace vorn::ui

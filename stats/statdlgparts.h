// Pieces the two statistics condition dialogs share: their lists with a value
// behind each entry, the buttons, and the ordered give-back.
#pragma once

#include <QString>

class QListWidget;
class QPushButton;
class QWidget;

namespace vorn::ui {

// A list box whose entries carry a value (Qt::UserRole) besides their text.
QListWidget* makeValueList(const char* objectName);
QWidget* captioned(const QString& caption, QWidget* body);
QPushButton* makeDialogButton(const QString& text, const char* objectName, int id);

// The row of the selected entry, or -1 when none is selected.
int selectedRow(const QListWidget* list);
void appendEntry(QListWidget* list, const QString& text, int value);
// Inserts before the first entry with a larger value (at the end if none) and
// selects the new entry; the list thus keeps ascending order.
void insertAscending(QListWidget* list, const QString& text, int value);
// Moves the selected entry of `from` to the end of `to`, selecting it there.
void moveCurrentToEnd(QListWidget* from, QListWidget* to);
// Moves the selected entry of `from` into `to` in ascending value order.
void moveCurrentAscending(QListWidget* from, QListWidget* to);

} // namespace vorn::ui

// The dialogs that gather entries into a list before one save (the goods entry,
// the member addition, the type and supplier lists) share one layout: the list
// on the left, "<-" and "->" between it and the entry side, the closing
// buttons at the bottom right. Enter is the dialogs' own key, so no button is
// ever the default.
#pragma once

#include <QString>

class QDialog;
class QLayout;
class QPushButton;

namespace vorn::ui {

// A button that Enter never presses.
QPushButton* plainButton(const QString& text, const char* objectName);

struct StagingButtons {
    QPushButton* toList = nullptr;   // "<-"
    QPushButton* fromList = nullptr; // "->"
    QPushButton* save = nullptr;     // "保存"
    QPushButton* cancel = nullptr;   // "取消": already rejects the dialog
};

struct StagingSides {
    QLayout* list = nullptr;  // the list and its caption; takes the spare width
    QLayout* entry = nullptr; // the fields or the name edit
    int entryStretch = 0;     // its share of the spare width beside the list's 1
    const char* toListName = "add";
    const char* fromListName = "back";
    bool cancelFirst = false; // "取消" left of "保存"
};

// Lays the sides out on `dialog` with the four buttons; the dialog connects
// the other three.
StagingButtons layOutStaging(QDialog* dialog, const StagingSides& sides);

} // namespace vorn::ui

// The frame of a dialog that gathers lines before one save (goods entry, member
// addition): the main window it writes for, its list of lines, the result of
// its save, and Enter, which never closes it through a default button.
#pragma once

#include <QDialog>

class QKeyEvent;
class QListWidget;

namespace vorn::ui {

class Shell;

class StagingDialog : public QDialog {
public:
    StagingDialog(Shell& shell, QWidget* parent);

    // After the dialog closed: the number of records its save wrote, 0 when
    // there was nothing to save, -1 when it was cancelled or the store failed
    // (tell the two apart by result()). A save the store refuses is reported
    // by the dialog, which stays open with its lines.
    int insertResult() const { return insertResult_; }

protected:
    // Enter or Return, wherever the focus is: what the dialog does on it
    // (nothing by default). A scanner ends each code with Enter; it must never
    // save or close the dialog unasked.
    virtual void enterPressed() {}
    void keyPressEvent(QKeyEvent* event) override;

    Shell& shell_;
    QListWidget* list_ = nullptr; // made by the dialog; row 0 is the header line
    int insertResult_ = -1;
};

} // namespace vorn::ui

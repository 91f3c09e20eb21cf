// The member editing panel "会员编辑": a modeless window beside the member list
// that edits one member or many members at once.
#pragma once

#include <QDate>
#include <vector>

#include "memberfields.h"
#include "kit/page/editpanel.h"
#include "vorn/records.h"

class QLineEdit;
class QPushButton;

namespace vorn::ui {

class Shell;

class CVIPInputDlg : public EditPanel {
    Q_OBJECT
public:
    // owner is the main window; the panel stays hidden until openFor().
    CVIPInputDlg(Shell& shell, QWidget* owner);

    // Shows the panel for the loaded member rows at these indices (those out of
    // range are skipped; nothing happens when none is left).
    void openFor(const std::vector<int>& rows);
    int memberCount() const { return static_cast<int>(members_.size()); }

public slots:
    // "确认保存" (or Enter): writes the fields the user changed into every
    // member; a field left as shown keeps each member's own value (with one
    // member that is simply the shown value). Points above kMaxMemberPoints are
    // refused, and the panel stays open on them.
    void save() override;

signals:
    // After a save: the store's result (members written, 0, or -1).
    void editFinished(int result);

private:
    // What the controls showed when the panel opened: a field whose control
    // still shows it was not changed by the user.
    struct Shown {
        int type = -1;
        QString name, email, phone, addr, remark, points;
        QDate birthday; // null: none
    };

    void buildUi();
    void showTemplate();
    // Reads the controls into the working record and notes which fields the
    // user changed; null, or the field to mend (after telling why).
    QWidget* readTemplate();
    unsigned changedFields() const;

    Shell& shell_;
    MemberFields fields_;
    std::vector<int> rows_;              // where each member was in the loaded rows
    std::vector<vorn::VIPRec> members_;  // the members as they were when opened
    vorn::VIPRec template_;
    Shown shown_;
    unsigned changed_ = 0;               // MemberEditField bits of the last save

    QLineEdit* points_ = nullptr;
    QLineEdit* created_ = nullptr;
    QPushButton* saveButton_ = nullptr;
};

} // namespace vorn::ui

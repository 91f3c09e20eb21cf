// The member editing panel "会员编辑": a modeless window beside the member list
// that edits one member or many members at once.
#pragma once

#include <QDate>
#include <vector>

#include "memberfields.h"
#include "kit/page/recordpanel.h"
#include "vorn/records.h"

class QLineEdit;

namespace vorn::ui {

// Opened for the loaded member rows (RecordEditPanel::openFor).
class CVIPInputDlg : public RecordEditPanel<vorn::VIPRec> {
public:
    // owner is the main window; the panel stays hidden until openFor().
    CVIPInputDlg(Shell& shell, QWidget* owner);

    // "确认保存" (or Enter): writes the fields the user changed into every
    // member; a field left as shown keeps each member's own value (with one
    // member that is simply the shown value). Points above kMaxMemberPoints are
    // refused, and the panel stays open on them.
    void save() override;

private:
    // What the controls showed when the panel opened: a field whose control
    // still shows it was not changed by the user.
    struct Shown {
        int type = -1;
        QString name, email, phone, addr, remark, points;
        QDate birthday; // null: none
    };

    void opened() override;
    void buildUi();
    void showTemplate();
    // Reads the controls into the working record and notes which fields the
    // user changed; null, or the field to mend (after telling why).
    QWidget* readTemplate();
    unsigned changedFields() const;

    MemberFields fields_;
    Shown shown_;
    unsigned changed_ = 0;               // MemberEditField bits of the last save

    QLineEdit* points_ = nullptr;
    QLineEdit* created_ = nullptr;
};

} // namespace vorn::ui

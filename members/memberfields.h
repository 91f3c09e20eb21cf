// The fields of a member that both the entry dialog and the editing panel offer:
// code, type, name, birthday, e-mail, phone, address and remark. Each dialog lays
// the widgets out its own way (and treats the birthday its own way); making,
// showing and reading the texts is shared.
#pragma once

#include <functional>

#include "birthdaypicker.h"
#include "kit/text/gbklimit.h"
#include "vorn/records.h"

namespace vorn::ui {

struct MemberFields {
    QLineEdit* code = nullptr;
    QComboBox* type = nullptr;
    QLineEdit* name = nullptr;
    BirthdayPicker* birthday = nullptr;
    QLineEdit* email = nullptr;
    QLineEdit* phone = nullptr;
    QPlainTextEdit* addr = nullptr;
    QPlainTextEdit* remark = nullptr;

    // Makes the widgets with their object names ("code", "type", "name",
    // "birthday" (the picker's date edit), "email", "phone", "addr", "remark")
    // and GBK byte limits; a
    // field that drops characters GBK cannot hold says so through notice.
    void build(const GbkNotice& notice);
    // Enter in the two multi-line edits runs action (or nothing, when empty)
    // instead of starting a new line, as everywhere else in the dialog.
    void catchEnter(std::function<void()> action);

    // Shows code, type, name, e-mail, phone, address and remark. A type code
    // outside the list selects no item.
    void show(const vorn::VIPRec& member) const;
    // Reads name, e-mail, phone, address, remark and, when an item is selected,
    // the type (the code only when withCode); returns null. When a text holds a
    // character that GBK cannot represent, the member is left as it was and the
    // field to mend is returned.
    QWidget* read(vorn::VIPRec& member, bool withCode) const;
};

} // namespace vorn::ui

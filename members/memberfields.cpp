#include "memberfields.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "membercells.h"
#include "memberlimits.h"
#include "kit/dialog/enterkey.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"

namespace vorn::ui {

void MemberFields::build(const GbkNotice& notice) {
    code = limitedLineEdit("code", width::room(width::kVipCode), notice);
    type = new QComboBox;
    type->setObjectName(QStringLiteral("type"));
    type->addItems(choiceNames(vipTypes()));
    type->setCurrentIndex(0);
    name = limitedLineEdit("name", width::room(width::kVipName), notice);
    birthday = new BirthdayPicker;
    email = limitedLineEdit("email", width::room(width::kVipEMail), notice);
    phone = limitedLineEdit("phone", width::room(width::kVipPhone), notice);
    addr = limitedNoteEdit("addr", width::room(width::kVipAddr), notice);
    remark = limitedNoteEdit("remark", width::room(width::kVipRemark), notice);
}

void MemberFields::catchEnter(std::function<void()> action) {
    for (QPlainTextEdit* e : {addr, remark})
        interceptEnter(e, action);
}

void MemberFields::show(const vorn::VIPRec& m) const {
    code->setText(fromGbk(m.FVs_Code));
    type->setCurrentIndex(m.FVi_Type == 0 || m.FVi_Type == 1 ? m.FVi_Type : -1);
    name->setText(fromGbk(m.FVs_Name));
    email->setText(fromGbk(m.FVs_EMail));
    phone->setText(fromGbk(m.FVs_Phone));
    addr->setPlainText(fromGbk(m.FVs_Addr));
    remark->setPlainText(fromGbk(m.FVs_Remark));
}

QWidget* MemberFields::read(vorn::VIPRec& m, bool withCode) const {
    std::string c, n, e, p, a, r;
    const std::pair<QWidget*, bool> texts[] = {
        {code, !withCode || toGbk(code->text(), c)},  {name, toGbk(name->text(), n)},
        {email, toGbk(email->text(), e)},            {phone, toGbk(phone->text(), p)},
        {addr, toGbk(addr->toPlainText(), a)},       {remark, toGbk(remark->toPlainText(), r)},
    };
    for (const auto& [field, ok] : texts)
        if (!ok) return field;
    if (withCode) m.FVs_Code = std::move(c);
    // No item selected: a member of an unknown type keeps it until someone picks one.
    if (type->currentIndex() >= 0) m.FVi_Type = type->currentIndex();
    m.FVs_Name = std::move(n);
    m.FVs_EMail = std::move(e);
    m.FVs_Phone = std::move(p);
    m.FVs_Addr = std::move(a);
    m.FVs_Remark = std::move(r);
    return nullptr;
}

} // namespace vorn::ui

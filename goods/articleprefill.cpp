#include "articleprefill.h"

#include <QComboBox>
#include <QLineEdit>

#include "goodscells.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "vorn/articles.h"

namespace vorn::ui {

CodePrefill::CodePrefill(const GoodsFields& fields, Shell& shell, QObject* parent)
    : QObject(parent), fields_(fields), shell_(shell) {
    setObjectName(QStringLiteral("codePrefill"));
    connect(fields_.code, &QLineEdit::textEdited, this, [this] { typed_ = true; });
    // A scanner ends the code with Enter, a keyboard user with Tab: both finish the edit.
    connect(fields_.code, &QLineEdit::editingFinished, this, [this] {
        if (!typed_) return;
        typed_ = false;
        fillFor(fields_.code->text());
    });
}

bool CodePrefill::fillFor(const QString& code) {
    typed_ = false;
    if (fields_.code->text() != code) fields_.code->setText(code);
    std::string bytes;
    if (code.isEmpty() || !toGbk(code, bytes)) return false;
    AppState& st = shell_.state();
    vorn::SRec u;
    if (vorn::Articles(st.core).latest_unit(bytes, u) != 1) return false;
    fields_.name->setText(fromGbk(u.FSs_Name));
    const int t = typeIndexById(st.types, u.FSi_Type);
    fields_.type->setCurrentIndex(t >= 0 ? t : 0);
    fields_.size->setText(fromGbk(u.FSs_Size));
    fields_.oriP->setText(moneyText(u.FSd_OriP));
    // Retail first: in the entry dialog its change copies into the four after it.
    fields_.retP->setText(moneyText(u.FSd_RetP));
    fields_.memP->setText(moneyText(u.FSd_MemP));
    fields_.golP->setText(moneyText(u.FSd_GolP));
    fields_.whoP->setText(moneyText(u.FSd_WhoP));
    fields_.speP->setText(moneyText(u.FSd_SpeP));
    const int s = supplierIndexById(st.suppliers, u.FSi_Supplier);
    fields_.supplier->setCurrentIndex(s >= 0 ? s : 0);
    return true;
}

} // namespace vorn::ui

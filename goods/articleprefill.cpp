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
    fields_.showDescription(u, st);
    return true;
}

} // namespace vorn::ui

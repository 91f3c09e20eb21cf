// Receiving by code: in goods entry, a code the store already holds fills the
// name, type, size, supplier and prices from its latest unit (vorn/articles.h),
// all still editable, so a restock is the code and the quantity. Attached to a
// dialog's fields; it fills when the user has typed or scanned a code and
// leaves the field, never over what was put there by the program (a line
// taken back into the fields).
#pragma once

#include <QObject>

#include "goodsfields.h"

namespace vorn::ui {

class Shell;

class CodePrefill : public QObject {
    Q_OBJECT
public:
    CodePrefill(const GoodsFields& fields, Shell& shell, QObject* parent);

    // Puts the code into its field and fills the others from the code's latest
    // unit; true when the store held the code (else only the code changed).
    bool fillFor(const QString& code);

private:
    GoodsFields fields_;
    Shell& shell_;
    bool typed_ = false; // the code was typed since the last fill
};

} // namespace vorn::ui

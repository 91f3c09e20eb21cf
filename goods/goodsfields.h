// The fields of a goods unit that both the entry dialog and the editing panel
// offer: code, name, type, size, the six prices, supplier and remark. Each
// dialog lays the widgets out its own way; showing and reading them is shared.
#pragma once

#include <QString>

#include "kit/text/gbklimit.h"
#include "vorn/records.h"

class QWidget;

namespace vorn::ui {

struct AppState;

struct GoodsFields {
    QLineEdit* code = nullptr;
    QLineEdit* name = nullptr;
    QComboBox* type = nullptr;
    QLineEdit* size = nullptr;
    QLineEdit* oriP = nullptr;
    QLineEdit* retP = nullptr;
    QLineEdit* memP = nullptr;
    QLineEdit* golP = nullptr;
    QLineEdit* whoP = nullptr;
    QLineEdit* speP = nullptr;
    QComboBox* supplier = nullptr;
    QPlainTextEdit* remark = nullptr;

    // Fills the widgets from the unit; a type or supplier without an entry shows the first.
    void show(const vorn::SRec& unit, const AppState& state) const;
    // What stopped a read: the sentence for the user and the field to fix.
    struct Refusal {
        QString message;
        QWidget* field = nullptr;
    };
    // Writes the fields into the unit (other fields untouched) and returns an
    // empty refusal; a type or supplier name without an entry gives id 1. When a
    // price is out of range or a text holds a character GBK cannot represent,
    // the unit is left as it was and the refusal says why.
    Refusal read(vorn::SRec& unit, const AppState& state) const;
};

// The editable drop-down of type or supplier names: free text limited in GBK
// bytes (dropped characters told through notice), taken exactly as typed.
QComboBox* makeNameCombo(const char* objectName, int maxBytes, const GbkNotice& notice);

} // namespace vorn::ui

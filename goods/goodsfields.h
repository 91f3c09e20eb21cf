// The fields of a goods unit that both the entry dialog and the editing panel
// offer: code, name, type, size, the six prices, supplier and remark. Each
// dialog lays the widgets out its own way; their labels and order, showing
// and reading them are shared.
#pragma once

#include <QString>
#include <array>
#include <vector>

#include "kit/page/editpanel.h"
#include "kit/text/gbklimit.h"
#include "vorn/records.h"

class QWidget;

namespace vorn::ui {

struct AppState;

// The six prices of a unit, in the order every goods form shows them.
enum GoodsPrice { OriPrice, RetPrice, MemPrice, GolPrice, WhoPrice, SpePrice, PriceCount };
struct PriceField {
    const char* objectName; // of its edit
    const char* caption;    // UTF-8, as the refusals word it; the forms add a colon
    double vorn::SRec::*value;
};
const std::array<PriceField, PriceCount>& priceFields();

struct GoodsFields {
    QLineEdit* code = nullptr;
    QLineEdit* name = nullptr;
    QComboBox* type = nullptr;
    QLineEdit* size = nullptr;
    std::array<QLineEdit*, PriceCount> prices{}; // in priceFields() order
    QComboBox* supplier = nullptr;
    QPlainTextEdit* remark = nullptr;

    // Code to the last price with their labels ("商品编码:"), in the order both
    // forms show them; supplier and remark come after, wider.
    std::vector<PanelField> upperRows() const;

    // Fills the widgets from the unit; a type or supplier without an entry shows the first.
    void show(const vorn::SRec& unit, const AppState& state) const;
    // The same but for code and remark: what a code's latest unit suggests for a new one.
    void showDescription(const vorn::SRec& unit, const AppState& state) const;
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

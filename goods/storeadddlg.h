// The goods entry dialog "商品录入": lines of goods collected one by one, each
// with a quantity, and saved together as one unit row per piece.
#pragma once

#include <vector>

#include "catalogsave.h"
#include "goodsfields.h"
#include "kit/dialog/stagingdialog.h"
#include "vorn/records.h"

class QLineEdit;

namespace vorn::ui {

// insertResult() counts the units written, one per piece.
class CStoreAddDlg : public StagingDialog {
    Q_OBJECT
public:
    explicit CStoreAddDlg(Shell& shell, QWidget* parent = nullptr);

    // Lines collected so far (the header line not counted).
    int lineCount() const { return static_cast<int>(lines_.size()); }

    // Names typed that the catalog lacks and the user chose to create; they
    // are written with the units, in the same transaction.
    const EntryNames& newNames() const { return newNames_; }

public slots:
    void addLine();      // "<-"
    void takeLineBack(); // "->"
    void save();         // "保存"
    // Enter: in the code field it goes on to the quantity (a scanner ends the
    // code with Enter); elsewhere it adds what the fields hold as a line, unless
    // that line was just added, and saves. So a restock is the code, the
    // quantity and Enter.
    void enterPressed() override;

private:
    struct Line {
        vorn::SRec unit; // every unit of the line is this record
        int quantity = 0;
    };

    void buildUi();
    void fillCombos();
    void focusField(QWidget* field);
    // The record the fields describe, or why it cannot be stored.
    GoodsFields::Refusal readFields(vorn::SRec& out) const;
    QString lineText(const vorn::SRec& unit, int quantity) const;
    // The id for the type (or supplier) name in its field: an entry's, a name
    // created in this dialog's temporary one, or after asking, a new one. False
    // when the user would rather pick an existing entry (the field then offers
    // them).
    bool resolveName(CatalogKind kind, int& id);

    EntryNames newNames_;
    bool fieldsChanged_ = true; // since the last line was added
    GoodsFields fields_;
    std::vector<Line> lines_; // list row r (r >= 1) is lines_[r - 1]

    QLineEdit* quantity_ = nullptr;
};

} // namespace vorn::ui

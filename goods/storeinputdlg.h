// The goods editing panel "商品编辑": a modeless window beside the goods list
// that edits one unit or many units at once.
#pragma once

#include <vector>

#include "goodsfields.h"
#include "kit/page/recordpanel.h"
#include "vorn/records.h"

class QComboBox;
class QLineEdit;

namespace vorn::ui {

// Opened for the loaded goods rows (RecordEditPanel::openFor); a save reports
// whether the footer totals may have changed.
class CStoreInputDlg : public RecordEditPanel<vorn::SRec> {
public:
    // owner is the main window; the panel stays hidden until openFor().
    CStoreInputDlg(Shell& shell, QWidget* owner);

    // "确认保存" (or Enter): writes the typed values into every unit.
    void save() override;

private:
    void opened() override;
    void buildUi();
    void fillCombos();
    void showTemplate();

    GoodsFields fields_;
    double openedOriP_ = 0.0;
    double openedRetP_ = 0.0;

    QLineEdit* stoT_ = nullptr;
    QLineEdit* reaP_ = nullptr;
    QLineEdit* salT_ = nullptr;
    QComboBox* state_ = nullptr;
};

} // namespace vorn::ui

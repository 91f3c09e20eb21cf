// The goods editing panel "商品编辑": a modeless window beside the goods list
// that edits one unit or many units at once.
#pragma once

#include <vector>

#include "goodsfields.h"
#include "kit/page/editpanel.h"
#include "vorn/records.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorn::ui {

class Shell;

class CStoreInputDlg : public EditPanel {
    Q_OBJECT
public:
    // owner is the main window; the panel stays hidden until openFor().
    CStoreInputDlg(Shell& shell, QWidget* owner);

    // Shows the panel for the loaded goods rows at these indices (all in range).
    void openFor(const std::vector<int>& rows);
    int unitCount() const { return static_cast<int>(units_.size()); }

public slots:
    // "确认保存" (or Enter): writes the typed values into every unit.
    void save() override;

signals:
    // After a save: whether the footer totals may have changed, and the store's
    // result (units written, 0, or -1).
    void editFinished(bool totalsChanged, int result);

private:
    void buildUi();
    void fillCombos();
    void showTemplate();

    Shell& shell_;
    GoodsFields fields_;
    std::vector<int> rows_;         // where each unit was in the loaded rows
    std::vector<vorn::SRec> units_; // the units as they were when opened
    vorn::SRec template_;
    double openedOriP_ = 0.0;
    double openedRetP_ = 0.0;

    QLineEdit* stoT_ = nullptr;
    QLineEdit* reaP_ = nullptr;
    QLineEdit* salT_ = nullptr;
    QComboBox* state_ = nullptr;
    QPushButton* saveButton_ = nullptr;
};

} // namespace vorn::ui

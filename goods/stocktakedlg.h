// "盘点": counting the shelves against the book. The window continues the open
// stock-take, or starts one for all goods or the ticked types. Each scan in the
// code edit counts one piece ("12*code" twelve); a count can also be typed into
// the sheet. "保存" keeps the counts for later; "确认盘点" writes the
// differences (units missing written off, extra units entered at the code's
// latest prices) after saying what will be written; codes nobody counted stay
// as they are unless "未盘点的商品按0计" is ticked.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "vorn/stocktake.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;

namespace vorn::ui {

class FooterStrip;
class Shell;
class StockTakeModel;

class CStockTakeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStockTakeDlg(Shell& shell, QWidget* parent = nullptr);

    const vorn::StockTakeRec& take() const { return take_; }
    bool started() const { return take_.id != 0; }
    // Counts typed or scanned since the last save (a negative one clears the code's).
    const vorn::StockCounts& unsaved() const { return unsaved_; }
    StockTakeModel* model() const { return model_; }
    QLineEdit* scanEdit() const { return scan_; }
    QTableView* table() const { return table_; }
    FooterStrip* footer() const { return footer_; }
    QLabel* summary() const { return summary_; }
    QListWidget* typeList() const { return typeList_; }
    QRadioButton* someTypes() const { return someTypes_; }
    QCheckBox* zeroUncounted() const { return zero_; }

public slots:
    void startTake();   // "开始盘点"
    void scan();        // Enter in the code edit
    bool save();        // "保存"
    void confirmTake(); // "确认盘点"
    void abandonTake(); // "作废盘点"
    void exportSheet(); // "导出"
    // "打印": the sheet as a PDF at path (asked for when empty).
    void printSheet(QString path = QString());
    void reject() override; // "关闭", Esc: offers to save what is unsaved

private:
    void buildScope(QWidget* box);
    void showTake();
    bool loadSheet();
    void count(int row, std::optional<int> counted, bool add);
    void updateSums();
    QString scopeText() const;

    Shell& shell_;
    vorn::StockTakeRec take_;
    vorn::StockCounts unsaved_;
    StockTakeModel* model_ = nullptr;
    QRadioButton* allGoods_ = nullptr;
    QRadioButton* someTypes_ = nullptr;
    QListWidget* typeList_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QLabel* takeLabel_ = nullptr;
    QLineEdit* scan_ = nullptr;
    QSpinBox* quantity_ = nullptr;
    QTableView* table_ = nullptr;
    FooterStrip* footer_ = nullptr;
    QLabel* summary_ = nullptr;
    QCheckBox* zero_ = nullptr;
    std::vector<QPushButton*> takeButtons_; // usable once a stock-take is open
};

// Opens the window for the goods page's "盘点".
void runStockTake(Shell& shell);

} // namespace vorn::ui

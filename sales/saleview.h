// The sales counter page (销售前台): the shop's name, the totals panel, the
// shopping list with its footers and the input panel. Goods are added by code
// and quantity, removed, discounted by member or by row, and checked out: the
// listed units are marked sold in one batch, the member's points credited and
// the receipt offered.
//
// While the page exists the main window watches for a change of date (timer 3),
// and opening or closing it reruns the stock alarm and birthday checks, whose
// buttons blink only while this page is the active view. Leaving the page drops
// an unfinished sale: nothing of it was written.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "kit/dialog/dialogrunner.h"
#include "kit/page/page.h"
#include "salelist.h"

class QTableView;

namespace vorn::ui {

class CSaleInputDlg;
class CSaleOutputDlg;
class CVornLabel;
class SaleFooter;
class SaleModel;
struct ReceiptData;
struct SaleCounterState;

class CSaleView : public CPage {
    Q_OBJECT
public:
    explicit CSaleView(Shell& shell, QWidget* parent = nullptr);
    ~CSaleView() override;

    void initialUpdate() override;
    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;

    // The operations of the input panel's keys and buttons.
    void addToList();
    void removeSelected();
    void checkout();
    // Commands 121 and 174.
    void memberDiscount();
    void goodsDiscount();
    // F7: the last sale's receipt again (as "打印小票").
    void printLast();
    // F9 "今日销售": the cashier's own sales of the day, one of them printed again.
    void daySales();
    // F8 "退货": goods brought back, refunded and restocked or written off.
    void returnGoods();

    // Positions of the selected list rows, ascending.
    std::vector<int> selectedRows() const;
    const SaleList& list() const { return list_; }

    CVornLabel* shopLabel() const { return shopLabel_; }
    CVornLabel* memberLabel() const { return memberLabel_; }
    CSaleOutputDlg* outputPanel() const { return output_; }
    CSaleInputDlg* inputPanel() const { return input_; }
    QTableView* table() const { return table_; }
    SaleModel* model() const { return model_; }
    SaleFooter* footer() const { return footer_; }

    // How the page's modal dialogs are run (tests answer them without a loop).
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

    // Heights the page gives its top label; the others are the panels' own.
    static constexpr int kLabelHeight = 60;
    static constexpr int kGap = 4;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildList();
    void layoutChildren();
    void fitColumns();
    // Footers and totals from the rows; the totals panel shows (due, 0, 0).
    void recountAndShow();
    void showFooters();
    void showMember();
    void registerPrintCommand();
    SaleCounterState& counter() const;
    ReceiptData& receipt() const;

    SaleList list_;
    CVornLabel* shopLabel_ = nullptr;
    CVornLabel* memberLabel_ = nullptr;
    CSaleOutputDlg* output_ = nullptr;
    QWidget* listBox_ = nullptr;
    QTableView* table_ = nullptr;
    SaleModel* model_ = nullptr;
    SaleFooter* footer_ = nullptr;
    CSaleInputDlg* input_ = nullptr;
    DialogRunner runDialog_;
};

} // namespace vorn::ui

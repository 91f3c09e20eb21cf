// The sales counter page (销售前台): the shop's name, the totals panel, the
// shopping list with its footers and the input panel. Goods are added by code
// and quantity, removed, discounted by member or by row, and checked out: the
// listed units are marked sold in one batch, the member's points credited and
// the receipt offered.
//
// While the page exists the main window watches for a change of date (timer 3),
// and opening or closing it reruns the stock alarm and birthday checks, whose
// buttons blink only while this page is the active view. Leaving the page with
// goods in the list asks first: park the sale (挂单), drop it, or stay.
//
// A cashier works it from the code edit alone: Up/Down choose a row, Ctrl+Up/
// Ctrl+Down change its quantity, Ctrl+Delete removes it; F2 member, F3 discount,
// F4 挂单, F5 取单, F6 quantity, F7 last receipt, F8 退货, F9 今日销售, F12 or
// Ctrl+Enter checkout.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "kit/dialog/dialogrunner.h"
#include "kit/page/page.h"
#include "salelist.h"
#include "vorn/shifts.h"

class QKeyEvent;
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
    // With goods in the list: park, drop or stay (CLeaveSaleDlg).
    bool mayLeave(Leaving why) override;

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
    // F4 "挂单": the list, its member and prices kept in the store; the counter
    // is empty for the next customer. True when parked.
    bool holdSale();
    // F5 "取单": a parked sale back into the (empty) list, its units checked again.
    void recallSale();
    // Up/Down in the code edit: the selected row moves by delta (none selected:
    // the last row).
    void moveSelection(int delta);
    // Ctrl+Up/Ctrl+Down: the selected row's quantity by delta, taking the next
    // unit in stock or giving back its last one.
    void stepSelected(int delta);
    // The counter's habits as last read from the shop's settings.
    const vorn::ShopRules& rules() const { return rules_; }

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
    // The counter's keys from the code edit and the list; true when taken.
    bool counterKey(QObject* watched, const QKeyEvent& key);
    void readRules();
    // Empties the list and forgets the member (a dropped or parked sale).
    void clearSale();
    // merge_rows: the rows appended by the last add joined to the row before
    // them when it is of the same code and price.
    bool mergeAppended(int rowsBefore);
    // sell_short: the units the book lacks entered at the counter; false when
    // the code has no unit to copy.
    bool addShort(const std::string& code, int quantity, int inStock);
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
    vorn::ShopRules rules_;
};

} // namespace vorn::ui

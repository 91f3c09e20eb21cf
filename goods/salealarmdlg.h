// The stock alarm's dialog (库存报警): the codes whose stock is below their limit
// (sold-out codes too), with their supplier, and the shop's limit. Below the
// list a chosen code gets a limit of its own or goes back to the shop's, and
// the list goes out as a purchase list by supplier (补货单). Opened by the
// alarm button of the sales counter; kit's reminder dialog with the stock
// alarm's columns, rows, limit and controls.
#pragma once

#include <QString>
#include <vector>

#include "kit/remind/reminderdlg.h"
#include "kit/sheet/sheetwriter.h"
#include "vorn/alarmlimits.h"

class QLineEdit;

namespace vorn::ui {

// Code, name, supplier, count in stock and the limit it is below; any integer
// is a limit, the shop's stored as shop setting 7, a code's own in the store.
ReminderView stockAlarmView();

// The purchase list (补货单) of the low codes: per supplier a line naming it,
// its codes with what to order to reach the limit (at least one), and a line
// with the supplier's sum. The rows as the file holds them, under
// purchaseListHeadings().
QStringList purchaseListHeadings();
std::vector<std::vector<SheetCell>> purchaseListRows(const std::vector<vorn::AlarmLine>& low);

class CSaleAlarmDlg : public CReminderDlg {
public:
    // count: the alarm count of the last check; the list is loaded only when it
    // is above 0. limit: the shop's limit in force, shown in the edit.
    CSaleAlarmDlg(Shell& shell, int count, int limit, QWidget* parent = nullptr)
        : CReminderDlg(shell, stockAlarmView(), count, limit, parent) {}

    // The chosen code's own limit, its edit and buttons (object names
    // "ownLimit", "setOwnLimit", "clearOwnLimit", "exportPurchase").
    QLineEdit* ownLimitEdit() const;
    // "设定": the chosen code gets the typed limit of its own.
    void setOwnLimit();
    // "恢复统一下限": the chosen code goes back to the shop's limit.
    void clearOwnLimit();
    // "导出补货单".
    void exportPurchaseList();
};

} // namespace vorn::ui

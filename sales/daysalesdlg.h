// "今日销售" (F9 at the counter): the sales the logged-in cashier made today,
// newest first and selected, so that Enter prints the receipt of the one the
// customer is asking about again. Only the cashier's own: a salesperson sees
// no one else's takings.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "vorn/journal.h"

class QTableWidget;

namespace vorn::ui {

class Shell;

class CDaySalesDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the sales at once (the page reports a failed read or an empty day
    // without showing the dialog).
    CDaySalesDlg(Shell& shell, QWidget* parent = nullptr);

    bool loadFailed() const { return failed_; }
    // The sales listed, in the order shown (newest first).
    const std::vector<vorn::SaleRecord>& sales() const { return sales_; }
    std::vector<int64_t> saleIds() const;
    // The sale chosen by "重打小票" or Enter; 0 before.
    int64_t selectedSaleId() const { return chosen_; }
    QTableWidget* table() const { return table_; }

    // The day's span for a clock time t: [local midnight, next midnight).
    static std::pair<int64_t, int64_t> daySpan(int64_t t);
    // "微信、现金": the names of the methods set in the mask, in key order
    // (unknown last).
    static QString methodsText(unsigned methods);

public slots:
    void onPrint(); // the selected sale: close and print it again
    void onCancel();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<vorn::SaleRecord> sales_;
    bool failed_ = false;
    int64_t chosen_ = 0;
    QTableWidget* table_;
};

} // namespace vorn::ui

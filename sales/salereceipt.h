// A receipt from the journal: what a sale on record prints, built from the
// sale as stored (lines, payments, number) and the shop's receipt texts of
// today. Used to print a past sale again, from the counter and from the
// journal page.
#pragma once

#include <cstdint>
#include <vector>

#include "receiptdata.h"
#include "receiptprint.h"
#include "vorn/journal.h"

namespace vorn {
class Core;
}

namespace vorn::ui {

class Shell;

// The shop's four receipt texts (name, telephone, address, the extra text) as
// the counter reads them when its page opens; no sale in it.
ReceiptData shopReceiptTexts(vorn::Core& core);

// The payment lines of a sale as the journal keeps its payments: one per
// method, in the order each was first taken, parts of nothing left out.
std::vector<ReceiptPayment> receiptPayments(const std::vector<vorn::Payment>& payments);

// The receipt of a sale on record: its lines (goods name, quantity, unit price,
// amount), cashier, member, number, payment lines and change, with the shop
// texts of shopTexts. reprint marks it "重印". The sale's discount, which the
// journal keeps for the whole sale and not per line, is carried by the first
// line, so the printed discount sum is the sale's.
ReceiptData receiptOfSale(const vorn::SaleDetail& sale, const ReceiptData& shopTexts, bool reprint);

// The time to name a PDF receipt of the sale after: the sale's own time.
inline int64_t receiptTimeOfSale(const vorn::SaleDetail& sale) {
    return sale.sale.time;
}

struct ReprintOutcome {
    bool found = false;   // the sale was read from the journal
    PrintOutcome printed; // where the receipt went, when found
};

// Reads sale `saleId` from the journal and prints its receipt again, marked
// "重印" (printReceipt says in the status bar where it went). Nothing is
// printed when the sale cannot be read; the caller words that.
ReprintOutcome reprintSale(Shell& shell, int64_t saleId);

} // namespace vorn::ui

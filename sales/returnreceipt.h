// The receipt of a return, "退货单": the units given back with what each was
// refunded, the return's own number, the sale it came from and the refund by
// method. Amounts are printed as positive figures: the title says they go back.
#pragma once

#include <string>

#include "receiptdata.h"
#include "vorn/journal.h"

namespace vorn::ui {

// "退货单 原单号:20261207-0001", or "退货单 无原单" for a return without a receipt.
QString returnReceiptTitle(const QString& originalNumber);

// The receipt of a return on record (open_sale of the return) with the shop
// texts of shopTexts. originalNumber: the sale's number, empty without a receipt.
ReceiptData receiptOfReturn(const vorn::SaleDetail& ret, const QString& originalNumber,
                            const ReceiptData& shopTexts);

} // namespace vorn::ui

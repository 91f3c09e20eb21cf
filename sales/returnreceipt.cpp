#include "returnreceipt.h"

#include "kit/text/gbk.h"
#include "pricing.h"
#include "salereceipt.h"

namespace vorn::ui {

QString returnReceiptTitle(const QString& originalNumber) {
    return originalNumber.isEmpty() ? QStringLiteral("退货单 无原单")
                                    : QStringLiteral("退货单 原单号:") + originalNumber;
}

ReceiptData receiptOfReturn(const vorn::SaleDetail& ret, const QString& originalNumber,
                            const ReceiptData& shopTexts) {
    // The journal keeps a return with negative amounts so that its sums come
    // out net; the customer's paper shows what came back and what was paid out.
    vorn::SaleDetail shown = ret;
    for (vorn::SaleLine& l : shown.lines) {
        l.quantity = std::abs(l.quantity);
        l.price = -l.price;
        l.amount = -l.amount;
    }
    shown.sale.discount = -shown.sale.discount;
    shown.sale.paid = -shown.sale.paid;
    shown.sale.change = 0;
    for (vorn::Payment& p : shown.payments)
        p.amount = -p.amount;
    ReceiptData r = receiptOfSale(shown, shopTexts, false);
    // The points line shows what the member lost, as a negative credit.
    if (!r.memberCode.isEmpty()) r.creditedPoints = ret.sale.points < 0 ? ret.sale.points : 0;
    r.title = returnReceiptTitle(originalNumber);
    return r;
}

} // namespace vorn::ui

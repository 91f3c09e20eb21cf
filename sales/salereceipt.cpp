#include "salereceipt.h"

#include <algorithm>

#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "pricing.h"
#include "vorn/core.h"

namespace vorn::ui {

ReceiptData shopReceiptTexts(vorn::Core& core) {
    ReceiptData r;
    r.shopName = fromGbk(core.get_shop_name());
    r.shopPhone = fromGbk(core.get_shop_phone());
    r.shopAddress = fromGbk(core.get_shop_addr());
    r.printAddition = fromGbk(core.get_shop_pa());
    return r;
}

std::vector<ReceiptPayment> receiptPayments(const std::vector<vorn::Payment>& payments) {
    std::vector<int> methods;
    std::vector<int64_t> amounts;
    for (const vorn::Payment& p : payments) {
        if (p.amount == 0) continue;
        const auto at = std::find(methods.begin(), methods.end(), p.method);
        if (at == methods.end()) {
            methods.push_back(p.method);
            amounts.push_back(p.amount);
        } else {
            amounts[static_cast<size_t>(at - methods.begin())] += p.amount;
        }
    }
    std::vector<ReceiptPayment> out;
    for (size_t i = 0; i < methods.size(); ++i)
        out.push_back(ReceiptPayment{fromGbk(vorn::pay_method_name(methods[i])), amounts[i]});
    return out;
}

ReceiptData receiptOfSale(const vorn::SaleDetail& sale, const ReceiptData& shopTexts, bool reprint) {
    ReceiptData r;
    r.shopName = shopTexts.shopName;
    r.shopPhone = shopTexts.shopPhone;
    r.shopAddress = shopTexts.shopAddress;
    r.printAddition = shopTexts.printAddition;

    for (const vorn::SaleLine& l : sale.lines) {
        ReceiptLine line;
        // Units deleted from the store since leave their price but no name.
        line.name = fromGbk(l.name.empty() ? l.code : l.name);
        line.quantity = l.quantity;
        line.price = tenthsValue(l.price);
        line.amount = tenthsValue(l.amount);
        r.lines.push_back(line);
    }
    // The receipt's discount is (sale price - retail price), negative below
    // retail; the journal's is retail less due.
    if (!r.lines.empty()) r.lines.front().discount = tenthsValue(-sale.sale.discount);

    r.cashier = fromGbk(sale.sale.cashier);
    r.memberCode = fromGbk(sale.sale.member);
    r.memberPoints = -1;
    if (!r.memberCode.isEmpty() && sale.sale.points >= 0) r.creditedPoints = sale.sale.points;
    r.paid = tenthsValue(sale.sale.paid);
    r.number = QString::fromStdString(sale.sale.number);
    r.payments = receiptPayments(sale.payments);
    r.changeTenths = sale.sale.change;
    r.reprint = reprint;
    return r;
}

ReprintOutcome reprintSale(Shell& shell, int64_t saleId) {
    ReprintOutcome out;
    vorn::Core& core = shell.state().core;
    vorn::Journal journal(core);
    vorn::SaleDetail sale;
    if (saleId <= 0 || journal.open_sale(saleId, sale) != 1) return out;
    out.found = true;
    out.printed =
        printReceipt(shell, receiptOfSale(sale, shopReceiptTexts(core), true), receiptTimeOfSale(sale));
    return out;
}

} // namespace vorn::ui

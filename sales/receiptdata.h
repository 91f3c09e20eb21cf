// What a receipt shows: filled by the sales counter (shop texts when the page
// opens, the lines, cashier, payment and member at checkout) and read by the
// receipt printer. It lives on the main window's state for the whole run, so
// "打印小票" can print the last sale again until the sales page is opened anew.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace vorn::ui {

struct ReceiptLine {
    QString name;       // goods name (list column 1)
    int quantity = 0;   // list column 4, truncated
    double price = 0.0; // the real unit sale price (column 6)
    double discount = 0.0; // column 7: (sale price - retail price) x quantity
    double amount = 0.0;   // column 8: quantity x sale price
};

// One payment line: the method's name as the journal shows it (现金, 微信, ...)
// and the amount it paid, in tenths of a yuan.
struct ReceiptPayment {
    QString method;
    int64_t amount = 0;
};

struct ReceiptData {
    std::vector<ReceiptLine> lines; // one per shopping-list row, in the order added
    QString shopName;
    QString shopPhone;
    QString shopAddress;
    QString printAddition; // the shop's extra receipt text
    QString cashier;       // the logged-in user's name at checkout
    double paid = 0.0;     // amount paid
    QString memberCode;    // the member's code, empty without a member
    int memberPoints = -1; // the member's points after the sale; -1 without a member
    // The points the sale added to the member's balance, where checkout knows it
    // (less than the total's at the points limit); else the total's are printed.
    std::optional<int> creditedPoints;
    QString number;                        // the sale's number, "20261207-0001"; empty before the journal
    std::vector<ReceiptPayment> payments;  // in the order taken; empty: "paid" alone is printed
    int64_t changeTenths = 0;              // change given (cash only)
    bool reprint = false;                  // printed again from the journal: marked "重印"
    QString title;                         // a line under the shop's name ("退货单 ..."); empty: none

    // Opening the sales page: no lines, no cashier, no member, nothing paid.
    void clearSale() {
        lines.clear();
        cashier.clear();
        paid = 0.0;
        memberCode.clear();
        memberPoints = -1;
        creditedPoints.reset();
        number.clear();
        payments.clear();
        changeTenths = 0;
        reprint = false;
        title.clear();
    }
};

} // namespace vorn::ui

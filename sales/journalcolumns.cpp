#include "journalcolumns.h"

#include <QDateTime>
#include <QStringList>
#include <array>

#include "kit/text/gbk.h"

namespace vorn::ui {

namespace {

constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;

// The sort keys are the names of the store's orders (see kOrders below).
const std::array<RecordColumn, JournalColumnCount> kColumns = {{
    {"单号", 120, kLeft, "Number"},
    {"时间", 140, kLeft, "Time"},
    {"收银员", 80, kLeft, "Cashier"},
    {"会员", 90, kLeft, "Member"},
    {"件数", 50, kRight, "Units"},
    {"应收", 80, kRight, "Due"},
    {"优惠", 70, kRight, "Discount"},
    {"实收", 80, kRight, "Paid"},
    {"付款方式", 240, kLeft, nullptr}, // the page gives it the width left over
    {"备注", 50, kLeft, nullptr},
}};

struct OrderName {
    const char* key;
    vorn::SaleOrder order;
};
const OrderName kOrders[] = {
    {"Number", vorn::SaleOrder::Number},     {"Time", vorn::SaleOrder::Time},
    {"Cashier", vorn::SaleOrder::Cashier},   {"Member", vorn::SaleOrder::Member},
    {"Units", vorn::SaleOrder::Units},       {"Due", vorn::SaleOrder::Due},
    {"Discount", vorn::SaleOrder::Discount}, {"Paid", vorn::SaleOrder::Paid},
};

QString methodName(int method) {
    return fromGbk(vorn::pay_method_name(method));
}

} // namespace

std::span<const RecordColumn> journalColumns() {
    return kColumns;
}

QString methodsText(unsigned methods) {
    QStringList names;
    for (int m = 0; m <= vorn::kPayUnknown; ++m)
        if (methods & (1u << m)) names << methodName(m);
    return names.join(QStringLiteral("、"));
}

QString saleMarkText(const vorn::SaleRecord& sale) {
    if (sale.kind == vorn::kKindReturn) return QStringLiteral("退货");
    if (sale.recovered) return QStringLiteral("补录");
    return {};
}

QString journalCellText(const vorn::SaleRecord& s, int c) {
    switch (c) {
    case JColNumber:
        return QString::fromLatin1(s.number.data(), static_cast<qsizetype>(s.number.size()));
    case JColTime:
        return QDateTime::fromSecsSinceEpoch(s.time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case JColCashier:
        return fromGbk(s.cashier);
    case JColMember:
        return fromGbk(s.member);
    case JColUnits:
        return QString::number(s.units);
    case JColDue:
        return tenthsText(s.due);
    case JColDiscount:
        return tenthsText(s.discount);
    case JColPaid:
        return tenthsText(s.paid);
    case JColMethods:
        return methodsText(s.methods);
    case JColMark:
        return saleMarkText(s);
    default:
        return {};
    }
}

QString journalFooterText(const vorn::SaleSums& sums, int c) {
    switch (c) {
    case JColNumber:
        return QStringLiteral("%1笔").arg(sums.sales);
    case JColUnits:
        return QString::number(sums.units);
    case JColDue:
        return tenthsText(sums.due);
    case JColDiscount:
        return tenthsText(sums.discount);
    case JColPaid:
        return tenthsText(sums.paid);
    case JColMethods: {
        QStringList parts;
        for (int m = 0; m <= vorn::kPayUnknown; ++m)
            if (sums.by_method[m] != 0) parts << methodName(m) + tenthsText(sums.by_method[m]);
        return parts.join(QLatin1Char(' '));
    }
    default:
        return {};
    }
}

std::string journalOrderKey(int section, bool ascending) {
    if (section < 0) return "Time ASC";
    if (section >= JournalColumnCount || kColumns[static_cast<size_t>(section)].sortKey == nullptr) return {};
    return std::string(kColumns[static_cast<size_t>(section)].sortKey) + (ascending ? " ASC" : " DESC");
}

bool journalOrderOf(const std::string& key, vorn::SaleOrder& order, bool& descending) {
    const size_t blank = key.find(' ');
    if (blank == std::string::npos) return false;
    const std::string name = key.substr(0, blank);
    const std::string dir = key.substr(blank + 1);
    if (dir != "ASC" && dir != "DESC") return false;
    for (const OrderName& o : kOrders)
        if (name == o.key) {
            order = o.order;
            descending = dir == "DESC";
            return true;
        }
    return false;
}

} // namespace vorn::ui

// What the sale journal's list shows: its columns, the texts of its cells and
// footers, and the store's order behind each sortable column. No widgets here,
// so the list, its export and the detail dialog word a sale alike.
#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <string>

#include "kit/page/recordmodel.h"
#include "pricing.h" // tenthsText: money in tenths as the counter shows it
#include "vorn/journal.h"

namespace vorn::ui {

enum JournalColumn {
    JColNumber,   // 单号
    JColTime,     // 时间
    JColCashier,  // 收银员
    JColMember,   // 会员
    JColUnits,    // 件数
    JColDue,      // 应收
    JColDiscount, // 优惠
    JColPaid,     // 实收
    JColMethods,  // 付款方式
    JColMark,     // 备注: a return, or a sale recovered from the units alone
    JournalColumnCount
};

std::span<const RecordColumn> journalColumns();

// The methods of a sale's payment bits in method order, joined by "、"
// ("现金、微信"); "未知" for a recovered sale's unknown method, empty for none.
QString methodsText(unsigned methods);
// 退货 for a return, 补录 for a recovered sale, else empty.
QString saleMarkText(const vorn::SaleRecord& sale);
// Text of column c for one sale (empty past the last column).
QString journalCellText(const vorn::SaleRecord& sale, int c);

// The footer under column c for the sums of the list (empty where none is shown):
// the number of sales under 单号, the units and the money columns, and what each
// method took under 付款方式 ("现金12.0 微信3.0").
QString journalFooterText(const vorn::SaleSums& sums, int c);

// The key the list page keeps for a sortable column ("Due DESC"), empty for a
// column the store cannot order by; and the store's order it stands for. A
// negative section (no column chosen yet) is the time, oldest first.
std::string journalOrderKey(int section, bool ascending);
bool journalOrderOf(const std::string& key, vorn::SaleOrder& order, bool& descending);

} // namespace vorn::ui

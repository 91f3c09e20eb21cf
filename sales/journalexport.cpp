#include "journalexport.h"

#include "journalcolumns.h"
#include "kit/sheet/sheetexport.h"
#include "kit/sheet/sheetwriter.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

namespace {

SheetCell money(int64_t tenths) {
    return SheetCell::money(static_cast<double>(tenths) / 10.0);
}

} // namespace

QStringList journalSheetHeadings() {
    return {QStringLiteral("单号"),     QStringLiteral("时间"),     QStringLiteral("收银员"),
            QStringLiteral("会员"),     QStringLiteral("件数"),     QStringLiteral("应收(元)"),
            QStringLiteral("优惠(元)"), QStringLiteral("实收(元)"), QStringLiteral("找零(元)"),
            QStringLiteral("付款方式"), QStringLiteral("备注")};
}

bool writeJournalSheet(const QString& path, std::span<const vorn::SaleRecord> sales,
                       const std::function<void(int)>& progress, QString* error) {
    return writeSheet(
        path, QStringLiteral("销售记录"), journalSheetHeadings(), sales.size(),
        [&](size_t i, std::vector<SheetCell>& cells) {
            const vorn::SaleRecord& s = sales[i];
            cells.push_back(SheetCell::str(journalCellText(s, JColNumber)));
            cells.push_back(SheetCell::str(journalCellText(s, JColTime)));
            cells.push_back(SheetCell::str(journalCellText(s, JColCashier)));
            cells.push_back(SheetCell::str(journalCellText(s, JColMember)));
            cells.push_back(SheetCell::num(s.units));
            cells.push_back(money(s.due));
            cells.push_back(money(s.discount));
            cells.push_back(money(s.paid));
            cells.push_back(money(s.change));
            cells.push_back(SheetCell::str(journalCellText(s, JColMethods)));
            cells.push_back(SheetCell::str(journalCellText(s, JColMark)));
        },
        progress, error);
}

void exportJournal(Shell& shell, std::span<const vorn::SaleRecord> shown) {
    // The job reads the loaded rows in place: nothing changes them while the
    // busy window holds the user's input.
    runSheetExport({shell, caption(cmd::ExportSales), QStringLiteral("销售记录"), shown.size(),
                    [shown](const QString& path, const std::function<void(int)>& percent, QString* error) {
                        return writeJournalSheet(path, shown, percent, error);
                    }});
}

} // namespace vorn::ui

#include "journalview.h"

#include <QDialog>
#include <QLayout>
#include <QTableView>

#include "dayreportdlg.h"
#include "journalcolumns.h"
#include "journaldetaildlg.h"
#include "journalexport.h"
#include "journalsearch.h"
#include "kit/dialog/enterkey.h"
#include "kit/page/footerstrip.h"
#include "kit/page/pagehost.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"
#include "pastshiftsdlg.h"
#include "res/commandids.h"
#include "salereceipt.h"
#include "vorn/transaction.h"

namespace vorn::ui {

namespace {

constexpr int kFooterColumns[] = {JColNumber, JColUnits, JColDue, JColDiscount, JColPaid, JColMethods};

// The journal is read, never edited here: no batch limit applies to a selection.
constexpr int kAnySelection = 1 << 30;

ListCommands journalCommands() {
    ListCommands c;
    c.search = cmd::SearchSales;
    c.clear = cmd::ClearSaleSearch;
    c.exporter = cmd::ExportSales;
    c.texts = {cmd::SaleNumber, cmd::SaleCashier, cmd::SaleMember, cmd::SaleGoods};
    c.combos = {cmd::SaleMethod};
    c.spans = {cmd::SaleSpan};
    return c;
}

ListWords journalWords() {
    ListWords w;
    w.searched = QStringLiteral("在当前设定条件下，\"搜索\"到%1笔销售记录");
    return w;
}

QString readFailure(const QString& operation) {
    return withStoreCause(QStringLiteral("未知异常导致销售记录读取失败，放弃该次\"%1\"操作").arg(operation));
}

} // namespace

CJournalView::CJournalView(Shell& shell, QWidget* parent)
    : RecordListPage(
          shell, journalState(shell).rows,
          [this](vorn::Core& core, const std::string&, const std::string& order,
                 std::vector<vorn::SaleRecord>& out) { return loadSales(core, order, out); },
          journalCommands(), journalWords(), kAnySelection, parent) {
    setObjectName(QStringLiteral("journalView"));
    model_ = new JournalModel(journalState(shell).rows, journalColumns(), journalCellText, this);
    buildList(model_, QStringLiteral("journalList"), JColMethods);
    footer_ = new FooterStrip(table(), this);
    footer_->setObjectName(QStringLiteral("journalFooter"));
    for (int c : kFooterColumns)
        if (c != JColNumber && c != JColMethods) footer_->setAlignment(c, Qt::AlignRight);
    layout()->addWidget(footer_);
    updateFooters();

    // The list opens a sale as other lists open their editing panel.
    connect(table(), &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) openSale(index.row());
    });
    interceptEnter(table(), [this] { openSale(chosenRow()); });
}

vorn::Core& CJournalView::store() {
    return shell().state().core;
}

int CJournalView::loadSales(vorn::Core& core, const std::string& orderKey,
                            std::vector<vorn::SaleRecord>& out) {
    // filter_ changes only with a search on the GUI thread, which waits for
    // this job under the busy window.
    vorn::SaleOrder order = vorn::SaleOrder::Time;
    bool descending = false;
    journalOrderOf(orderKey.empty() ? journalOrderKey(-1, true) : orderKey, order, descending);
    vorn::Journal journal(core);
    vorn::ReadSnapshot snapshot(core);
    stagedSums_ = {};
    const int n = journal.select_sales(filter_, out, order, descending);
    if (n < 0 || journal.sum_sales(filter_, stagedSums_) != 1) {
        out.clear();
        stagedSums_ = {};
        return -1;
    }
    return n;
}

void CJournalView::takeFetched() {
    RecordListPage::takeFetched();
    sums_ = stagedSums_;
}

bool CJournalView::buildCondition(std::string& out) {
    JournalSearch in;
    in.number = shell().ribbonText(cmd::SaleNumber);
    in.cashier = shell().ribbonText(cmd::SaleCashier);
    in.member = shell().ribbonText(cmd::SaleMember);
    in.goods = shell().ribbonText(cmd::SaleGoods);
    in.method = shell().ribbonText(cmd::SaleMethod);
    const DateSpan& span = journalState(shell()).spans[cmd::SaleSpan];
    in.from = span.from;
    in.to = span.to;
    // The store takes the filter itself; the page's condition text stays empty.
    out.clear();
    return buildSaleFilter(in, filter_);
}

std::string CJournalView::orderFor(int section, bool ascending) const {
    return journalOrderKey(section, ascending);
}

void CJournalView::sorted(int section, bool ascending, int listed) {
    const int column = section < 0 ? int(JColTime) : section;
    shell().showStatus(QStringLiteral("成功按\"%1\"%2排列%3笔销售记录")
                           .arg(QString::fromUtf8(journalColumns()[static_cast<size_t>(column)].caption),
                                section < 0 || ascending ? QStringLiteral("升序") : QStringLiteral("降序"))
                           .arg(listed));
}

CRecordListPage::SpanDates CJournalView::spanDates(int id) {
    DateSpan& span = journalState(shell()).spans[id];
    return {span.from, span.to};
}

void CJournalView::updateFooters() {
    const vorn::SaleSums none;
    const vorn::SaleSums& s = hasRecord() ? sums_ : none;
    for (int c : kFooterColumns)
        footer_->setText(c, journalFooterText(s, c));
    // The takings by method may be longer than their column on a small screen.
    footer_->setToolTip(journalFooterText(s, JColMethods));
}

int CJournalView::chosenRow() const {
    const QItemSelectionModel* sel = table()->selectionModel();
    const QModelIndexList picked = sel->selectedRows();
    if (picked.isEmpty()) return -1;
    const int current = table()->currentIndex().row();
    if (current >= 0 && sel->isRowSelected(current, {})) return current;
    return picked.front().row();
}

bool CJournalView::isCommandEnabled(int id) const {
    if (id == cmd::OpenSale || id == cmd::ReprintSale) return hasRecord() && chosenRow() >= 0;
    if (id == cmd::DayCashUp) return mayCashUpDay(shell());
    if (id == cmd::PastShifts) return true;
    return RecordListPage::isCommandEnabled(id);
}

bool CJournalView::onCommand(int id) {
    if (id == cmd::OpenSale)
        openSale(chosenRow());
    else if (id == cmd::ReprintSale)
        reprintSale(chosenRow());
    else if (id == cmd::DayCashUp)
        dayCashUp(shell(), dialogRunner());
    else if (id == cmd::PastShifts)
        pastShifts(shell(), dialogRunner());
    else
        return RecordListPage::onCommand(id);
    return true;
}

void CJournalView::openSale(int row) {
    if (row < 0 || static_cast<size_t>(row) >= rows().size()) {
        shell().showStatus(QStringLiteral("未选中任何销售记录，请先选中要\"查看明细\"的销售记录"));
        return;
    }
    vorn::SaleDetail detail;
    if (vorn::Journal(store()).open_sale(rows()[static_cast<size_t>(row)].id, detail) != 1) {
        shell().reportFailure(readFailure(QStringLiteral("查看明细")));
        return;
    }
    CJournalDetailDlg dlg(detail, shell().window());
    runDialog(dlg);
    if (dlg.reprintAsked()) {
        reprintSale(row);
        return;
    }
    shell().showStatus(
        QStringLiteral("成功查看销售单\"%1\"的明细").arg(QString::fromStdString(detail.sale.number)));
}

void CJournalView::reprintSale(int row) {
    if (row < 0 || static_cast<size_t>(row) >= rows().size()) {
        shell().showStatus(QStringLiteral("未选中任何销售记录，请先选中要\"重打小票\"的销售记录"));
        return;
    }
    // The receipt printer says in the status bar where the receipt went, or
    // reports why it could not print.
    if (!vorn::ui::reprintSale(shell(), rows()[static_cast<size_t>(row)].id).found)
        shell().reportFailure(readFailure(QStringLiteral("重打小票")));
}

void CJournalView::exportRecords() {
    exportJournal(shell(), shownRows(*this, rows()));
}

} // namespace vorn::ui

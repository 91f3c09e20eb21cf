#include "storeview.h"

#include <QLayout>
#include <QTableView>

#include "articlemode.h"
#include "footerstrip.h"
#include "goodscells.h"
#include "goodsexport.h"
#include "goodsimport.h"
#include "goodslimits.h"
#include "goodsquery.h"
#include "goodsrows.h"
#include "storeadddlg.h"
#include "storeinputdlg.h"
#include "stocktakedlg.h"
#include "suppinputdlg.h"
#include "typeinputdlg.h"
#include "goodsstate.h"
#include "kit/page/appstate.h"
#include "kit/page/pagehost.h"
#include "kit/page/shell.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

namespace {

constexpr int kFooterColumns[] = {ColOriP, ColRetP, ColReaP};

ListCommands goodsCommands() {
    ListCommands c;
    c.search = cmd::SearchGoods;
    c.clear = cmd::ClearGoodsSearch;
    c.add = cmd::AddGoods;
    c.edit = cmd::EditGoods;
    c.remove = cmd::RemoveGoods;
    c.importer = cmd::ImportGoods;
    c.exporter = cmd::ExportGoods;
    c.texts = {cmd::GoodsCode, cmd::GoodsName, cmd::GoodsSize};
    c.combos = {cmd::GoodsType, cmd::GoodsState};
    c.spans = {cmd::StockTime, cmd::SaleTime};
    c.inputs = {cmd::Categories, cmd::GoodsSheets};
    return c;
}

ListWords goodsWords() {
    ListWords w;
    w.searched = QStringLiteral("在当前设定条件下，\"搜索\"到%1件商品");
    w.tooManyEdit = QStringLiteral("一次\"编辑\"的商品数量太多，不能超过上限%1件");
    w.tooManyDelete = QStringLiteral("一次\"删除\"的商品数量太多，不能超过上限%1件");
    w.confirmDelete = QStringLiteral("你的下一步操作将永久\"删除\"商品的信息，是否要继续？");
    w.deleted = QStringLiteral("成功\"删除\"%1件商品信息");
    w.deleteFailed = QStringLiteral("未知异常导致商品\"删除\"失败，放弃该次\"删除\"操作");
    w.edited = QStringLiteral("成功\"编辑\"%1件商品信息");
    w.editedNone = QStringLiteral("未\"编辑\"任何商品信息");
    w.editFailed = QStringLiteral("未知异常导致商品信息\"编辑\"失败，放弃该次\"编辑\"操作");
    return w;
}

} // namespace

CStoreView::CStoreView(Shell& shell, QWidget* parent)
    : RecordListPage(shell, goodsState(shell).rows, loadGoods, goodsCommands(), goodsWords(), kMaxBatchUnits, parent) {
    model_ = new GoodsModel(shell.state(), this);
    buildList(model_, QStringLiteral("goodsList"), ColRemark);
    footer_ = new FooterStrip(table(), this);
    footer_->setObjectName(QStringLiteral("goodsFooter"));
    for (int c : kFooterColumns)
        footer_->setAlignment(c, Qt::AlignRight);
    layout()->addWidget(footer_);
    updateFooters();

    auto* panel = new CStoreInputDlg(shell, shell.window());
    attachPanel(panel);
    connect(panel, &CStoreInputDlg::editFinished, this,
            [this](bool totalsChanged, int result) { finishEdit(result, totalsChanged); });
    connect(panel, &CStoreInputDlg::visibilityChanged, this, [this] { this->shell().updateCommands(); });
    articles_ = new ArticleMode(*this, {table(), footer_});
}

CStoreInputDlg* CStoreView::panel() const {
    return static_cast<CStoreInputDlg*>(panelWidget());
}

vorn::Core& CStoreView::store() {
    return shell().state().core;
}

bool CStoreView::isCommandEnabled(int id) const {
    if (articles_->serves(id)) return articles_->enabled(id);
    return id == cmd::GoodsTypes || id == cmd::Suppliers || id == cmd::StockTake ||
           RecordListPage::isCommandEnabled(id);
}

bool CStoreView::isCommandChecked(int id) const {
    return articles_->checked(id);
}

bool CStoreView::onCommand(int id) {
    if (articles_->serves(id)) return articles_->run(id);
    if (id == cmd::StockTake)
        runStockTake(shell());
    else if (id == cmd::GoodsTypes)
        editTypes();
    else if (id == cmd::Suppliers)
        editSuppliers();
    else
        return RecordListPage::onCommand(id);
    return true;
}

bool CStoreView::buildCondition(std::string& out) {
    AppState& st = shell().state();
    GoodsSearch in;
    in.code = shell().ribbonText(cmd::GoodsCode);
    in.name = shell().ribbonText(cmd::GoodsName);
    in.type = shell().ribbonText(cmd::GoodsType);
    in.size = shell().ribbonText(cmd::GoodsSize);
    in.state = shell().ribbonText(cmd::GoodsState);
    const auto& stock = goodsState(st).spans[cmd::StockTime];
    const auto& sale = goodsState(st).spans[cmd::SaleTime];
    in.stockFrom = stock.from;
    in.stockTo = stock.to;
    in.saleFrom = sale.from;
    in.saleTo = sale.to;
    return buildGoodsCondition(in, st.types, out);
}

std::string CStoreView::orderFor(int section, bool ascending) const {
    return goodsSortClause(section, ascending);
}

void CStoreView::sorted(int section, bool ascending, int listed) {
    // A page that was never searched lists every unit here (its condition is
    // empty), so the status says what the list now holds.
    const int column = section < 0 ? int(ColCode) : section;
    shell().showStatus(QStringLiteral("成功按\"%1\"%2排列%3件商品")
                           .arg(QString::fromUtf8(goodsColumn(column).caption),
                                section < 0 || ascending ? QStringLiteral("升序") : QStringLiteral("降序"))
                           .arg(listed));
}

CRecordListPage::SpanDates CStoreView::spanDates(int id) {
    auto& span = goodsState(shell()).spans[id];
    return {span.from, span.to};
}

void CStoreView::updateFooters() {
    GoodsTotals t;
    if (hasRecord()) t = sumGoods(rows());
    footer_->setText(ColOriP, totalText(t.ori));
    footer_->setText(ColRetP, totalText(t.ret));
    footer_->setText(ColReaP, totalText(t.rea));
}

void CStoreView::openPanel(const std::vector<int>& rows) {
    panel()->openFor(rows);
}

void CStoreView::importRecords() {
    importGoods(importHostOf(*this));
}

void CStoreView::exportRecords() {
    exportGoods(shell(), shownRows(*this, rows()));
}

void CStoreView::addRecords() {
    CStoreAddDlg dlg(shell(), shell().window());
    // A failed save was reported by the dialog, which then stayed open.
    runAndReport(dlg, [&dlg] { return dlg.insertResult(); },
                 {QStringLiteral("放弃该次商品\"录入\"操作"), QStringLiteral("成功\"录入\"%1件商品"),
                  QStringLiteral("未\"录入\"任何商品"), QString()});
}

// ---- Types and suppliers -------------------------------------------------------

void CStoreView::editTypes() {
    CStoreTypeInputDlg dlg(shell(), shell().window());
    if (!runAndReport(dlg, [&dlg] { return dlg.changeResult(); },
                      {QStringLiteral("放弃该次\"商品类型\"修改操作"), QStringLiteral("成功修改%1个\"商品类型\""),
                       QStringLiteral("未修改任何\"商品类型\""),
                       QStringLiteral("未知异常导致\"商品类型\"修改失败，放弃该次\"修改\"操作")}))
        return;
    // The type drop-down follows through the catalog watch.
    shell().state().loadTypesAndSuppliers();
    model_->refreshRows();
}

void CStoreView::editSuppliers() {
    CStoreSuppInputDlg dlg(shell(), shell().window());
    if (!runAndReport(dlg, [&dlg] { return dlg.changeResult(); },
                      {QStringLiteral("放弃该次\"供货商\"修改操作"), QStringLiteral("成功修改%1个\"供货商\""),
                       QStringLiteral("未修改任何\"供货商\""),
                       QStringLiteral("未知异常导致\"供货商\"修改失败，放弃该次\"修改\"操作")}))
        return;
    shell().state().loadTypesAndSuppliers();
    model_->refreshRows();
}

} // namespace vorn::ui

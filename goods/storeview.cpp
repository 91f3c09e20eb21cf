#include "storeview.h"

#include <QLayout>
#include <QTableView>

#include "articlemode.h"
#include "footerstrip.h"
#include "goodscells.h"
#include "goodsexport.h"
#include "goodsimport.h"
#include "goodsquery.h"
#include "goodsrows.h"
#include "goodsstate.h"
#include "storeadddlg.h"
#include "storeinputdlg.h"
#include "stocktakedlg.h"
#include "suppinputdlg.h"
#include "typeinputdlg.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "res/commandids.h"

namespace vorn::ui {

namespace {

constexpr int kFooterColumns[] = {ColOriP, ColRetP, ColReaP};

const ListNouns kNouns{QStringLiteral("商品"), QStringLiteral("商品信息"), QStringLiteral("件"),
                       QStringLiteral("商品的信息")};

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

// A change of the types or suppliers, worded for the catalog list it changed.
DialogWords catalogWords(const QString& name) {
    const QString quoted = QLatin1Char('"') + name + QLatin1Char('"');
    return {QStringLiteral("放弃该次") + quoted + QStringLiteral("修改操作"), QStringLiteral("成功修改%1个") + quoted,
            QStringLiteral("未修改任何") + quoted,
            QStringLiteral("未知异常导致") + quoted + QStringLiteral("修改失败，放弃该次\"修改\"操作")};
}

} // namespace

CStoreView::CStoreView(Shell& shell, QWidget* parent)
    : RecordListPage(shell, goodsState(shell), goodsCommands(), listWords(kNouns), parent) {
    const AppState& st = shell.state();
    buildList(goodsColumns(),
              [&st](const vorn::SRec& unit, int c) { return goodsCellText(unit, c, st.types, st.suppliers); },
              QStringLiteral("goodsList"), ColRemark);
    footer_ = new FooterStrip(table(), this);
    footer_->setObjectName(QStringLiteral("goodsFooter"));
    for (int c : kFooterColumns)
        footer_->setAlignment(c, Qt::AlignRight);
    layout()->addWidget(footer_);
    updateFooters();

    attachPanel(new CStoreInputDlg(shell, shell.window()));
    setSheets(importGoods, exportGoods);
    articles_ = new ArticleMode(*this, {table(), footer_});
}

CStoreInputDlg* CStoreView::panel() const {
    return static_cast<CStoreInputDlg*>(panelWidget());
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
        editCatalog<CStoreTypeInputDlg>(QStringLiteral("商品类型"));
    else if (id == cmd::Suppliers)
        editCatalog<CStoreSuppInputDlg>(QStringLiteral("供货商"));
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

void CStoreView::sorted(int section, bool ascending, int listed) {
    // A page that was never searched lists every unit here (its condition is
    // empty), so the status says what the list now holds.
    const int column = section < 0 ? int(ColCode) : section;
    shell().showStatus(QStringLiteral("成功按\"%1\"%2排列%3件商品")
                           .arg(QString::fromUtf8(goodsColumns()[static_cast<size_t>(column)].caption),
                                section < 0 || ascending ? QStringLiteral("升序") : QStringLiteral("降序"))
                           .arg(listed));
}

void CStoreView::updateFooters() {
    GoodsTotals t;
    if (hasRecord()) t = sumGoods(rows());
    footer_->setText(ColOriP, totalText(t.ori));
    footer_->setText(ColRetP, totalText(t.ret));
    footer_->setText(ColReaP, totalText(t.rea));
}

void CStoreView::addRecords() {
    CStoreAddDlg dlg(shell(), shell().window());
    // A failed save was reported by the dialog, which then stayed open.
    runAndReport(dlg, [&dlg] { return dlg.insertResult(); }, dialogWords(kNouns, QStringLiteral("录入"), true));
}

template <class Dlg> void CStoreView::editCatalog(const QString& name) {
    Dlg dlg(shell(), shell().window());
    if (!runAndReport(dlg, [&dlg] { return dlg.changeResult(); }, catalogWords(name))) return;
    // The type drop-down follows through the catalog watch.
    shell().state().loadTypesAndSuppliers();
    model()->refreshRows();
}

} // namespace vorn::ui

#include "storeview.h"

#include <QDialog>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "footerstrip.h"
#include "goodscells.h"
#include "goodsexport.h"
#include "goodsimport.h"
#include "goodslimits.h"
#include "goodsmodel.h"
#include "goodsquery.h"
#include "goodsrows.h"
#include "storeadddlg.h"
#include "storeinputdlg.h"
#include "suppinputdlg.h"
#include "typeinputdlg.h"
#include "kit/recordlist.h"
#include "kit/appstate.h"
#include "kit/busy.h"
#include "kit/gbklimit.h"
#include "kit/msgbox.h"
#include "kit/shell.h"
#include "kit/storefailure.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

namespace {

// The list draws solid vertical lines between its columns and none between rows.
class ColumnLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        p->save();
        p->setPen(option.palette.color(QPalette::Mid));
        p->drawLine(option.rect.topRight(), option.rect.bottomRight());
        p->restore();
    }
};

constexpr int kFooterColumns[] = {ColOriP, ColRetP, ColReaP};

QString searchedText(int n) {
    return QStringLiteral("在当前设定条件下，\"搜索\"到%1件商品").arg(n);
}

} // namespace

CStoreView::CStoreView(Shell& shell, QWidget* parent)
    : CPage(shell, parent), runDialog_([](QDialog& d) { return d.exec(); }), askSpan_(askDateSpan) {
    buildList();
    updateFooters();
    // The panel is a window of its own beside the main window; it lives as long
    // as the page, hidden until an edit opens it.
    panel_ = new CStoreInputDlg(shell, shell.window());
    connect(panel_, &CStoreInputDlg::editFinished, this, &CStoreView::onEditFinished);
    connect(panel_, &CStoreInputDlg::visibilityChanged, this, [this] { this->shell().updateCommands(); });
}

CStoreView::~CStoreView() {
    // The panel must not report its hiding to a page that is going away.
    if (panel_) panel_->disconnect(this);
    delete panel_.data();
    // The loaded rows belong to this page's life; nothing points into them now.
    std::vector<vorn::SRec>().swap(shell().state().goods);
}

void CStoreView::buildList() {
    model_ = new GoodsModel(shell().state(), this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("goodsList"));
    table_->setModel(model_);
    table_->setItemDelegate(new ColumnLineDelegate(table_));
    setUpRecordList(table_);
    QHeaderView* header = table_->horizontalHeader();
    for (int c = 0; c < GoodsColumnCount; ++c) {
        header->setSectionResizeMode(c, c == ColRemark ? QHeaderView::Stretch : QHeaderView::Interactive);
        if (c != ColRemark) header->resizeSection(c, goodsColumn(c).width);
    }
    header->setMinimumSectionSize(24);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &CStoreView::onSortIndicator);

    footer_ = new FooterStrip(table_, this);
    footer_->setObjectName(QStringLiteral("goodsFooter"));
    for (int c : kFooterColumns)
        footer_->setAlignment(c, Qt::AlignRight);

    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const int row = index.row();
        if (row < 0 || static_cast<size_t>(row) >= shell().state().goods.size()) return;
        table_->selectionModel()->select(model_->index(row, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        openEditor({row});
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { shell().updateCommands(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(table_);
    layout->addWidget(footer_);
}

CStoreInputDlg* CStoreView::panel() const {
    return panel_.data();
}

bool CStoreView::panelVisible() const {
    return panel_ && panel_->isVisible();
}

bool CStoreView::isCommandEnabled(int id) const {
    switch (id) {
    case cmd::SearchGoods:
    case cmd::ImportGoods: // an import reloads the list the panel works on
        return !panelVisible();
    case cmd::ExportGoods:
        return hasRecord_;
    case cmd::EditGoods:
        return hasRecord_;
    case cmd::RemoveGoods:
        return hasRecord_ && !panelVisible();
    case cmd::AddGoods:
    case cmd::GoodsCode:
    case cmd::GoodsName:
    case cmd::GoodsType:
    case cmd::GoodsSize:
    case cmd::GoodsState:
    case cmd::StockTime:
    case cmd::SaleTime:
    case cmd::ClearGoodsSearch:
    case cmd::Categories:
    case cmd::GoodsTypes:
    case cmd::Suppliers:
    case cmd::GoodsSheets:
        return true;
    default:
        return false;
    }
}

bool CStoreView::onCommand(int id) {
    switch (id) {
    case cmd::SearchGoods:
        // The panel works on loaded rows; a new search would pull them away.
        if (!panelVisible()) search();
        return true;
    case cmd::StockTime:
    case cmd::SaleTime:
        chooseSpan(id);
        return true;
    case cmd::ClearGoodsSearch:
        clearSearch();
        return true;
    case cmd::AddGoods:
        addGoods();
        return true;
    case cmd::EditGoods:
        editSelected();
        return true;
    case cmd::RemoveGoods:
        if (!panelVisible()) deleteSelected();
        return true;
    case cmd::GoodsTypes:
        editTypes();
        return true;
    case cmd::Suppliers:
        editSuppliers();
        return true;
    case cmd::ImportGoods:
        if (!panelVisible()) importGoods(*this);
        return true;
    case cmd::ExportGoods:
        if (hasRecord_) exportGoods(*this);
        return true;
    case cmd::GoodsCode:
    case cmd::GoodsName:
    case cmd::GoodsType:
    case cmd::GoodsSize:
    case cmd::GoodsState:
    case cmd::Categories:
    case cmd::GoodsSheets:
        return true; // inputs read at the next search; the pop-up is the frame's
    default:
        return false;
    }
}

// ---- Search and list --------------------------------------------------------

void CStoreView::search() {
    AppState& st = shell().state();
    GoodsSearch in;
    in.code = shell().ribbonText(cmd::GoodsCode);
    in.name = shell().ribbonText(cmd::GoodsName);
    in.type = shell().ribbonText(cmd::GoodsType);
    in.size = shell().ribbonText(cmd::GoodsSize);
    in.state = shell().ribbonText(cmd::GoodsState);
    const auto& stock = st.spans[cmd::StockTime];
    const auto& sale = st.spans[cmd::SaleTime];
    in.stockFrom = stock.from;
    in.stockTo = stock.to;
    in.saleFrom = sale.from;
    in.saleTo = sale.to;
    std::string condition;
    if (!buildGoodsCondition(in, st.types, condition)) {
        shell().reportFailure(unrepresentableTextMessage());
        return;
    }
    condition_ = std::move(condition);
    shell().showStatus(searchedText(reload()));
}

int CStoreView::reload() {
    AppState& st = shell().state();
    // Let go of the old rows before the new ones arrive: two full lists of a big
    // shop would not fit side by side.
    std::vector<vorn::SRec>().swap(st.goods);
    hasRecord_ = false;
    model_->resetRows();

    std::vector<vorn::SRec> rows;
    int n = -1;
    vorn::Core& core = st.core;
    const std::string condition = condition_;
    const std::string sort = sortClause_;
    runBusy(shell().window(), [&] { n = loadGoods(core, condition, sort, rows); });
    st.goods = std::move(rows);
    hasRecord_ = n >= 1;
    model_->resetRows();
    // The totals always describe the rows just listed, whoever asked for them.
    updateFooters();
    shell().updateCommands();
    return hasRecord_ ? static_cast<int>(st.goods.size()) : 0;
}

void CStoreView::updateFooters() {
    const AppState& st = shell().state();
    GoodsTotals t;
    if (hasRecord_) t = sumGoods(st.goods);
    footer_->setText(ColOriP, totalText(t.ori));
    footer_->setText(ColRetP, totalText(t.ret));
    footer_->setText(ColReaP, totalText(t.rea));
}

void CStoreView::sortBy(int column, bool ascending) {
    QHeaderView* header = table_->horizontalHeader();
    header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CStoreView::onSortIndicator(int section, Qt::SortOrder order) {
    if (section >= ColRemark) {
        // The remark cannot be sorted: put the arrow back where the list is sorted.
        QSignalBlocker block(table_->horizontalHeader());
        table_->horizontalHeader()->setSortIndicator(sortSection_, sortOrder_);
        return;
    }
    sortSection_ = section;
    sortOrder_ = order;
    sortClause_ = goodsSortClause(section, order == Qt::AscendingOrder);
    // A page that was never searched lists every unit here (its condition is
    // empty), so the status says what the list now holds.
    const int n = reload();
    const int column = section < 0 ? int(ColCode) : section;
    const bool ascending = section < 0 || order == Qt::AscendingOrder;
    shell().showStatus(QStringLiteral("成功按\"%1\"%2排列%3件商品")
                           .arg(QString::fromUtf8(goodsColumn(column).caption),
                                ascending ? QStringLiteral("升序") : QStringLiteral("降序"))
                           .arg(n));
}

// ---- Search inputs on the ribbon ----------------------------------------------

void CStoreView::chooseSpan(int id) {
    auto& span = shell().state().spans[id];
    const SpanAnswer a = askSpan_(span.from, span.to, shell().window());
    if (a.outcome == 1) {
        span.from = a.from;
        span.to = a.to;
        shell().setRibbonCaption(id, QStringLiteral("%1: %2 到 %3")
                                         .arg(caption(id), a.from.toString(QStringLiteral("yyyy-MM-dd")),
                                              a.to.toString(QStringLiteral("yyyy-MM-dd"))));
    } else if (a.outcome == 0) {
        span = {};
        shell().setRibbonCaption(id, caption(id));
    }
}

void CStoreView::clearSearch() {
    for (int id : {cmd::GoodsCode, cmd::GoodsName, cmd::GoodsSize})
        shell().setRibbonText(id, QString());
    for (int id : {cmd::GoodsType, cmd::GoodsState})
        shell().setRibbonIndex(id, -1);
    for (int id : {cmd::StockTime, cmd::SaleTime}) {
        shell().state().spans[id] = {};
        shell().setRibbonCaption(id, caption(id));
    }
}

// ---- Entry, editing, deleting -------------------------------------------------

void CStoreView::addGoods() {
    CStoreAddDlg dlg(shell(), shell().window());
    const int closed = runDialog_(dlg);
    const int result = dlg.insertResult();
    if (closed != QDialog::Accepted)
        shell().showStatus(QStringLiteral("放弃该次商品\"录入\"操作"));
    else if (result > 0)
        shell().showStatus(QStringLiteral("成功\"录入\"%1件商品").arg(result));
    else if (result == 0)
        shell().showStatus(QStringLiteral("未\"录入\"任何商品"));
    // A failed save was reported by the dialog, which then stayed open.
}

bool CStoreView::collectSelection(std::vector<int>& rows, const QString& tooMany) const {
    rows.clear();
    const size_t loaded = shell().state().goods.size();
    const QModelIndexList picked = table_->selectionModel()->selectedRows();
    for (const QModelIndex& i : picked)
        if (i.row() >= 0 && static_cast<size_t>(i.row()) < loaded) rows.push_back(i.row());
    if (rows.size() > static_cast<size_t>(kMaxBatchUnits)) {
        shell().reportFailure(tooMany.arg(kMaxBatchUnits));
        rows.clear();
        return false;
    }
    return true;
}

void CStoreView::editSelected() {
    std::vector<int> rows;
    if (!collectSelection(rows, QStringLiteral("一次\"编辑\"的商品数量太多，不能超过上限%1件"))) return;
    if (!rows.empty()) openEditor(rows);
}

void CStoreView::openEditor(const std::vector<int>& rows) {
    if (panel_) panel_->openFor(rows);
}

void CStoreView::onEditFinished(bool totalsChanged, int result) {
    if (result > 0) {
        shell().showStatus(QStringLiteral("成功\"编辑\"%1件商品信息").arg(result));
        model_->refreshRows();
        if (totalsChanged) updateFooters();
    } else if (result == 0) {
        shell().showStatus(QStringLiteral("未\"编辑\"任何商品信息"));
    } else {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致商品信息\"编辑\"失败，放弃该次\"编辑\"操作")));
        reload();
    }
}

void CStoreView::deleteSelected() {
    std::vector<int> rows;
    if (!collectSelection(rows, QStringLiteral("一次\"删除\"的商品数量太多，不能超过上限%1件"))) return;
    if (rows.empty()) return;
    if (!askYesNo(shell().window(), QStringLiteral("你的下一步操作将永久\"删除\"商品的信息，是否要继续？")))
        return;

    AppState& st = shell().state();
    std::vector<vorn::SRec*> units;
    units.reserve(rows.size());
    for (int r : rows)
        units.push_back(&st.goods[static_cast<size_t>(r)]);
    vorn::Core& core = st.core;
    int result = -1;
    runBusy(shell().window(),
            [&] { result = core.delete_srec(units.data(), static_cast<int>(units.size())); });
    if (result <= 0) {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致商品\"删除\"失败，放弃该次\"删除\"操作")));
        return;
    }
    table_->clearSelection();
    removeGoodsRows(st.goods, rows);
    if (st.goods.empty()) hasRecord_ = false;
    model_->resetRows();
    shell().showStatus(QStringLiteral("成功\"删除\"%1件商品信息").arg(rows.size()));
    updateFooters();
    shell().updateCommands();
}

// ---- Types and suppliers -------------------------------------------------------

void CStoreView::editTypes() {
    CStoreTypeInputDlg dlg(shell(), shell().window());
    const int closed = runDialog_(dlg);
    const int result = dlg.changeResult();
    if (closed != QDialog::Accepted) {
        shell().showStatus(QStringLiteral("放弃该次\"商品类型\"修改操作"));
    } else if (result > 0) {
        shell().showStatus(QStringLiteral("成功修改%1个\"商品类型\"").arg(result));
        shell().state().loadTypesAndSuppliers();
        shell().refillTypeCombo();
        model_->refreshRows();
    } else if (result == 0) {
        shell().showStatus(QStringLiteral("未修改任何\"商品类型\""));
    } else {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"商品类型\"修改失败，放弃该次\"修改\"操作")));
    }
}

void CStoreView::editSuppliers() {
    CStoreSuppInputDlg dlg(shell(), shell().window());
    const int closed = runDialog_(dlg);
    const int result = dlg.changeResult();
    if (closed != QDialog::Accepted) {
        shell().showStatus(QStringLiteral("放弃该次\"供货商\"修改操作"));
    } else if (result > 0) {
        shell().showStatus(QStringLiteral("成功修改%1个\"供货商\"").arg(result));
        shell().state().loadTypesAndSuppliers();
        model_->refreshRows();
    } else if (result == 0) {
        shell().showStatus(QStringLiteral("未修改任何\"供货商\""));
    } else {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"供货商\"修改失败，放弃该次\"修改\"操作")));
    }
}

} // namespace vorn::ui

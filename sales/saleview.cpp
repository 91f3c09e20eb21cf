#include "saleview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "daysalesdlg.h"
#include "kit/page/appstate.h"
#include "kit/text/clock.h"
#include "kit/page/frameservices.h"
#include "kit/text/gbk.h"
#include "kit/dialog/housecolours.h"
#include "kit/print/receiptprinter.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"
#include "kit/dialog/vornlabel.h"
#include "paymentdlg.h"
#include "pricing.h"
#include "receiptdata.h"
#include "receiptescpos.h"
#include "receiptprint.h"
#include "res/commandids.h"
#include "salecounter.h"
#include "salediscountdlg.h"
#include "returndlg.h"
#include "salefooter.h"
#include "saleinputdlg.h"
#include "salemodel.h"
#include "saleoutputdlg.h"
#include "saleprintdlg.h"
#include "salereceipt.h"
#include "salestate.h"
#include "salevipdlg.h"
#include "shiftcounter.h"
#include "shiftdlg.h"
#include "vorn/journal.h"

namespace vorn::ui {

namespace {

// The cells of the list, drawn directly: plain or alternating background, the
// selection, one line of text, and solid vertical lines between the columns
// (none between the rows). Going through the style sheet for every cell made a
// scrolled list the slowest part of adding a row.
class SaleCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        QColor back = selected ? kSelection : (index.row() % 2 ? kAlternate : Qt::white);
        p->fillRect(r, back);
        p->setPen(kColumnLine);
        p->drawLine(r.topRight(), r.bottomRight());

        const QVariant fg = index.data(Qt::ForegroundRole);
        p->setPen(fg.canConvert<QBrush>() ? fg.value<QBrush>().color() : houseTextColour());
        p->setFont(option.font);
        const QRect text = r.adjusted(6, 0, -7, 0);
        const QString shown = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                            Qt::ElideRight, text.width());
        const int align = index.data(Qt::TextAlignmentRole).toInt();
        p->drawText(text, align ? align : int(Qt::AlignLeft | Qt::AlignVCenter), shown);
    }

    static inline const QColor kSelection{0xfd, 0xe8, 0xa6};
    static inline const QColor kAlternate{0xf2, 0xf6, 0xfc};
    static inline const QColor kColumnLine{0xc8, 0xd7, 0xea};
};

// The page's own look, over the program's style sheet: a list read at a glance.
const char* const kPageStyle = R"(
#saleView { background: #ffffff; }
QTableView#saleList {
    background: #ffffff;
    alternate-background-color: #f2f6fc;
    border: 1px solid #8db2e3;
    border-bottom: none;
    selection-background-color: #fde8a6;
    selection-color: #1e395b;
}
QTableView#saleList QHeaderView::section {
    color: #1e395b;
    font-weight: bold;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfcfe, stop:1 #dce7f5);
    border: none;
    border-right: 1px solid #b4c9e4;
    border-bottom: 1px solid #8db2e3;
    padding: 5px 4px;
}
#saleInputDlg {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eef3fa, stop:1 #d5e3f5);
    border-top: 1px solid #8db2e3;
}
#saleInputDlg QLabel { background: transparent; color: #1e395b; }
#saleInputDlg QLineEdit { padding: 2px 6px; }
#saleInputDlg QLineEdit#quantityEdit[notOne="true"] {
    color: #8a3b00;
    background: #ffe9b3;
    border: 2px solid #e07b00;
}
#saleInputDlg QPushButton { padding: 6px 18px; }
#saleInputDlg QPushButton#checkoutButton {
    color: #ffffff;
    font-weight: bold;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5d9be0, stop:1 #2f68b2);
    border-color: #24589c;
}
#saleInputDlg QPushButton#checkoutButton:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #7cb0ea, stop:1 #3a77c4);
}
#saleInputDlg QToolButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dde8f5);
    border: 1px solid #9fb8d8;
}
)";

constexpr int kListFontPixels = 15;

QString removedText(int n) {
    return QStringLiteral("成功从购物列表中删除%1个项目").arg(n);
}

// Whether every unit a checkout found gone was sold (at another till), not
// deleted or written off meanwhile: only then does the list refresh itself.
bool soldElsewhere(vorn::Core& core, const std::vector<int>& ids) {
    if (ids.empty()) return false;
    std::string cond = "FSi_Flag=1 AND FSi_Id IN (";
    for (size_t i = 0; i < ids.size(); ++i)
        cond += (i ? "," : "") + std::to_string(ids[i]);
    cond += ")";
    return core.get_srec_count(cond.c_str()) == static_cast<int>(ids.size());
}

} // namespace

CSaleView::CSaleView(Shell& shell, QWidget* parent)
    : CPage(shell, parent), runDialog_([](QDialog& d) { return d.exec(); }) {
    setObjectName(QStringLiteral("saleView"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QString::fromUtf8(kPageStyle));

    shopLabel_ = new CVornLabel(this);
    shopLabel_->setObjectName(QStringLiteral("shopNameLabel"));
    QFont title = shopLabel_->font();
    title.setPixelSize(40);
    title.setWeight(QFont::Bold);
    shopLabel_->setFont(title);
    shopLabel_->setTextColor(QColor(16, 78, 139));
    shopLabel_->setDrawBorder(false);
    shopLabel_->setBackgroundColor(QColor(0xf4, 0xf8, 0xfd));
    shopLabel_->setExtraFormat(Qt::AlignHCenter);

    // Which member the sale is for, so the cashier sees the member prices apply.
    memberLabel_ = new CVornLabel(this);
    memberLabel_->setObjectName(QStringLiteral("memberLabel"));
    memberLabel_->setDrawBorder(false);
    memberLabel_->setFillBackground(false);
    memberLabel_->setTextColor(QColor(0x8a, 0x5a, 0x00));
    memberLabel_->setExtraFormat(Qt::AlignRight);
    QFont memberFont = memberLabel_->font();
    memberFont.setPixelSize(15);
    memberFont.setBold(true);
    memberLabel_->setFont(memberFont);

    output_ = new CSaleOutputDlg(this);
    buildList();
    input_ = new CSaleInputDlg(this);
    connect(input_, &CSaleInputDlg::addRequested, this, &CSaleView::addToList);
    connect(input_, &CSaleInputDlg::removeRequested, this, &CSaleView::removeSelected);
    connect(input_, &CSaleInputDlg::checkoutRequested, this, &CSaleView::checkout);
    // Ahead of the panel's own filters: the counter's function keys.
    input_->codeEdit()->installEventFilter(this);
    input_->quantityEdit()->installEventFilter(this);

    list_.recount();
    showFooters();
    showMember();
    output_->setAmounts(0, 0, 0);
}

CSaleView::~CSaleView() {
    // The list's view reads the rows: it goes before them.
    table_->viewport()->removeEventFilter(this);
    table_->removeEventFilter(this);
    input_->codeEdit()->removeEventFilter(this);
    input_->quantityEdit()->removeEventFilter(this);
    delete listBox_;
    listBox_ = nullptr;
    table_ = nullptr;
    footer_ = nullptr;
    // An unfinished sale goes with the page; its member too.
    list_.clear();
    counter().dropMember();
    if (FrameServices* frame = frameServices(shell())) {
        frame->stopDateWatch();
        // This page is no longer the active view, so the checks stop any blinking.
        frame->runReminderCheck();
    }
}

void CSaleView::buildList() {
    listBox_ = new QWidget(this);
    model_ = new SaleModel(list_, this);
    table_ = new QTableView(listBox_);
    table_->setObjectName(QStringLiteral("saleList"));
    table_->setModel(model_);
    table_->setItemDelegate(new SaleCellDelegate(table_));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setSortingEnabled(false);
    table_->setShowGrid(false);
    table_->setWordWrap(false);
    table_->setAlternatingRowColors(true);
    table_->setFocusPolicy(Qt::ClickFocus);
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QFont listFont = table_->font();
    listFont.setPixelSize(kListFontPixels);
    table_->setFont(listFont);

    QHeaderView* rowsHeader = table_->verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(QFontMetrics(listFont).height() + 12);

    // Rows stay in the order they were added: no sorting, no moving columns.
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setMinimumSectionSize(24);
    header->setSectionResizeMode(QHeaderView::Fixed);
    QFont headerFont = listFont;
    headerFont.setPixelSize(14);
    header->setFont(headerFont);
    for (int c = 0; c < SaleColumnCount; ++c)
        header->resizeSection(c, saleColumn(c).width);

    table_->viewport()->installEventFilter(this);
    // Clicking a row gives the list the focus; a scan typed next must still
    // reach the code edit.
    table_->installEventFilter(this);

    footer_ = new SaleFooter(table_, listBox_);
    footer_->setObjectName(QStringLiteral("saleFooter"));
    QFont footerFont = listFont;
    footerFont.setBold(true);
    footer_->setFont(footerFont);
    for (int c = SaleColQuantity; c < SaleColumnCount; ++c)
        footer_->setAlignment(c, Qt::AlignRight);

    auto* box = new QVBoxLayout(listBox_);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(table_);
    box->addWidget(footer_);

    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { shell().updateCommands(); });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        table_->selectionModel()->select(model_->index(index.row(), 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        goodsDiscount();
        shell().updateCommands();
    });
}

SaleCounterState& CSaleView::counter() const {
    return shell().state().extension<SaleCounterState>();
}

ReceiptData& CSaleView::receipt() const {
    return shell().state().extension<ReceiptData>();
}

// ---- Opening the page and its layout --------------------------------------------

void CSaleView::initialUpdate() {
    AppState& st = shell().state();
    if (st.currentUser.FUi_Id <= 0) return;

    // A new counter session: the shop's texts afresh, no sale to print again yet.
    ReceiptData& r = receipt();
    r.shopName = fromGbk(st.core.get_shop_name());
    r.shopPhone = fromGbk(st.core.get_shop_phone());
    r.shopAddress = fromGbk(st.core.get_shop_addr());
    r.printAddition = fromGbk(st.core.get_shop_pa());
    r.clearSale();

    if (FrameServices* frame = frameServices(shell())) {
        frame->runReminderCheck();
        frame->startDateWatch();
    }
    registerPrintCommand();
    readRules();

    shopLabel_->setText(r.shopName);
    list_.recount();
    showFooters();
    showMember();
    output_->setAmounts(0, 0, 0);
    input_->focusCode();
}

namespace {

bool canPrintLast(Shell& sh) {
    AppState& st = sh.state();
    return !st.extension<ReceiptData>().lines.empty() || st.extension<SaleCounterState>().lastSaleId > 0;
}

// "打印小票": the last sale's receipt again. Opening the page clears the one
// kept in memory; the journal still has the sale, and its receipt is rebuilt
// from there (with the shop texts as they are now).
void printLastSale(Shell& sh) {
    AppState& st = sh.state();
    ReceiptData& data = st.extension<ReceiptData>();
    const SaleCounterState& c = st.extension<SaleCounterState>();
    if (data.lines.empty() && c.lastSaleId > 0) {
        vorn::SaleDetail sale;
        if (vorn::Journal(st.core).open_sale(c.lastSaleId, sale) != 1) {
            sh.reportFailure(withStoreCause(
                QStringLiteral("未知异常导致上一笔销售的小票读取失败，放弃该次\"打印小票\"操作")));
            return;
        }
        data = receiptOfSale(sale, data, false);
    }
    if (!data.lines.empty()) printReceipt(sh, data, c.lastSaleTime);
}

} // namespace

void CSaleView::registerPrintCommand() {
    FrameServices* frame = frameServices(shell());
    if (!frame) return;
    // The command outlives the page: it may reach only what the window keeps,
    // and the page while it lives (then it is the active view, and the next
    // scan goes to its code edit).
    Shell* sh = &shell();
    QPointer<CSaleView> page(this);
    frame->setGlobalCommand(
        cmd::PrintReceipt, [sh] { return canPrintLast(*sh); },
        [sh, page] {
            printLastSale(*sh);
            if (page) page->input_->focusCode();
        });
}

void CSaleView::printLast() {
    if (canPrintLast(shell())) printLastSale(shell());
    input_->focusCode();
}

void CSaleView::daySales() {
    CDaySalesDlg dlg(shell(), shell().window());
    if (dlg.loadFailed()) {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致今日销售记录读取失败，放弃该次\"今日销售\"操作")));
        input_->focusCode();
        return;
    }
    if (dlg.saleIds().empty()) {
        shell().showStatus(QStringLiteral("未找到今日任何由您完成的销售"));
        input_->focusCode();
        return;
    }
    if (runDialog_(dlg) != QDialog::Accepted || dlg.selectedSaleId() <= 0) {
        shell().showStatus(QStringLiteral("放弃该次\"重打小票\"操作"));
        input_->focusCode();
        return;
    }
    const ReprintOutcome out = reprintSale(shell(), dlg.selectedSaleId());
    if (!out.found)
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致该笔销售读取失败，放弃该次\"重打小票\"操作")));
    input_->focusCode();
}

void CSaleView::returnGoods() {
    // The approval a salesperson's return asks for is run as the page runs its dialogs.
    returnAtCounter(shell(), runDialog_, runDialog_);
    input_->focusCode();
}

void CSaleView::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    layoutChildren();
}

void CSaleView::layoutChildren() {
    const int w = width();
    shopLabel_->setGeometry(0, 0, w, kLabelHeight);
    memberLabel_->setGeometry(w / 2, 0, std::max(w / 2 - 16, 0), kLabelHeight);
    const int outputTop = kLabelHeight + kGap;
    output_->setGeometry(0, outputTop, w, CSaleOutputDlg::kDesignedHeight);
    const int inputHeight = CSaleInputDlg::kDesignedHeight + 2;
    const int inputTop = std::max(height() - inputHeight, 0);
    input_->setGeometry(0, inputTop, w, inputHeight);
    const int listTop = outputTop + CSaleOutputDlg::kDesignedHeight + kGap;
    listBox_->setGeometry(0, listTop, w, std::max(inputTop - kGap - listTop, 0));
}

void CSaleView::fitColumns() {
    // The designed widths, widened in proportion to fill the list's width (which
    // narrows when the vertical scroll bar comes), never narrowed below them.
    QHeaderView* header = table_->horizontalHeader();
    int designed = 0;
    for (int c = 0; c < SaleColumnCount; ++c)
        designed += saleColumn(c).width;
    const int room = table_->viewport()->width();
    const double scale = std::max(1.0, static_cast<double>(room) / designed);
    int used = 0;
    for (int c = 0; c < SaleColumnCount; ++c) {
        const int w = c == SaleColumnCount - 1 ? std::max(room - used, saleColumn(c).width)
                                               : static_cast<int>(saleColumn(c).width * scale);
        if (header->sectionSize(c) != w) header->resizeSection(c, w);
        used += w;
    }
}

bool CSaleView::eventFilter(QObject* watched, QEvent* event) {
    const bool counterKeys =
        watched == table_ || (input_ && (watched == input_->codeEdit() || watched == input_->quantityEdit()));
    if (event->type() == QEvent::KeyPress && counterKeys) {
        // The counter's keys, wherever in the page the focus is.
        if (counterKey(watched, *static_cast<QKeyEvent*>(event))) return true;
    }
    if (event->type() == QEvent::Resize && table_ && watched == table_->viewport()) fitColumns();
    if (event->type() == QEvent::KeyPress && table_ && watched == table_) {
        // Characters and Enter belong to the code edit (a scan); the arrows,
        // Shift and Ctrl combinations keep working the list's selection.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (enter || typed) {
            input_->forwardToCode(*key);
            return true;
        }
    }
    return CPage::eventFilter(watched, event);
}

// ---- Commands --------------------------------------------------------------------

bool CSaleView::isCommandEnabled(int id) const {
    switch (id) {
    case cmd::MemberDiscount:
        return true;
    case cmd::GoodsDiscount:
        return !selectedRows().empty();
    case cmd::DaySales:
    case cmd::ReturnGoods:
    case cmd::HandOver:
    case cmd::RecallSale:
    case cmd::OpenShift:
    case cmd::OpenDrawer:
        return true;
    case cmd::HoldSale:
        return !list_.empty();
    default:
        return false;
    }
}

bool CSaleView::onCommand(int id) {
    switch (id) {
    case cmd::MemberDiscount:
        memberDiscount();
        return true;
    case cmd::GoodsDiscount:
        goodsDiscount();
        return true;
    case cmd::DaySales:
        daySales();
        return true;
    case cmd::ReturnGoods:
        returnGoods();
        return true;
    case cmd::HandOver:
        handOverAtCounter(shell(), runDialog_);
        input_->focusCode();
        return true;
    case cmd::OpenShift:
        openShiftAtCounter(shell(), runDialog_);
        input_->focusCode();
        return true;
    case cmd::OpenDrawer:
        openDrawerAtCounter(shell());
        return true;
    case cmd::HoldSale:
        holdSale();
        return true;
    case cmd::RecallSale:
        recallSale();
        return true;
    default:
        return false;
    }
}

std::vector<int> CSaleView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows())
        if (i.row() >= 0 && i.row() < list_.rowCount()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// ---- Footers and totals -------------------------------------------------------------

void CSaleView::showFooters() {
    const SaleTotals& t = list_.totals();
    footer_->setText(SaleColQuantity, QString::number(t.quantity));
    footer_->setText(SaleColRetail, tenthsText(t.retail));
    footer_->setText(SaleColPrice, tenthsText(t.price));
    footer_->setText(SaleColDiscount, tenthsText(t.discount));
    footer_->setText(SaleColAmount, tenthsText(t.amount));
}

void CSaleView::recountAndShow() {
    list_.recount();
    showFooters();
    output_->showDue(list_.totals().amount);
}

void CSaleView::showMember() {
    const SaleCounterState& c = counter();
    if (!c.hasMember()) {
        memberLabel_->clear();
        memberLabel_->hide();
        return;
    }
    // The points beside the name: customers ask for them at the till.
    memberLabel_->setText(QStringLiteral("会员: %1  %2 (%3)  积分: %4")
                              .arg(fromGbk(c.member.FVs_Name), fromGbk(c.member.FVs_Code),
                                   memberTypeText(c.member.FVi_Type))
                              .arg(c.member.FVi_Grade));
    memberLabel_->show();
    memberLabel_->raise();
}

// ---- Add, remove, checkout ---------------------------------------------------------

void CSaleView::addToList() {
    const int quantity = parseQuantity(input_->quantityEdit()->text());
    if (quantity < 1) {
        shell().reportFailure(QStringLiteral("加入购物列表的商品数量必须为大于零的整数"));
        input_->quantityEdit()->setText(QStringLiteral("1"));
        input_->focusQuantity();
        return;
    }
    // The code as typed, blanks and quotes included: a quote is data.
    const QString typed = input_->codeEdit()->text();
    std::string code;
    AddOutcome outcome;
    const int rowsBefore = list_.rowCount();
    readRules();
    if (toGbk(typed, code)) {
        AppState& st = shell().state();
        outcome = vorn::ui::addToList(st.core, list_, code, quantity, counter().memberType(), st.types);
        // The book is short but the shelf is not: what is missing is entered
        // here and sold with the rest.
        if (outcome.status == AddStatus::TooFew && rules_.sell_short && addShort(code, quantity, outcome.left)) {
            outcome.status = AddStatus::Added;
            outcome.left = -1;
        }
    }
    switch (outcome.status) {
    case AddStatus::NoSuchCode:
        shell().reportFailure(QStringLiteral("不存在编码为\"%1\"的商品，请输入正确的商品编码").arg(typed));
        input_->focusCode();
        return;
    case AddStatus::TooFew:
        shell().reportFailure(
            QStringLiteral("商品\"%1\"的库存数量为%2，少于实际购买数量%3，请重新调整购买数量")
                .arg(typed)
                .arg(outcome.left)
                .arg(quantity));
        input_->quantityEdit()->setText(QString::number(std::max(outcome.left, 1)));
        input_->focusQuantity();
        return;
    case AddStatus::Added:
        break;
    }
    const bool merged = rules_.merge_rows && outcome.left >= 0 && mergeAppended(rowsBefore);
    if (merged || list_.rowCount() != rowsBefore + 1)
        model_->rowsReset();
    else
        model_->rowAppended();
    table_->scrollToBottom();
    recountAndShow();
    if (outcome.left < 0)
        shell().showStatus(QStringLiteral("在购物列表中添加商品成功，库存不足的部分已按最近一件的价格补录"));
    else
        shell().showStatus(QStringLiteral("在购物列表中添加商品成功"));
    input_->focusCode();
}

void CSaleView::removeSelected() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) {
        shell().reportFailure(QStringLiteral("购物列表中未选择任何项目"));
        input_->focusCode();
        return;
    }
    table_->clearSelection();
    const int removed = list_.removeRows(rows);
    model_->rowsReset();
    recountAndShow();
    shell().showStatus(removedText(removed));
    shell().updateCommands();
    input_->focusCode();
}

void CSaleView::checkout() {
    if (list_.totals().quantity <= 0) {
        shell().reportFailure(QStringLiteral("购物列表为空"));
        input_->focusCode();
        return;
    }
    const int64_t due = list_.totals().amount;
    CPaymentDlg pay(shell(), due, shell().window());
    runDialog_(pay);
    if (pay.resultCode() != 1) {
        if (pay.resultCode() == -1) shell().showStatus(QStringLiteral("放弃该次销售结算操作"));
        input_->focusCode();
        return;
    }
    const int64_t paid = pay.paidTenths();
    readRules();

    AppState& st = shell().state();
    const int64_t saleTime = now();
    std::vector<ReceiptLine> lines;
    SaleCounterState& c = counter();
    // The units, the member's points and the journal entry are one write: a
    // sale is stored whole or not at all.
    SaleParty party;
    party.cashier = st.currentUser.FUs_Name;
    party.member = c.hasMember() ? &c.member : nullptr;
    party.payments = pay.payments();
    const SaleWrite write = writeSale(st.core, list_, saleTime, party, due, lines);
    if (write.sold < 1) {
        // Nothing was written: the list, the member and the totals stay for a retry.
        // A full disk is named, so the cashier knows a retry needs room first.
        const QString cause =
            vorn::Core::is_disk_full(write.rc) ? QStringLiteral("磁盘空间不足") : storeFailureCause();
        QString failure;
        if (write.sold == kSoldMissing && soldElsewhere(st.core, write.goneIds)) {
            // Sold at another till meanwhile: other units of their codes take
            // their place where the stock has them, else they leave the list;
            // the rest stays for the next try.
            QStringList codes;
            for (const std::string& code : write.goneCodes)
                if (!codes.contains(fromGbk(code))) codes << fromGbk(code);
            table_->clearSelection();
            const int gone = static_cast<int>(write.goneIds.size());
            const int back = replaceGone(st.core, list_, write, counter().memberType(), st.types);
            model_->rowsReset();
            recountAndShow();
            const QString what = codes.join(QStringLiteral("\"、\""));
            failure = back == gone
                          ? QStringLiteral("商品已在其他收银台售出：编码为\"%1\"的商品已换为库存中的同编码商品，"
                                           "请核对后再次结算，商品\"销售结算\"失败，放弃该次\"销售结算\"操作")
                                .arg(what)
                          : QStringLiteral("商品已在其他收银台售出：编码为\"%1\"的商品库存不足，已从购物列表中去掉%2件，"
                                           "商品\"销售结算\"失败，放弃该次\"销售结算\"操作")
                                .arg(what)
                                .arg(gone - back);
        } else if (write.sold == kSoldMissing)
            failure = QStringLiteral(
                "购物列表中有商品已不在库存中，商品\"销售结算\"失败，放弃该次\"销售结算\"操作");
        else if (write.sold == kSoldPointsFailed)
            failure = withCause(
                QStringLiteral(
                    "未知异常导致编号为\"%1\"的会员本次的%2个积分记入失败，放弃该次\"销售结算\"操作")
                    .arg(fromGbk(c.member.FVs_Code))
                    .arg(write.credit.earned),
                cause);
        else
            failure = withCause(QStringLiteral("未知异常导致商品\"销售结算\"失败，放弃该次\"销售结算\"操作"),
                                cause);
        shell().reportFailure(failure);
        input_->focusCode();
        return;
    }
    table_->clearSelection();
    model_->rowsReset();
    output_->setAmounts(due, paid, write.change);

    ReceiptData& r = receipt();
    r.lines = std::move(lines);
    r.cashier = fromGbk(st.currentUser.FUs_Name);
    r.paid = tenthsValue(paid);
    r.memberCode = c.hasMember() ? fromGbk(c.member.FVs_Code) : QString();
    r.memberPoints = -1;
    r.creditedPoints.reset();
    r.number = QString::fromStdString(write.number);
    r.payments = receiptPayments(party.payments);
    r.changeTenths = write.change;
    r.reprint = false;
    c.lastSaleTime = saleTime;
    c.lastSaleId = write.saleId;

    // The member's points, before the receipt is offered so that it shows them.
    QString pointsNote;
    if (c.hasMember()) {
        const PointsCredit& credit = write.credit;
        c.member.FVi_Grade = credit.balance;
        r.creditedPoints = credit.credited;
        if (credit.credited < credit.earned)
            pointsNote = QStringLiteral("销售结算成功，编号为\"%1\"的会员积分已达上限%2，本次记入%3个积分")
                             .arg(fromGbk(c.member.FVs_Code))
                             .arg(kMaxPoints)
                             .arg(credit.credited);
        r.memberPoints = c.member.FVi_Grade;
        c.dropMember();
        showMember();
    }

    // The shop may skip the question: every receipt printed, or none.
    bool printIt = rules_.after_sale == vorn::kAfterSalePrint;
    if (rules_.after_sale == vorn::kAfterSaleAsk) {
        CSalePrintDlg done(shell().window());
        done.showSale(r);
        runDialog_(done);
        printIt = done.printRequested();
    }
    PrintOutcome printed;
    if (printIt)
        printed = printReceipt(shell(), r, saleTime);
    else
        openDrawerForSale(shell(), r, saleTime, loadReceiptPrinter());

    if (FrameServices* frame = frameServices(shell())) frame->runReminderCheck(cmd::Alarm);

    list_.recount();
    showFooters();
    // The sale is stored whatever became of the receipt; the status line says
    // both, so a receipt that went to a file or nowhere is not hidden by it.
    if (printIt && !printed.ok)
        shell().reportFailure(QStringLiteral("销售结算成功，但小票未能打印：%1").arg(printed.error));
    else if (printIt && !printed.pdfPath.isEmpty())
        shell().showStatus(QStringLiteral("销售结算成功，小票已保存为PDF文件\"%1\"").arg(printed.pdfPath));
    else if (!pointsNote.isEmpty())
        shell().showStatus(pointsNote);
    else
        shell().showStatus(QStringLiteral("销售结算成功"));
    shell().updateCommands();
    // The next customer starts from one piece, not from the last line's quantity.
    input_->resetQuantity();
    input_->focusCode();
}

// ---- Member and goods discount --------------------------------------------------------

void CSaleView::memberDiscount() {
    CSaleVIPDlg dlg(shell(), shell().window());
    if (runDialog_(dlg) != QDialog::Accepted) {
        shell().showStatus(QStringLiteral("放弃该次会员\"折扣\"操作"));
        input_->focusCode();
        return;
    }
    SaleCounterState& c = counter();
    c.member = dlg.member();
    list_.applyMemberPrices(c.member.FVi_Type);
    model_->pricesChanged();
    recountAndShow();
    showMember();
    shell().showStatus(
        QStringLiteral("会员\"折扣\"成功，编号(%1)姓名(%2)的会员享受\"%3\"的折扣")
            .arg(fromGbk(c.member.FVs_Code), fromGbk(c.member.FVs_Name), memberTypeText(c.member.FVi_Type)));
    input_->focusCode();
}

void CSaleView::goodsDiscount() {
    CSaleDiscountDlg dlg(shell(), list_, selectedRows(), shell().window());
    if (runDialog_(dlg) != QDialog::Accepted) {
        shell().showStatus(QStringLiteral("放弃该次商品\"打折\"操作"));
        input_->focusCode();
        return;
    }
    model_->pricesChanged();
    recountAndShow();
    shell().showStatus(QStringLiteral("商品\"打折\"成功"));
    input_->focusCode();
}

} // namespace vorn::ui

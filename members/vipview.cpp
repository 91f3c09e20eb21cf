#include "vipview.h"

#include <QDialog>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "membercells.h"
#include "memberexport.h"
#include "memberimport.h"
#include "memberlimits.h"
#include "membermodel.h"
#include "memberquery.h"
#include "memberrows.h"
#include "vipadddlg.h"
#include "vipinputdlg.h"
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
class MemberLineDelegate : public QStyledItemDelegate {
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

QString searchedText(int n) {
    return QStringLiteral("在当前设定条件下，\"搜索\"到%1个会员").arg(n);
}

} // namespace

CVIPView::CVIPView(Shell& shell, QWidget* parent)
    : CPage(shell, parent), runDialog_([](QDialog& d) { return d.exec(); }), askSpan_(askMemberSpan) {
    setObjectName(QStringLiteral("vipView"));
    setAttribute(Qt::WA_StyledBackground);
    buildList();
    // The panel is a window of its own beside the main window; it lives as long
    // as the page, hidden until an edit opens it.
    panel_ = new CVIPInputDlg(shell, shell.window());
    connect(panel_, &CVIPInputDlg::editFinished, this, &CVIPView::onEditFinished);
    connect(panel_, &CVIPInputDlg::visibilityChanged, this, [this] { this->shell().updateCommands(); });
}

CVIPView::~CVIPView() {
    // The panel must not report its hiding to a page that is going away.
    if (panel_) panel_->disconnect(this);
    delete panel_.data();
    // The loaded rows belong to this page's life; nothing points into them now.
    std::vector<vorn::VIPRec>().swap(shell().state().members);
}

void CVIPView::buildList() {
    model_ = new MemberModel(shell().state(), this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("memberList"));
    table_->setModel(model_);
    table_->setItemDelegate(new MemberLineDelegate(table_));
    setUpRecordList(table_);
    QHeaderView* header = table_->horizontalHeader();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(24);
    for (int c = 0; c < MemberColumnCount; ++c) {
        header->setSectionResizeMode(c, QHeaderView::Interactive);
        header->resizeSection(c, memberColumn(c).width);
    }
    connect(header, &QHeaderView::sortIndicatorChanged, this, &CVIPView::onSortIndicator);

    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const int row = index.row();
        if (!index.isValid() || row < 0 || static_cast<size_t>(row) >= shell().state().members.size()) return;
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
}

CVIPInputDlg* CVIPView::panel() const {
    return panel_.data();
}

bool CVIPView::panelVisible() const {
    return panel_ && panel_->isVisible();
}

bool CVIPView::isCommandEnabled(int id) const {
    switch (id) {
    case cmd::SearchMember:
    case cmd::ImportMembers: // an import reloads the list the panel works on
        return !panelVisible();
    case cmd::ExportMembers:
        return hasRecord_;
    case cmd::DeleteMember:
        return hasRecord_ && !panelVisible();
    case cmd::EditMember:
        return hasRecord_;
    case cmd::AddMember:
    case cmd::MemberCode:
    case cmd::MemberName:
    case cmd::MemberType:
    case cmd::CreateTime:
    case cmd::ClearMemberSearch:
    case cmd::MemberSheets:
        return true;
    default:
        return false;
    }
}

bool CVIPView::onCommand(int id) {
    switch (id) {
    case cmd::SearchMember:
        // The panel works on loaded rows; a new search would pull them away.
        if (!panelVisible()) search();
        return true;
    case cmd::CreateTime:
        chooseSpan();
        return true;
    case cmd::ClearMemberSearch:
        clearSearch();
        return true;
    case cmd::AddMember:
        addMembers();
        return true;
    case cmd::EditMember:
        editSelected();
        return true;
    case cmd::DeleteMember:
        if (hasRecord_ && !panelVisible()) deleteSelected();
        return true;
    case cmd::ImportMembers:
        if (!panelVisible()) importMembers(*this);
        return true;
    case cmd::ExportMembers:
        if (hasRecord_) exportMembers(*this);
        return true;
    case cmd::MemberCode:
    case cmd::MemberName:
    case cmd::MemberType:
    case cmd::MemberSheets:
        return true; // read at the next search; the pop-up is the frame's
    default:
        return false;
    }
}

// ---- Search and list --------------------------------------------------------

void CVIPView::search() {
    AppState& st = shell().state();
    MemberSearch in;
    in.code = shell().ribbonText(cmd::MemberCode);
    in.name = shell().ribbonText(cmd::MemberName);
    in.type = shell().ribbonText(cmd::MemberType);
    const auto& span = st.spans[cmd::CreateTime];
    in.createdFrom = span.from;
    in.createdTo = span.to;
    std::string condition;
    if (!buildMemberCondition(in, condition)) {
        shell().reportFailure(unrepresentableTextMessage());
        return;
    }
    condition_ = std::move(condition);
    loadRows();
    shell().showStatus(searchedText(hasRecord_ ? static_cast<int>(st.members.size()) : 0));
}

void CVIPView::reload() {
    loadRows();
}

bool CVIPView::loadRows() {
    AppState& st = shell().state();
    // Let go of the old rows before the new ones arrive.
    table_->clearSelection();
    std::vector<vorn::VIPRec>().swap(st.members);
    hasRecord_ = false;
    model_->resetRows();

    std::vector<vorn::VIPRec> rows;
    int n = -1;
    vorn::Core& core = st.core;
    const std::string condition = condition_;
    const std::string sort = sortClause_;
    runBusy(shell().window(), [&] { n = loadMembers(core, condition, sort, rows); });
    st.members = std::move(rows);
    hasRecord_ = n >= 1;
    model_->resetRows();
    shell().updateCommands();
    return n >= 0;
}

void CVIPView::sortBy(int column, bool ascending) {
    table_->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CVIPView::onSortIndicator(int section, Qt::SortOrder order) {
    const std::string clause = memberSortClause(section, order == Qt::AscendingOrder);
    if (clause.empty()) {
        // The remark cannot be sorted: put the arrow back where the list is sorted.
        QSignalBlocker block(table_->horizontalHeader());
        table_->horizontalHeader()->setSortIndicator(sortSection_, sortOrder_);
        return;
    }
    sortSection_ = section;
    sortOrder_ = order;
    sortClause_ = clause;
    loadRows();
}

// ---- Search inputs on the ribbon ----------------------------------------------

void CVIPView::chooseSpan() {
    auto& span = shell().state().spans[cmd::CreateTime];
    const MemberSpanAnswer a = askSpan_(span.from, span.to, shell().window());
    if (a.outcome == 1) {
        span.from = a.from;
        span.to = a.to;
        shell().setRibbonCaption(cmd::CreateTime,
                                 QStringLiteral("%1: %2 到 %3")
                                     .arg(caption(cmd::CreateTime), a.from.toString(QStringLiteral("yyyy-MM-dd")),
                                          a.to.toString(QStringLiteral("yyyy-MM-dd"))));
    } else if (a.outcome == 0) {
        span = {};
        shell().setRibbonCaption(cmd::CreateTime, caption(cmd::CreateTime));
    }
}

void CVIPView::clearSearch() {
    shell().setRibbonText(cmd::MemberCode, QString());
    shell().setRibbonText(cmd::MemberName, QString());
    shell().setRibbonIndex(cmd::MemberType, -1);
    shell().state().spans[cmd::CreateTime] = {};
    shell().setRibbonCaption(cmd::CreateTime, caption(cmd::CreateTime));
}

// ---- Entry, editing, deleting -------------------------------------------------

void CVIPView::addMembers() {
    CVIPAddDlg dlg(shell(), shell().window());
    const int closed = runDialog_(dlg);
    const int result = dlg.insertResult();
    if (closed != QDialog::Accepted)
        shell().showStatus(QStringLiteral("放弃该次会员\"添加\"操作"));
    else if (result > 0)
        shell().showStatus(QStringLiteral("成功\"添加\"%1个会员").arg(result));
    else if (result == 0)
        shell().showStatus(QStringLiteral("未\"添加\"任何会员"));
    else
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致会员\"添加\"失败，放弃该次\"添加\"操作")));
}

bool CVIPView::collectSelection(std::vector<int>& rows, const QString& tooMany) const {
    rows.clear();
    const size_t loaded = shell().state().members.size();
    const QModelIndexList picked = table_->selectionModel()->selectedRows();
    for (const QModelIndex& i : picked)
        if (i.row() >= 0 && static_cast<size_t>(i.row()) < loaded) rows.push_back(i.row());
    if (rows.size() > static_cast<size_t>(kMaxBatchMembers)) {
        shell().reportFailure(tooMany.arg(kMaxBatchMembers));
        rows.clear();
        return false;
    }
    return true;
}

void CVIPView::editSelected() {
    std::vector<int> rows;
    if (!collectSelection(rows, QStringLiteral("一次\"编辑\"的会员数量太多，不能超过上限%1个"))) return;
    if (!rows.empty()) openEditor(rows);
}

void CVIPView::openEditor(const std::vector<int>& rows) {
    if (panel_) panel_->openFor(rows);
}

void CVIPView::onEditFinished(int result) {
    if (result > 0) {
        shell().showStatus(QStringLiteral("成功\"编辑\"%1个会员").arg(result));
        model_->refreshRows();
    } else if (result == 0) {
        shell().showStatus(QStringLiteral("未\"编辑\"任何会员"));
    } else {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致会员\"编辑\"失败，放弃该次\"编辑\"操作")));
        // Show what the store holds, whatever the panel or the store left behind.
        loadRows();
    }
}

void CVIPView::deleteSelected() {
    std::vector<int> rows;
    if (!collectSelection(rows, QStringLiteral("一次\"删除\"的会员太多，不能超过上限%1个"))) return;
    if (rows.empty()) return;
    if (!askYesNo(shell().window(), QStringLiteral("你的下一步操作将永久\"删除\"会员，是否要继续？"))) return;

    AppState& st = shell().state();
    std::vector<vorn::VIPRec*> members;
    members.reserve(rows.size());
    for (int r : rows)
        members.push_back(&st.members[static_cast<size_t>(r)]);
    vorn::Core& core = st.core;
    int result = -1;
    runBusy(shell().window(),
            [&] { result = core.delete_viprec(members.data(), static_cast<int>(members.size())); });
    if (result <= 0) {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致会员\"删除\"失败，放弃该次\"删除\"操作")));
        return;
    }
    table_->clearSelection();
    removeMemberRows(st.members, rows);
    if (st.members.empty()) hasRecord_ = false;
    model_->resetRows();
    shell().showStatus(QStringLiteral("成功\"删除\"%1个会员").arg(rows.size()));
    shell().updateCommands();
}

} // namespace vorn::ui

#include "vipview.h"

#include <QDialog>

#include "memberexport.h"
#include "memberimport.h"
#include "memberlimits.h"
#include "memberquery.h"
#include "vipadddlg.h"
#include "vipinputdlg.h"
#include "memberstate.h"
#include "kit/page/appstate.h"
#include "kit/page/pagehost.h"
#include "kit/page/shell.h"
#include "res/commandids.h"

namespace vorn::ui {

namespace {

ListCommands memberCommands() {
    ListCommands c;
    c.search = cmd::SearchMember;
    c.clear = cmd::ClearMemberSearch;
    c.add = cmd::AddMember;
    c.edit = cmd::EditMember;
    c.remove = cmd::DeleteMember;
    c.importer = cmd::ImportMembers;
    c.exporter = cmd::ExportMembers;
    c.texts = {cmd::MemberCode, cmd::MemberName};
    c.combos = {cmd::MemberType};
    c.spans = {cmd::CreateTime};
    c.inputs = {cmd::MemberSheets};
    return c;
}

ListWords memberWords() {
    ListWords w;
    w.searched = QStringLiteral("在当前设定条件下，\"搜索\"到%1个会员");
    w.tooManyEdit = QStringLiteral("一次\"编辑\"的会员数量太多，不能超过上限%1个");
    w.tooManyDelete = QStringLiteral("一次\"删除\"的会员太多，不能超过上限%1个");
    w.confirmDelete = QStringLiteral("你的下一步操作将永久\"删除\"会员，是否要继续？");
    w.deleted = QStringLiteral("成功\"删除\"%1个会员");
    w.deleteFailed = QStringLiteral("未知异常导致会员\"删除\"失败，放弃该次\"删除\"操作");
    w.edited = QStringLiteral("成功\"编辑\"%1个会员");
    w.editedNone = QStringLiteral("未\"编辑\"任何会员");
    w.editFailed = QStringLiteral("未知异常导致会员\"编辑\"失败，放弃该次\"编辑\"操作");
    return w;
}

} // namespace

CVIPView::CVIPView(Shell& shell, QWidget* parent)
    : RecordListPage(shell, memberState(shell).rows, loadMembers, memberCommands(), memberWords(), kMaxBatchMembers,
                     parent) {
    setObjectName(QStringLiteral("vipView"));
    setAttribute(Qt::WA_StyledBackground);
    model_ = new MemberModel(shell.state(), this);
    buildList(model_, QStringLiteral("memberList"), -1);

    auto* panel = new CVIPInputDlg(shell, shell.window());
    attachPanel(panel);
    connect(panel, &CVIPInputDlg::editFinished, this, [this](int result) { finishEdit(result, false); });
    connect(panel, &CVIPInputDlg::visibilityChanged, this, [this] { this->shell().updateCommands(); });
}

CVIPInputDlg* CVIPView::panel() const {
    return static_cast<CVIPInputDlg*>(panelWidget());
}

vorn::Core& CVIPView::store() {
    return shell().state().core;
}

bool CVIPView::buildCondition(std::string& out) {
    MemberSearch in;
    in.code = shell().ribbonText(cmd::MemberCode);
    in.name = shell().ribbonText(cmd::MemberName);
    in.type = shell().ribbonText(cmd::MemberType);
    const auto& span = memberState(shell()).spans[cmd::CreateTime];
    in.createdFrom = span.from;
    in.createdTo = span.to;
    return buildMemberCondition(in, out);
}

std::string CVIPView::orderFor(int section, bool ascending) const {
    return memberSortClause(section, ascending);
}

CRecordListPage::SpanDates CVIPView::spanDates(int id) {
    auto& span = memberState(shell()).spans[id];
    return {span.from, span.to};
}

void CVIPView::openPanel(const std::vector<int>& rows) {
    panel()->openFor(rows);
}

void CVIPView::importRecords() {
    importMembers(importHostOf(*this));
}

void CVIPView::exportRecords() {
    exportMembers(shell(), shownRows(*this, rows()));
}

void CVIPView::addRecords() {
    CVIPAddDlg dlg(shell(), shell().window());
    runAndReport(dlg, [&dlg] { return dlg.insertResult(); },
                 {QStringLiteral("放弃该次会员\"添加\"操作"), QStringLiteral("成功\"添加\"%1个会员"),
                  QStringLiteral("未\"添加\"任何会员"),
                  QStringLiteral("未知异常导致会员\"添加\"失败，放弃该次\"添加\"操作")});
}

} // namespace vorn::ui

#include "vipview.h"

#include "memberexport.h"
#include "memberimport.h"
#include "memberquery.h"
#include "memberstate.h"
#include "membercells.h"
#include "vipadddlg.h"
#include "vipinputdlg.h"
#include "kit/page/shell.h"
#include "res/commandids.h"

namespace vorn::ui {

namespace {

const ListNouns kNouns{QStringLiteral("会员"), QStringLiteral("会员"), QStringLiteral("个"), QStringLiteral("会员")};

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
    ListWords w = listWords(kNouns);
    // The member list has always said this one without "数量".
    w.tooManyDelete = QStringLiteral("一次\"删除\"的会员太多，不能超过上限%1个");
    return w;
}

} // namespace

CVIPView::CVIPView(Shell& shell, QWidget* parent)
    : RecordListPage(shell, memberState(shell), memberCommands(), memberWords(), parent) {
    setObjectName(QStringLiteral("vipView"));
    setAttribute(Qt::WA_StyledBackground);
    buildList(memberColumns(), memberCellText, QStringLiteral("memberList"), -1);
    attachPanel(new CVIPInputDlg(shell, shell.window()));
    setSheets(importMembers, exportMembers);
}

CVIPInputDlg* CVIPView::panel() const {
    return static_cast<CVIPInputDlg*>(panelWidget());
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

void CVIPView::addRecords() {
    CVIPAddDlg dlg(shell(), shell().window());
    runAndReport(dlg, [&dlg] { return dlg.insertResult(); }, dialogWords(kNouns, QStringLiteral("添加"), false));
}

} // namespace vorn::ui

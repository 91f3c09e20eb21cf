// An exported member file has one heading row and then one member per row, in
// the member list's columns and order:
//
//   会员编号, 类型, 会员名称, 生日, 积分, e-mail, 联系方式, 地址, 创建日期, 备注
//
// 类型 is "普通会员" or "金卡会员"; 生日 is a date "yyyy-MM-dd" and 创建日期 a
// time "yyyy-MM-dd hh:mm:ss" (both empty when not set); 积分 is a whole number.
// The member import reads files with these headings back.
#include "memberexport.h"

#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "membercells.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

namespace {

void memberCells(const vorn::VIPRec& m, std::vector<SheetCell>& cells) {
    for (int c = 0; c < MemberColumnCount; ++c) {
        if (c == MColGrade)
            cells.push_back(SheetCell::num(m.FVi_Grade));
        else
            cells.push_back(SheetCell::str(memberCellText(m, c)));
    }
}

} // namespace

RecordSheet<vorn::VIPRec> memberSheet() {
    QStringList headings;
    for (int c = 0; c < MemberColumnCount; ++c)
        headings << QString::fromUtf8(memberColumns()[static_cast<size_t>(c)].caption);
    return {QStringLiteral("会员"), headings, memberCells};
}

void exportMembers(Shell& shell, std::span<const vorn::VIPRec> shown) {
    exportRecordSheet(shell, caption(cmd::ExportMembers), memberSheet(), shown);
}

} // namespace vorn::ui

// An exported member file has one heading row and then one member per row, in
// the member list's columns and order:
//
//   会员编号, 类型, 会员名称, 生日, 积分, e-mail, 联系方式, 地址, 创建日期, 备注
//
// 类型 is "普通会员" or "金卡会员"; 生日 is a date "yyyy-MM-dd" and 创建日期 a
// time "yyyy-MM-dd hh:mm:ss" (both empty when not set); 积分 is a whole number.
// The member import reads files with these headings back.
#include "memberexport.h"

#include <QDateTime>
#include <QDir>

#include "kit/appstate.h"
#include "kit/busy.h"
#include "kit/clock.h"
#include "kit/gbk.h"
#include "kit/sheetwriter.h"
#include "kit/shell.h"
#include "membercells.h"
#include "membermodel.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "vipview.h"

namespace vorn::ui {

namespace {

// Lists shorter than this are written before the busy window would even show.
constexpr size_t kBusyFrom = 5000;

void memberCells(const vorn::VIPRec& m, std::vector<SheetCell>& cells) {
    for (int c = 0; c < MemberColumnCount; ++c) {
        if (c == MColGrade)
            cells.push_back(SheetCell::num(m.FVi_Grade));
        else
            cells.push_back(SheetCell::str(memberCellText(m, c)));
    }
}

QString dialogTitle() {
    QString title = caption(cmd::ExportMembers);
    while (title.endsWith(u'.'))
        title.chop(1);
    return title;
}

} // namespace

QStringList memberSheetHeadings() {
    QStringList names;
    for (int c = 0; c < MemberColumnCount; ++c)
        names << QString::fromUtf8(memberColumn(c).caption);
    return names;
}

bool writeMemberSheet(const QString& path, std::span<const vorn::VIPRec> members,
                      const std::function<void(int)>& progress, QString* error) {
    return writeSheet(
        path, QStringLiteral("会员"), memberSheetHeadings(), members.size(),
        [&](size_t i, std::vector<SheetCell>& cells) { memberCells(members[i], cells); }, progress, error);
}

void exportMembers(CVIPView& view) {
    Shell& shell = view.shell();
    AppState& st = shell.state();
    // The rows the list shows: the model's count, never more than are loaded.
    const size_t count = std::min(static_cast<size_t>(view.model()->rowCount()), st.members.size());
    if (count == 0) {
        shell.showStatus(QStringLiteral("未\"导出\"任何会员"));
        return;
    }
    const QString day = QDateTime::fromSecsSinceEpoch(now()).toString(QStringLiteral("yyyyMMdd"));
    const QString path =
        askExportPath(shell.window(), dialogTitle(), QStringLiteral("会员-%1.xlsx").arg(day));
    if (path.isEmpty()) {
        shell.showStatus(QStringLiteral("放弃该次会员\"导出\"操作"));
        return;
    }

    // The job reads the loaded rows in place: nothing changes them while the
    // busy window holds the user's input.
    const std::span<const vorn::VIPRec> members(st.members.data(), count);
    bool ok = false;
    QString error;
    if (count < kBusyFrom) {
        ok = writeMemberSheet(path, members, {}, &error);
    } else {
        runBusyWithProgress(shell.window(), [&](BusyProgress& progress) {
            ok = writeMemberSheet(
                path, members, [&progress](int p) { progress.set(p); }, &error);
        });
    }
    if (ok)
        shell.showStatus(
            QStringLiteral("已导出%1条会员记录到\"%2\"").arg(count).arg(QDir::toNativeSeparators(path)));
    else
        shell.reportFailure(QStringLiteral("会员\"导出\"失败：%1，放弃该次\"导出\"操作").arg(error));
}

} // namespace vorn::ui

#include "membercells.h"

#include <QDateTime>
#include <QStringList>
#include <QTime>

#include "kit/text/conditions.h"
#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

// "积分" sorts by the points themselves: a header that offers the click should
// also order the list.
const RecordColumn kColumns[MemberColumnCount] = {
    {"会员编号", 128, kCellLeft, "FVs_Code"}, {"类型", 96, kCellLeft, "FVi_Type"},
    {"会员名称", 128, kCellLeft, "FVs_Name"}, {"生日", 128, kCellCentre, "FVt_BirT"},
    {"积分", 96, kCellRight, "FVi_Grade"},    {"e-mail", 128, kCellLeft, "FVs_EMail"},
    {"联系方式", 128, kCellLeft, "FVs_Phone"}, {"地址", 200, kCellLeft, "FVs_Addr"},
    {"创建日期", 160, kCellCentre, "FVt_CreT"}, {"备注", 128, kCellLeft, nullptr},
};

// Each column's text, in the columns' order.
const CellText<vorn::VIPRec> kCells[MemberColumnCount] = {
    [](const vorn::VIPRec& m) { return fromGbk(m.FVs_Code); },
    [](const vorn::VIPRec& m) { return choiceText(vipTypes(), m.FVi_Type); },
    [](const vorn::VIPRec& m) { return fromGbk(m.FVs_Name); },
    [](const vorn::VIPRec& m) { return QString::fromStdString(vorn::format_date(m.FVt_BirT)); },
    [](const vorn::VIPRec& m) { return QString::number(m.FVi_Grade); },
    [](const vorn::VIPRec& m) { return fromGbk(m.FVs_EMail); },
    [](const vorn::VIPRec& m) { return fromGbk(m.FVs_Phone); },
    [](const vorn::VIPRec& m) { return fromGbk(m.FVs_Addr); },
    [](const vorn::VIPRec& m) { return QString::fromStdString(vorn::format_time(m.FVt_CreT)); },
    [](const vorn::VIPRec& m) { return fromGbk(m.FVs_Remark); },
};

QDateTime localOf(int64_t t) {
    return QDateTime::fromSecsSinceEpoch(t, Qt::LocalTime);
}

} // namespace

std::span<const RecordColumn> memberColumns() {
    return kColumns;
}

std::span<const ChoiceValue> vipTypes() {
    static const ChoiceValue types[] = {{QStringLiteral("普通会员"), 0}, {QStringLiteral("金卡会员"), 1}};
    return types;
}

QString memberCellText(const vorn::VIPRec& m, int c) {
    return cellTextOf<vorn::VIPRec>(kCells, m, c);
}

int64_t birthdayOf(const QDate& day) {
    return vorn::local_time_of(day.year(), day.month(), day.day(), 0, 0, 1);
}

QDate localDateOf(int64_t t) {
    return t == 0 ? QDate() : localOf(t).date();
}

int64_t atTimeOfDay(const QDate& day, int64_t timeOfDay) {
    const QTime time = localOf(timeOfDay).time();
    return vorn::local_time_of(day.year(), day.month(), day.day(), time.hour(), time.minute(), time.second());
}

} // namespace vorn::ui

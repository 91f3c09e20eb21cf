#include "membercells.h"

#include <QDateTime>
#include <QStringList>
#include <QTime>

#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

// "积分" sorts by the points themselves: a header that offers the click should
// also order the list.
const MemberColumnInfo kColumns[MemberColumnCount] = {
    {"会员编号", 128, kCellLeft, "FVs_Code"}, {"类型", 96, kCellLeft, "FVi_Type"},
    {"会员名称", 128, kCellLeft, "FVs_Name"}, {"生日", 128, kCellCentre, "FVt_BirT"},
    {"积分", 96, kCellRight, "FVi_Grade"},    {"e-mail", 128, kCellLeft, "FVs_EMail"},
    {"联系方式", 128, kCellLeft, "FVs_Phone"}, {"地址", 200, kCellLeft, "FVs_Addr"},
    {"创建日期", 160, kCellCentre, "FVt_CreT"}, {"备注", 128, kCellLeft, nullptr},
};

QDateTime localOf(int64_t t) {
    return QDateTime::fromSecsSinceEpoch(t, Qt::LocalTime);
}

} // namespace

std::span<const RecordColumn> memberColumns() {
    return kColumns;
}

QString vipTypeText(int type) {
    switch (type) {
    case 0:
        return QStringLiteral("普通会员");
    case 1:
        return QStringLiteral("金卡会员");
    default:
        return QStringLiteral("Err");
    }
}

QStringList vipTypeNames() {
    return {vipTypeText(0), vipTypeText(1)};
}

QString memberCellText(const vorn::VIPRec& m, int c) {
    switch (c) {
    case MColCode:
        return fromGbk(m.FVs_Code);
    case MColType:
        return vipTypeText(m.FVi_Type);
    case MColName:
        return fromGbk(m.FVs_Name);
    case MColBirT:
        return QString::fromStdString(vorn::format_date(m.FVt_BirT));
    case MColGrade:
        return QString::number(m.FVi_Grade);
    case MColEMail:
        return fromGbk(m.FVs_EMail);
    case MColPhone:
        return fromGbk(m.FVs_Phone);
    case MColAddr:
        return fromGbk(m.FVs_Addr);
    case MColCreT:
        return QString::fromStdString(vorn::format_time(m.FVt_CreT));
    case MColRemark:
        return fromGbk(m.FVs_Remark);
    default:
        return QStringLiteral("Err");
    }
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

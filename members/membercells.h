// What the member list shows: its ten columns, the texts of its cells and the
// few conversions both member dialogs share (type names, birthdays, points).
// No widgets here, so the list model and the dialogs word a member the same way.
#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

#include "kit/page/recordmodel.h"
#include "kit/text/conditions.h"
#include "vorn/records.h"

namespace vorn::ui {

// The ten columns of the member list; the number is also the sort key's index.
enum MemberColumn {
    MColCode,
    MColType,
    MColName,
    MColBirT,
    MColGrade,
    MColEMail,
    MColPhone,
    MColAddr,
    MColCreT,
    MColRemark,
    MemberColumnCount
};

// All of them, in order, as the list model takes them.
std::span<const RecordColumn> memberColumns();

// The member types by code: "普通会员" 0, "金卡会员" 1, in combo box order (item
// index = type code); choiceText() words a code, "Err" for one none has.
std::span<const ChoiceValue> vipTypes();

// Text of column c for one member ("Err" for a column past the last).
QString memberCellText(const vorn::VIPRec& member, int c);

// A birthday picked as a calendar day: that day at 00:00:01 local time, one
// second past midnight so that no birthday, not even 1970-01-01 where local time
// is UTC, comes out as 0, which means "not set".
int64_t birthdayOf(const QDate& day);
// The local calendar day of a stored time; null for 0 (not set).
QDate localDateOf(int64_t t);
// The day again at the local time of day of `timeOfDay` (daylight saving decided
// as mktime does), as the editing panel writes a changed birthday back.
int64_t atTimeOfDay(const QDate& day, int64_t timeOfDay);


} // namespace vorn::ui

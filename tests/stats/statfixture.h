// A fresh store per test function (StoreFixture) and a way to put sold units
// into it at given local times.
#pragma once

#include <QDateTime>
#include <vector>

#include "storefixture.h"
#include "vorn/records.h"

namespace vorn::ui::test {

// One unit sold at `when` (local time) for `rea`, bought for `ori`.
inline vorn::SRec soldUnit(int type, double ori, double rea, const QDateTime& when, int flag = 1) {
    vorn::SRec r;
    r.FSs_Code = "6900000000001";
    r.FSs_Name = "unit";
    r.FSi_Type = type;
    r.FSs_Size = "S";
    r.FSd_OriP = ori;
    r.FSd_RetP = r.FSd_MemP = r.FSd_GolP = r.FSd_WhoP = r.FSd_SpeP = rea;
    r.FSt_StoT = QDateTime(QDate(2010, 1, 1), QTime(8, 0)).toSecsSinceEpoch();
    r.FSd_ReaP = rea;
    r.FSt_SalT = when.toSecsSinceEpoch();
    r.FSi_Flag = flag;
    r.FSi_Supplier = 1;
    return r;
}

inline QDateTime at(int y, int m, int d, int hh = 12, int mm = 0, int ss = 0) {
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss));
}

inline void insertUnits(vorn::Core& core, const std::vector<vorn::SRec>& units) {
    QCOMPARE(core.insert_srec(units.data(), static_cast<int>(units.size())), static_cast<int>(units.size()));
}

} // namespace vorn::ui::test

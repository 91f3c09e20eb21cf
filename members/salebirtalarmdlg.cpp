#include "salebirtalarmdlg.h"

#include <algorithm>
#include <vector>

#include "birthdaywindow.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

ReminderView birthdayView(const std::string& condition) {
    ReminderView v;
    v.objectName = QStringLiteral("saleBirtAlarmDlg");
    v.title = QStringLiteral("会员生日提醒");
    v.listName = QStringLiteral("birthdayList");
    v.before = QStringLiteral("当会员生日少于");
    v.after = QStringLiteral("天时提醒");
    v.columns = {
        {QStringLiteral("会员编号"), 128, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("会员名称"), 128, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("生日"), 128, Qt::AlignCenter},
    };
    // Two characters from the keyboard; a longer lead read from the store is
    // still shown whole, not cut to a different number.
    v.limitChars = 2;
    v.editWidth = 48;
    v.gridLines = true;
    v.rows = [condition](vorn::Core& core, int) {
        std::vector<ReminderRow> out;
        if (condition.empty()) return out;
        // The count of the last check is only a hint: the array must hold every
        // row the query returns now.
        const int n = core.get_viprec_count(condition.c_str());
        if (n <= 0) return out;
        std::vector<vorn::VIPRec> rows(static_cast<size_t>(n));
        const int got = core.select_viprec(rows.data(), condition.c_str());
        // After a failure the rows filled so far are shown; a filled row has its id.
        size_t shown = 0;
        if (got >= 0) {
            shown = std::min(rows.size(), static_cast<size_t>(got));
        } else {
            while (shown < rows.size() && rows[shown].FVi_Id != 0)
                ++shown;
        }
        const int64_t today = now();
        for (size_t i = 0; i < shown; ++i) {
            const vorn::VIPRec& m = rows[i];
            out.push_back({{fromGbk(m.FVs_Code), fromGbk(m.FVs_Name), QString::fromStdString(vorn::format_date(m.FVt_BirT))},
                           isBirthdayToday(m.FVt_BirT, today)});
        }
        return out;
    };
    v.refusal = [](int lead) {
        return lead < 0 || lead > CSaleBirtAlarmDlg::kMaxLimit ? QStringLiteral("会员生日提前\"0至25\"天提醒") : QString();
    };
    v.store = [](vorn::Core& core, int lead) { return core.set_birt_alarm_limit(lead); };
    v.storeFailure = QStringLiteral("未知异常导致\"会员生日提醒天数\"设置失败，放弃该次\"设置\"操作");
    return v;
}

} // namespace vorn::ui

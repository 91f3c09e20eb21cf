#include "salealarmdlg.h"

#include <algorithm>
#include <vector>

#include "kit/text/gbk.h"
#include "vorn/core.h"

namespace vorn::ui {

ReminderView stockAlarmView() {
    ReminderView v;
    v.objectName = QStringLiteral("saleAlarmDlg");
    v.title = QStringLiteral("库存报警");
    v.listName = QStringLiteral("alarmList");
    v.before = QStringLiteral("当商品库存数量低于");
    v.after = QStringLiteral("时报警");
    v.columns = {
        {QStringLiteral("商品编码"), 128, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("商品名称"), 192, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("数量"), 64, Qt::AlignRight | Qt::AlignVCenter},
    };
    v.limitChars = 12;
    v.editWidth = 96;
    v.gridLines = false;
    v.rows = [](vorn::Core& core, int limit) {
        std::vector<ReminderRow> out;
        // The count of the last check is only a hint: the array must hold every
        // row the query returns now.
        const int n = core.get_srec_alarm_count(limit);
        if (n <= 0) return out;
        std::vector<vorn::SRec> rows(static_cast<size_t>(n));
        const int got = core.select_srec_alarm(rows.data(), limit);
        // After a failure the rows filled so far are shown; every filled row
        // carries its count, so an empty count marks where the filling stopped.
        size_t shown = 0;
        if (got >= 0) {
            shown = std::min(rows.size(), static_cast<size_t>(got));
        } else {
            while (shown < rows.size() && !rows[shown].FSs_Remark.empty())
                ++shown;
        }
        for (size_t i = 0; i < shown; ++i)
            out.push_back({{fromGbk(rows[i].FSs_Code), fromGbk(rows[i].FSs_Name), fromGbk(rows[i].FSs_Remark)}});
        return out;
    };
    v.store = [](vorn::Core& core, int limit) { return core.set_alarm_limit(limit); };
    v.storeFailure = QStringLiteral("未知异常导致\"商品库存报警下限\"设置失败，放弃该次\"设置\"操作");
    return v;
}

} // namespace vorn::ui

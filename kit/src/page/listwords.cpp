#include "kit/page/listwords.h"

namespace vorn::ui {

ListWords listWords(const ListNouns& n) {
    ListWords w;
    w.searched = QStringLiteral("在当前设定条件下，\"搜索\"到%1") + n.measure + n.noun;
    const QString tooMany = QStringLiteral("的%1数量太多，不能超过上限%2").arg(n.noun, QStringLiteral("%1") + n.measure);
    w.tooManyEdit = QStringLiteral("一次\"编辑\"") + tooMany;
    w.tooManyDelete = QStringLiteral("一次\"删除\"") + tooMany;
    w.confirmDelete = QStringLiteral("你的下一步操作将永久\"删除\"%1，是否要继续？").arg(n.doomed);
    w.deleted = QStringLiteral("成功\"删除\"%1") + n.measure + n.info;
    w.deleteFailed = QStringLiteral("未知异常导致%1\"删除\"失败，放弃该次\"删除\"操作").arg(n.noun);
    w.edited = QStringLiteral("成功\"编辑\"%1") + n.measure + n.info;
    w.editedNone = QStringLiteral("未\"编辑\"任何") + n.info;
    w.editFailed = QStringLiteral("未知异常导致%1\"编辑\"失败，放弃该次\"编辑\"操作").arg(n.info);
    return w;
}

DialogWords dialogWords(const ListNouns& n, const QString& verb, bool failureTold) {
    const QString quoted = QLatin1Char('"') + verb + QLatin1Char('"');
    DialogWords w;
    w.cancelled = QStringLiteral("放弃该次") + n.noun + quoted + QStringLiteral("操作");
    w.done = QStringLiteral("成功") + quoted + QStringLiteral("%1") + n.measure + n.noun;
    w.none = QStringLiteral("未") + quoted + QStringLiteral("任何") + n.noun;
    if (!failureTold)
        w.failed = QStringLiteral("未知异常导致") + n.noun + quoted + QStringLiteral("失败，放弃该次") + quoted +
                   QStringLiteral("操作");
    return w;
}

} // namespace vorn::ui

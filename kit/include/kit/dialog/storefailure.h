// Failure sentences that name the cause where the store knows it.
#pragma once

#include <QString>

namespace vorn::ui {

// The cause of the latest failed store call as the user reads it
// ("磁盘空间不足"), or empty when it is none we can name.
QString storeFailureCause();
// A cause (non-empty) written into a failure sentence of the house pattern
// ("未知异常导致X失败，放弃该次…"): "未知异常导致X失败（cause），放弃该次…". A
// sentence without the pattern's comma gets the cause at its end.
QString withCause(const QString& sentence, const QString& cause);
// withCause() with storeFailureCause(): what a page reports after a failed write.
QString withStoreCause(const QString& sentence);

} // namespace vorn::ui

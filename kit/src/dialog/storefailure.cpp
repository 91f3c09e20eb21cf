#include "kit/dialog/storefailure.h"

#include "vorn/core.h"

namespace vorn::ui {

QString storeFailureCause() {
    if (vorn::Core::is_disk_full(vorn::Core::last_error())) return QStringLiteral("磁盘空间不足");
    return QString();
}

QString withCause(const QString& sentence, const QString& cause) {
    if (cause.isEmpty()) return sentence;
    const QString note = QStringLiteral("（%1）").arg(cause);
    const qsizetype comma = sentence.indexOf(QChar(u'，'));
    if (comma < 0) return sentence + note;
    return sentence.left(comma) + note + sentence.mid(comma);
}

QString withStoreCause(const QString& sentence) { return withCause(sentence, storeFailureCause()); }

} // namespace vorn::ui

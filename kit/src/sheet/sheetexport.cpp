#include "kit/sheet/sheetexport.h"

#include <QDateTime>
#include <QDir>

#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/sheet/sheetwriter.h"
#include "kit/page/shell.h"

namespace vorn::ui {

void runSheetExport(const SheetExportJob& job) {
    Shell& shell = job.shell;
    if (job.count == 0) {
        shell.showStatus(QStringLiteral("未\"导出\"任何%1").arg(job.noun));
        return;
    }
    QString title = job.title;
    while (title.endsWith(u'.'))
        title.chop(1);
    const QString day = QDateTime::fromSecsSinceEpoch(now()).toString(QStringLiteral("yyyyMMdd"));
    const QString path = askExportPath(shell.window(), title, QStringLiteral("%1-%2.xlsx").arg(job.noun, day));
    if (path.isEmpty()) {
        shell.showStatus(QStringLiteral("放弃该次%1\"导出\"操作").arg(job.noun));
        return;
    }

    bool ok = false;
    QString error;
    if (job.count < kExportUnderBusyWindow) {
        ok = job.write(path, {}, &error);
    } else {
        runBusyWithProgress(shell.window(), [&](BusyProgress& progress) {
            ok = job.write(path, [&progress](int p) { progress.set(p); }, &error);
        });
    }
    if (ok)
        shell.showStatus(QStringLiteral("已导出%1条%2记录到\"%3\"")
                             .arg(job.count)
                             .arg(job.noun, QDir::toNativeSeparators(path)));
    else
        shell.reportFailure(QStringLiteral("%1\"导出\"失败：%2，放弃该次\"导出\"操作").arg(job.noun, error));
}

} // namespace vorn::ui

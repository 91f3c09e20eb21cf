#include "memberimport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "kit/appstate.h"
#include "kit/busy.h"
#include "kit/clock.h"
#include "kit/importreport.h"
#include "kit/shell.h"
#include "kit/storefailure.h"
#include "memberimportcheck.h"
#include "memberlimits.h"
#include "vipview.h"

namespace vorn::ui {

namespace {

const QString& title() {
    static const QString t = QStringLiteral("导入会员");
    return t;
}

QString abandoned() {
    return QStringLiteral("放弃该次会员\"导入\"操作");
}

QString askImportFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, title(), QDir::currentPath(),
                                        QStringLiteral("CSV 文件 (*.csv *.txt);;所有文件 (*)"));
}

// The whole file, or an empty array after telling the user why not.
bool readImportFile(Shell& shell, const QString& path, QByteArray& bytes) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        shell.reportFailure(QStringLiteral("无法打开文件\"%1\"（%2），放弃该次会员\"导入\"操作")
                                .arg(name, file.errorString()));
        return false;
    }
    if (file.size() > kMaxMemberImportBytes) {
        const qint64 mb = 1024 * 1024;
        shell.reportFailure(QStringLiteral("文件\"%1\"有%2 MB，一次最多导入%3 MB，请分成几个文件后再导入")
                                .arg(name)
                                .arg((file.size() + mb - 1) / mb)
                                .arg(kMaxMemberImportBytes / mb));
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        shell.reportFailure(QStringLiteral("无法读取文件\"%1\"（%2），放弃该次会员\"导入\"操作")
                                .arg(name, file.errorString()));
        return false;
    }
    if (bytes.trimmed().isEmpty()) {
        shell.reportFailure(QStringLiteral("文件\"%1\"中没有任何内容，未\"导入\"任何会员").arg(name));
        return false;
    }
    return true;
}

} // namespace

std::vector<ImportField> memberImportFields() {
    std::vector<ImportField> fields;
    for (int f = 0; f < MemberImportFieldCount; ++f)
        fields.push_back({memberImportCaption(f), memberImportHeaders(f), f == MiCode});
    return fields;
}

void importMembers(CVIPView& view) {
    Shell& shell = view.shell();
    QWidget* window = shell.window();

    const QString path = view.importFileChooser() ? view.importFileChooser()(window) : askImportFile(window);
    if (path.isEmpty()) {
        shell.showStatus(abandoned());
        return;
    }
    QByteArray bytes;
    if (!readImportFile(shell, path, bytes)) return;

    std::vector<CsvRecord> records;
    std::vector<int> mapping;
    {
        CImportDlg dlg(title(), QFileInfo(path).fileName(), memberImportFields(), std::move(bytes), window);
        if (view.runDialog(dlg) != QDialog::Accepted) {
            shell.showStatus(abandoned());
            return;
        }
        records = dlg.records();
        mapping = dlg.mapping();
    }

    vorn::Core& core = shell.state().core;
    MemberImportCheck check;
    runBusy(
        window, [&] { check = checkMemberImport(records, mapping, storedMemberCodes(core)); },
        QStringLiteral("正在检查文件中的会员"));
    std::vector<CsvRecord>().swap(records);
    if (check.storeFailed) {
        shell.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致会员\"导入\"失败，放弃该次\"导入\"操作")));
        return;
    }

    const bool allowed = memberImportAllowed(check);
    {
        CImportReportDlg report(title(), memberImportSummary(check), check.problems, allowed, window);
        const int answer = view.runDialog(report);
        if (!allowed) {
            if (check.members.empty())
                shell.showStatus(QStringLiteral("未\"导入\"任何会员"));
            else
                shell.reportFailure(
                    QStringLiteral("一次导入会员数量太多，不能超过上限%1个").arg(kMaxBatchMembers));
            return;
        }
        if (answer != QDialog::Accepted) {
            shell.showStatus(abandoned());
            return;
        }
    }

    const int64_t created = now();
    int written = -1;
    runBusyWithProgress(window, [&](BusyProgress& progress) {
        written = writeMemberImport(core, check.members, created, [&progress](int done, int total) {
            progress.set(static_cast<int>(100LL * done / total));
        });
    });
    if (written < 0) {
        shell.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致会员\"导入\"失败，放弃该次\"导入\"操作")));
        return;
    }
    // A list that shows a search shows the store again with the page's own search
    // and order, so the new members appear where they belong. A page never searched
    // stays empty rather than loading a large register unasked.
    if (view.hasRecord() || !view.searchCondition().empty() || !view.sortClause().empty()) view.reload();
    QString done = QStringLiteral("成功\"导入\"%1个会员").arg(written);
    if (check.skipped > 0) done += QStringLiteral("，跳过%1行").arg(check.skipped);
    shell.showStatus(done);
}

} // namespace vorn::ui

#include "kit/sheet/csvimport.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <map>

#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"

namespace vorn::ui {

namespace {

// What the imports keep per main window: the folder of the last file of each
// import (by its title), so the next one starts there, and the chooser a test
// may put in place.
struct ImportMemory {
    std::map<QString, QString> folders;
    ImportFileChooser chooser;
};

// The lines of a big file take a moment to check: the busy window covers them.
constexpr size_t kCheckUnderBusyWindow = 20000;

QString abandoned(const QString& noun) {
    return QStringLiteral("放弃该次%1\"导入\"操作").arg(noun);
}

QString nothing(const QString& noun) {
    return QStringLiteral("未\"导入\"任何%1").arg(noun);
}

QString failed(const QString& noun) {
    return withStoreCause(QStringLiteral("未知异常导致%1\"导入\"失败，放弃该次\"导入\"操作").arg(noun));
}

QString chooseFile(const ImportJob& job) {
    Shell& shell = job.host.shell;
    ImportMemory& memory = shell.state().extension<ImportMemory>();
    QString& folder = memory.folders[job.title];
    const QString start = folder.isEmpty() ? QDir::currentPath() : folder;
    const QString path =
        memory.chooser ? memory.chooser(shell.window(), start)
                       : QFileDialog::getOpenFileName(shell.window(), job.title, start,
                                                      QStringLiteral("CSV 文件 (*.csv *.txt);;所有文件 (*)"));
    if (!path.isEmpty()) folder = QFileInfo(path).absolutePath();
    return path;
}

} // namespace

QString readImportFile(const QString& path, const QString& noun, QByteArray& bytes, qint64 limit) {
    bytes.clear();
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法打开文件\"%1\"（%2），%3").arg(name, file.errorString(), abandoned(noun));
    const QString tooBig =
        QStringLiteral("文件\"%1\"太大，不能超过%2MB，%3").arg(name).arg(limit / (1024 * 1024)).arg(abandoned(noun));
    if (file.size() > limit) return tooBig;
    // The size a device or a growing file reports says nothing of what it
    // holds: one byte past the limit is enough to refuse it.
    bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return QStringLiteral("无法读取文件\"%1\"（%2），%3").arg(name, file.errorString(), abandoned(noun));
    }
    if (bytes.size() > limit) {
        bytes.clear();
        return tooBig;
    }
    if (bytes.trimmed().isEmpty()) {
        bytes.clear();
        return QStringLiteral("文件\"%1\"中没有任何内容，%2").arg(name, nothing(noun));
    }
    return QString();
}

void setImportFileChooser(AppState& state, ImportFileChooser chooser) {
    state.extension<ImportMemory>().chooser = std::move(chooser);
}

void runCsvImport(const ImportJob& job) {
    Shell& shell = job.host.shell;
    QWidget* window = shell.window();
    ImportChecker& checker = job.checker;

    const QString path = chooseFile(job);
    if (path.isEmpty()) {
        shell.showStatus(abandoned(job.noun));
        return;
    }
    QByteArray bytes;
    if (const QString refusal = readImportFile(path, job.noun, bytes); !refusal.isEmpty()) {
        shell.reportFailure(refusal);
        return;
    }

    std::vector<CsvRecord> records;
    std::vector<int> mapping;
    {
        CImportDlg dlg(job.title, QFileInfo(path).fileName(), job.fields, std::move(bytes), window);
        if (job.host.runDialog(dlg) != QDialog::Accepted) {
            shell.showStatus(abandoned(job.noun));
            return;
        }
        records = dlg.records();
        mapping = dlg.mapping();
    }

    auto checkAll = [&] { checker.check(records, mapping); };
    if (records.size() >= kCheckUnderBusyWindow)
        runBusy(window, checkAll, QStringLiteral("正在检查文件中的%1").arg(job.noun));
    else
        checkAll();
    std::vector<CsvRecord>().swap(records);
    if (checker.storeFailed()) {
        shell.reportFailure(failed(job.noun));
        return;
    }

    const bool allowed = checker.allowed();
    {
        CImportReportDlg report(job.title, checker.summary(), checker.problems(), allowed, window);
        const int answer = job.host.runDialog(report);
        if (!allowed) {
            const QString refusal = checker.refusal();
            if (refusal.isEmpty())
                shell.showStatus(nothing(job.noun));
            else
                shell.reportFailure(refusal);
            return;
        }
        if (answer != QDialog::Accepted) {
            shell.showStatus(abandoned(job.noun));
            return;
        }
    }

    // One moment for the whole import, as for one entry of goods or members.
    const int64_t moment = now();
    vorn::Core& core = shell.state().core;
    int written = -1;
    runBusyWithProgress(window, [&](BusyProgress& progress) {
        written = checker.write(core, moment, [&progress](int percent) { progress.set(percent); });
    });
    if (written < 0) {
        shell.reportFailure(failed(job.noun));
        return;
    }
    if (written == 0) {
        shell.showStatus(nothing(job.noun));
        return;
    }
    if (job.host.reload) job.host.reload();
    QString status = checker.success(written);
    if (checker.skipped() > 0) status += QStringLiteral("，跳过%1行").arg(checker.skipped());
    shell.showStatus(status);
}

} // namespace vorn::ui

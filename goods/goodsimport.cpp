#include "goodsimport.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "goodsimportcheck.h"
#include "kit/appstate.h"
#include "kit/busy.h"
#include "kit/clock.h"
#include "kit/importreport.h"
#include "kit/shell.h"
#include "kit/storefailure.h"
#include "storeview.h"

namespace vorn::ui {

namespace {

// What the import keeps per main window: the folder of the last file, so the
// next import starts there, and the chooser a test may put in place.
struct GoodsImportState {
    QString folder;
    ImportFileChooser chooser;
};

QString chooseWithDialog(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("导入商品"), folder,
                                        QStringLiteral("CSV 文件 (*.csv *.txt)"));
}

const QString kCancelled = QStringLiteral("放弃该次商品\"导入\"操作");

// Reads the whole file, refusing one too big before it is read (and anything
// that is not a plain file and would never end). Empty text when all is well,
// else the sentence for the user.
QString readFile(const QString& path, QByteArray& bytes) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取文件\"%1\"，放弃该次商品\"导入\"操作").arg(name);
    const QString tooBig = QStringLiteral("文件\"%1\"太大，不能超过%2MB，放弃该次商品\"导入\"操作")
                               .arg(name)
                               .arg(kMaxImportFileBytes / (1024 * 1024));
    if (file.size() > kMaxImportFileBytes) return tooBig;
    bytes = file.read(kMaxImportFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("无法读取文件\"%1\"，放弃该次商品\"导入\"操作").arg(name);
    if (bytes.size() > kMaxImportFileBytes) {
        bytes.clear();
        return tooBig;
    }
    return QString();
}

// The lines of a big file take a moment to check: the busy window covers them.
constexpr size_t kCheckUnderBusyWindow = 20000;

} // namespace

std::vector<ImportField> goodsImportFields() {
    auto headers = [](std::initializer_list<const char*> names) {
        QStringList list;
        for (const char* n : names)
            list << QString::fromUtf8(n);
        return list;
    };
    // The mapping ignores case, blanks and a trailing "(元)" or "（元）" itself.
    std::vector<ImportField> fields(GoodsImportFieldCount);
    fields[GiCode].headers =
        headers({"编码", "条码", "商品条码", "条形码", "商品代码", "货号", "code", "barcode"});
    fields[GiName].headers = headers({"名称", "品名", "商品名", "name"});
    fields[GiType].headers = headers({"商品类型", "类别", "商品类别", "分类", "type"});
    fields[GiSize].headers = headers({"规格型号", "型号", "size"});
    fields[GiOriP].headers = headers({"进货价", "进价", "成本价", "采购价"});
    fields[GiRetP].headers = headers({"零售价", "售价", "销售价", "单价"});
    fields[GiMemP].headers = headers({"普通会员价", "会员价"});
    fields[GiGolP].headers = headers({"金卡会员价", "金卡价"});
    fields[GiWhoP].headers = headers({"批发价"});
    fields[GiSpeP].headers = headers({"特价", "促销价"});
    fields[GiQuantity].headers = headers({"件数", "库存", "库存数量", "入库数量"});
    fields[GiSupplier].headers = headers({"供应商", "供货单位", "厂家"});
    fields[GiRemark].headers = headers({"说明", "备注信息"});
    for (int f = 0; f < GoodsImportFieldCount; ++f) {
        ImportField& field = fields[static_cast<size_t>(f)];
        field.caption = goodsImportCaption(f);
    }
    fields[GiCode].required = true;
    return fields;
}

void setImportFileChooser(AppState& state, ImportFileChooser chooser) {
    state.extension<GoodsImportState>().chooser = std::move(chooser);
}

void importGoods(CStoreView& view) {
    Shell& shell = view.shell();
    AppState& st = shell.state();
    GoodsImportState& memory = st.extension<GoodsImportState>();
    const CStoreView::DialogRunner& run = view.dialogRunner();

    const QString folder = memory.folder.isEmpty() ? QDir::currentPath() : memory.folder;
    const QString path =
        memory.chooser ? memory.chooser(shell.window(), folder) : chooseWithDialog(shell.window(), folder);
    if (path.isEmpty()) {
        shell.showStatus(kCancelled);
        return;
    }
    memory.folder = QFileInfo(path).absolutePath();

    QByteArray bytes;
    if (const QString refusal = readFile(path, bytes); !refusal.isEmpty()) {
        shell.reportFailure(refusal);
        return;
    }

    std::vector<CsvRecord> records;
    std::vector<int> mapping;
    {
        CImportDlg dlg(QStringLiteral("导入商品"), QFileInfo(path).fileName(), goodsImportFields(),
                       std::move(bytes), shell.window());
        if (run(dlg) != QDialog::Accepted) {
            shell.showStatus(kCancelled);
            return;
        }
        records = dlg.records();
        mapping = dlg.mapping();
    }

    GoodsImportCheck check;
    auto checkAll = [&] { check = checkGoodsImport(records, mapping, st.types, st.suppliers); };
    if (records.size() >= kCheckUnderBusyWindow)
        runBusy(shell.window(), checkAll);
    else
        checkAll();
    std::vector<CsvRecord>().swap(records);

    const bool allowed = goodsImportAllowed(check);
    {
        CImportReportDlg report(QStringLiteral("导入商品"), goodsImportSummary(check), check.problems,
                                allowed, shell.window());
        if (run(report) != QDialog::Accepted) {
            shell.showStatus(allowed ? kCancelled : QStringLiteral("未\"导入\"任何商品"));
            return;
        }
    }
    if (!allowed) {
        shell.showStatus(QStringLiteral("未\"导入\"任何商品"));
        return;
    }

    // One moment for the whole import, as for one entry: its units share their stock time.
    const int64_t stockTime = now();
    vorn::Core& core = st.core;
    int result = -1;
    runBusyWithProgress(shell.window(), [&](BusyProgress& progress) {
        result = writeGoodsImport(core, check.lines, stockTime, [&](long long done, long long total) {
            progress.set(static_cast<int>(done * 100 / total));
        });
    });
    if (result < 0) {
        shell.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致商品\"导入\"失败，放弃该次\"导入\"操作")));
        return;
    }
    if (result == 0) {
        shell.showStatus(QStringLiteral("未\"导入\"任何商品"));
        return;
    }
    // A list the user searched shows the new units at once. A page never
    // searched stays empty, as it starts: listing a whole big shop unasked
    // would take a while.
    if (view.hasRecord() || !view.searchCondition().empty() || !view.sortClause().empty()) view.reload();
    QString status = QStringLiteral("成功\"导入\"%1件商品（%2行）").arg(result).arg(check.lines.size());
    if (check.skipped > 0) status += QStringLiteral("，跳过%1行").arg(check.skipped);
    shell.showStatus(status);
}

} // namespace vorn::ui

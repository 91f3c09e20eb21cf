// vorn_goods_import_bench [--units N] [--lines L] [--per-line Q]
// Imports a GBK catalogue of L lines (default 1,000) of Q units each (default
// 100, so 100,000 units) into a generated encrypted shop of N units (default
// 1,000,000), and prints one line per figure:
// - the check and the write as the command runs them, from confirming the
//   column mapping to the report, and from confirming the report to the end;
// - the whole command through the goods page with its dialogs answered at once,
//   from confirming the mapping to the status line (the busy window included,
//   with the half second it stays on screen).
// The shop is generated once per N into /tmp/vorn-goods-import-bench-N/base and
// copied to a scratch folder for every run, so reruns measure the same data.
#include <time.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QStringEncoder>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fakeshell.h"
#include "gen.h"
#include "goodsimport.h"
#include "goodsimportcheck.h"
#include "kit/page/appstate.h"
#include "kit/text/clock.h"
#include "kit/text/csv.h"
#include "kit/text/gbk.h"
#include "kit/sheet/importdlg.h"
#include "kit/sheet/importreport.h"
#include "storeview.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

double cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void report(const char* what, double value, double target, double cpu = -1) {
    if (target > 0)
        std::printf("%-60s %8.3f s  target < %g s %-6s", what, value, target,
                    value < target ? "ok" : "MISSED");
    else
        std::printf("%-60s %8.3f s  %-21s", what, value, "");
    if (cpu >= 0) std::printf(" (cpu %.3f s)", cpu);
    std::printf("\n");
    std::fflush(stdout);
}

// A catalogue as a shop keeps it: the export's headings, Chinese names, the
// shop's own types and suppliers, every price given, a remark now and then.
QByteArray catalogue(int lines, int perLine, const vorn::ui::AppState& st) {
    static const char* const names[] = {"农夫山泉矿泉水", "康师傅红烧牛肉面", "旺旺雪饼", "蒙牛纯牛奶",
                                        "青岛啤酒",       "德芙巧克力",       "洽洽瓜子", "心相印纸巾"};
    QString text =
        QStringLiteral("商品编码,商品名称,类型,规格,进货价(元),零售价(元),普通会员价(元),金卡会员价(元),"
                       "批发价(元),特价(元),数量,供货商,备注\r\n");
    for (int i = 0; i < lines; ++i) {
        const QString type = vorn::ui::fromGbk(st.types[static_cast<size_t>(i) % st.types.size()].FTs_Name);
        const QString supplier =
            vorn::ui::fromGbk(st.suppliers[static_cast<size_t>(i) % st.suppliers.size()].FSPs_Name);
        const double ori = 1.0 + (i % 97) * 0.5;
        QStringList f;
        f << QString::fromStdString(vorn::bench::goods_code(900000 + i))
          << QStringLiteral("%1 %2号").arg(QString::fromUtf8(names[i % 8])).arg(i) << type
          << QStringLiteral("%1克").arg(100 + i % 400) << QString::number(ori, 'f', 1)
          << QString::number(ori * 1.4, 'f', 1) << QString::number(ori * 1.3, 'f', 1)
          << QString::number(ori * 1.25, 'f', 1) << QString::number(ori * 1.2, 'f', 1)
          << QString::number(ori * 1.1, 'f', 1) << QString::number(perLine) << supplier
          << (i % 5 == 0 ? QStringLiteral("整箱进货, 先进先出") : QString());
        text += vorn::ui::csvLine(f) + QStringLiteral("\r\n");
    }
    QStringEncoder enc("GBK");
    return enc.encode(text);
}

// A fresh copy of the generated shop in the scratch folder, opened as the program opens it.
bool freshStore(const fs::path& base, const fs::path& work, vorn::ui::AppState& st) {
    std::error_code ec;
    fs::remove_all(work, ec);
    fs::create_directories(work);
    fs::copy_file(base / "__vorn__", work / "__vorn__", ec);
    if (ec) return false;
    fs::current_path(work);
    return st.core.open() == 0 && st.core.ensure_indexes() == 0 && st.loadTypesAndSuppliers();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int units = 1000000;
    int lines = 1000;
    int perLine = 100;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--units"))
            units = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--lines"))
            lines = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--per-line"))
            perLine = std::atoi(argv[++i]);
    }
    const fs::path root = "/tmp/vorn-goods-import-bench-" + std::to_string(units);
    const fs::path base = root / "base";
    const fs::path work = root / "work";
    if (!fs::exists(base / "__vorn__")) {
        fs::create_directories(base);
        fs::current_path(base);
        std::printf("generating %d units in %s ...\n", units, base.c_str());
        std::fflush(stdout);
        vorn::Core core;
        vorn::bench::GenOptions opt;
        opt.units = units;
        opt.members = 1000;
        if (core.open() != 0 || vorn::bench::generate(core, opt) != 0 || core.ensure_indexes() != 0) {
            std::fprintf(stderr, "cannot generate the shop in %s\n", base.c_str());
            return 1;
        }
        core.close();
    }

    const long long expected = static_cast<long long>(lines) * perLine;
    std::printf("importing %d lines x %d units = %lld units into a shop of %d units\n", lines, perLine,
                expected, units);

    // The check and the write, as the command runs them.
    {
        vorn::ui::AppState st;
        if (!freshStore(base, work, st)) {
            std::fprintf(stderr, "cannot copy the shop to %s\n", work.c_str());
            return 1;
        }
        const QByteArray bytes = catalogue(lines, perLine, st);
        const int before = st.core.get_srec_count(nullptr);

        auto t = Clock::now();
        double c = cpu_seconds();
        // What the mapping dialog does with the file before anyone confirms it.
        const QString text = vorn::ui::decodeText(bytes, vorn::ui::detectEncoding(bytes));
        std::vector<vorn::ui::CsvRecord> records = vorn::ui::parseCsv(text);
        const std::vector<int> mapping =
            vorn::ui::mapHeadings(vorn::ui::goodsImportFields(), records.front().fields);
        records.erase(records.begin());
        report("read the file (before the mapping is confirmed)", since(t), 0, cpu_seconds() - c);

        t = Clock::now();
        c = cpu_seconds();
        const vorn::ui::GoodsImportCheck check =
            vorn::ui::checkGoodsImport(records, mapping, st.types, st.suppliers);
        const double checkTime = since(t);
        report("check every line (mapping confirmed -> report)", checkTime, 0, cpu_seconds() - c);
        if (check.units != expected || !check.problems.empty()) {
            std::fprintf(stderr, "the check found %lld units and %zu problems\n", check.units,
                         check.problems.size());
            return 1;
        }

        t = Clock::now();
        c = cpu_seconds();
        const int n = vorn::ui::writeGoodsImport(st.core, check.lines, vorn::ui::now());
        const double writeTime = since(t);
        report("write in one transaction (report confirmed -> done)", writeTime, 0, cpu_seconds() - c);
        report("check + write", checkTime + writeTime, 5);
        const int after = st.core.get_srec_count(nullptr);
        if (n != expected || after - before != expected) {
            std::fprintf(stderr, "entered %d, the store grew by %d\n", n, after - before);
            return 1;
        }
        st.core.close();

        // For comparison: the same units in one call of the entry dialog's
        // insert, which gives no progress on the way.
        vorn::ui::AppState ref;
        if (!freshStore(base, work, ref)) return 1;
        std::vector<vorn::SRec> flat;
        flat.reserve(static_cast<size_t>(expected));
        const int64_t stockTime = vorn::ui::now();
        for (const vorn::ui::GoodsImportLine& l : check.lines) {
            vorn::SRec u = l.unit;
            u.FSt_StoT = stockTime;
            flat.insert(flat.end(), static_cast<size_t>(l.quantity), u);
        }
        t = Clock::now();
        c = cpu_seconds();
        if (ref.core.insert_srec(flat.data(), static_cast<int>(flat.size())) != expected) return 1;
        report("for comparison: the same units in one Core::insert_srec", since(t), 0, cpu_seconds() - c);
        ref.core.close();
    }

    // The whole command through the page, its dialogs answered at once.
    {
        auto shell = std::make_unique<vorn::ui::test::FakeShell>();
        if (!freshStore(base, work, shell->st)) return 1;
        const QString file = QString::fromStdString((work / "catalogue.csv").string());
        {
            QFile f(file);
            if (!f.open(QIODevice::WriteOnly) || f.write(catalogue(lines, perLine, shell->st)) < 0) return 1;
        }
        const int before = shell->st.core.get_srec_count(nullptr);
        vorn::ui::CStoreView page(*shell);
        vorn::ui::setImportFileChooser(shell->st, [&](QWidget*, const QString&) { return file; });
        Clock::time_point confirmed;
        double confirmedCpu = 0;
        double reportShown = 0;
        page.setDialogRunner([&](QDialog& d) {
            if (auto* mapping = qobject_cast<vorn::ui::CImportDlg*>(&d)) {
                mapping->accept();
                confirmed = Clock::now();
                confirmedCpu = cpu_seconds();
            } else if (auto* r = qobject_cast<vorn::ui::CImportReportDlg*>(&d)) {
                reportShown = since(confirmed);
                r->accept();
            }
            return d.result();
        });
        page.onCommand(vorn::ui::cmd::ImportGoods);
        const double total = since(confirmed);
        const double cpu = cpu_seconds() - confirmedCpu;
        const int after = shell->st.core.get_srec_count(nullptr);
        std::printf("status: %s\n", shell->statusText().toUtf8().constData());
        if (after - before != expected) {
            std::fprintf(stderr, "the store grew by %d\n", after - before);
            return 1;
        }
        report("command: mapping confirmed -> report shown", reportShown, 0);
        report("command: mapping confirmed -> status (busy window incl.)", total, 5, cpu);
        shell->st.core.close();
    }
    // A file whose every line is refused (its columns mapped wrongly, say): the
    // check lists one problem per line, and the report shows them all.
    {
        std::vector<vorn::ui::CsvRecord> bad(static_cast<size_t>(expected));
        for (size_t i = 0; i < bad.size(); ++i) {
            bad[i].line = static_cast<int>(i) + 2;
            bad[i].fields = QStringList{QString(), QStringLiteral("x")};
        }
        std::vector<int> mapping(vorn::ui::GoodsImportFieldCount, -1);
        mapping[vorn::ui::GiCode] = 0;
        mapping[vorn::ui::GiName] = 1;
        const std::vector<vorn::SPRec> suppliers;
        const std::vector<vorn::TRec> types;
        auto t = Clock::now();
        const vorn::ui::GoodsImportCheck check = vorn::ui::checkGoodsImport(bad, mapping, types, suppliers);
        vorn::ui::CImportReportDlg dlg(QStringLiteral("导入商品"), vorn::ui::goodsImportSummary(check),
                                       check.problems, false);
        dlg.show();
        dlg.grab();
        report("every line refused: check, report shown", since(t), 0);
    }
    std::error_code ec;
    fs::current_path(root);
    fs::remove_all(work, ec);
    return 0;
}

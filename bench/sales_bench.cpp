// vorn_sales_bench [--units N] [--rounds R]
// Drives the sales counter page's own code on a generated shop of N units
// (default 1,000,000) plus two codes of its own, one with 1,000 units in stock
// and one with 100,000, and prints one line per figure:
//  - one add to the list, from Enter in the code edit to the row painted, for
//    each of the two codes (the list growing by one unit each time);
//  - one checkout of 100 listed units (payment answered, no receipt printed),
//    until the totals panel shows the sale.
// The shop lives in /tmp/vorn-sales-bench-N; it is generated when missing, and
// the two codes are topped up to their stock before each run.
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fakeshell.h"
#include "benchclock.h"
#include "gen.h"
#include "kit/page/appstate.h"
#include "kit/dialog/msgbox.h"
#include "paymentdlg.h"
#include "res/vornres.h"
#include "saleinputdlg.h"
#include "salelist.h"
#include "saleprintdlg.h"
#include "saleview.h"

namespace fs = std::filesystem;
using vornbench::Clock;
using vornbench::cpu_ms;
using vornbench::ms_since;

namespace {

const char kCode1k[] = "BENCH-1K";
const char kCode100k[] = "BENCH-100K";

struct Sample {
    double wall = 0; // ms
    double cpu = 0;  // ms
};

// Starts timing now; done() gives the sample.
struct Timer {
    Clock::time_point wall = Clock::now();
    double cpu = cpu_ms();
    Sample done() const { return {ms_since(wall), cpu_ms() - cpu}; }
};

void report(const char* what, double value, const char* unit, double target) {
    std::printf("%-58s %10.3f %-3s target < %g %-3s %s\n", what, value, unit, target, unit,
                value < target ? "ok" : "MISSED");
    std::fflush(stdout);
}

// Counts the paints of a widget, to be sure a figure includes the painting.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Lets the window repaint what changed, as the event loop would: the new row,
// the footers, the totals panel.
void paintChanges() {
    QCoreApplication::processEvents();
}

// Enter in the code edit, then the list painted: what the cashier waits for.
Sample timedAdd(vorn::ui::CSaleView& page, PaintCounter& listPaints, const char* code, int quantity) {
    page.inputPanel()->codeEdit()->setText(QString::fromLatin1(code));
    page.inputPanel()->quantityEdit()->setText(QString::number(quantity));
    paintChanges();
    const int before = page.list().rowCount();
    const int paintsBefore = listPaints.paints;
    const Timer t;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(page.inputPanel()->codeEdit(), &enter);
    paintChanges();
    const Sample took = t.done();
    if (page.list().rowCount() != before + 1 || listPaints.paints == paintsBefore) {
        std::fprintf(stderr, "add of %s failed or was not painted\n", code);
        std::exit(1);
    }
    return took;
}

// The program's look, as the main window applies it: the Chinese font, the
// Fusion style and the blue style sheet (painting goes through it).
void applyProgramLook(QApplication& app) {
    vornInitResources();
    for (const char* family : {"宋体", "WenQuanYi Micro Hei", "Noto Sans CJK SC"}) {
        if (QFontDatabase::families().contains(QString::fromUtf8(family))) {
            QFont f(QString::fromUtf8(family));
            f.setPixelSize(12);
            app.setFont(f);
            break;
        }
    }
    app.setStyle(QStringLiteral("Fusion"));
    QFile qss(QStringLiteral(":/style/office2010blue.qss"));
    if (qss.open(QIODevice::ReadOnly)) app.setStyleSheet(QString::fromUtf8(qss.readAll()));
}

void summarize(const char* what, const std::vector<Sample>& samples, double target) {
    std::vector<double> wall, cpu;
    for (const Sample& x : samples) {
        wall.push_back(x.wall);
        cpu.push_back(x.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    const size_t n = wall.size();
    char line[160];
    std::snprintf(line, sizeof line, "%s, median of %zu", what, n);
    report(line, wall[n / 2], "ms", target);
    std::snprintf(line, sizeof line, "%s, 90th percentile", what);
    report(line, wall[std::min(n - 1, n * 9 / 10)], "ms", target);
    std::snprintf(line, sizeof line, "%s, slowest", what);
    report(line, wall.back(), "ms", target);
    std::snprintf(line, sizeof line, "%s, CPU time, median", what);
    report(line, cpu[n / 2], "ms", target);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    applyProgramLook(app);
    int units = 1000000;
    int rounds = 5;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc) units = std::atoi(argv[++i]);
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    }

    const fs::path dir = "/tmp/vorn-sales-bench-" + std::to_string(units);
    fs::create_directories(dir);
    fs::current_path(dir);
    vorn::ui::test::FakeShell shell;
    vorn::ui::AppState& state = shell.st;
    const bool fresh = !fs::exists("__vorn__");
    if (state.core.open() != 0) {
        std::fprintf(stderr, "cannot open %s/__vorn__\n", dir.c_str());
        return 1;
    }
    if (fresh) {
        std::printf("generating %d units in %s ...\n", units, dir.c_str());
        vorn::bench::GenOptions opt;
        opt.units = units;
        opt.members = 1000;
        if (vorn::bench::generate(state.core, opt) != 0) return 1;
    }
    if (!vorn::bench::restock(state.core, kCode1k, 1000) || !vorn::bench::restock(state.core, kCode100k, 100000) ||
        state.core.ensure_indexes() != 0 || !state.loadTypesAndSuppliers()) {
        std::fprintf(stderr, "store not usable\n");
        return 1;
    }
    std::printf("store: %d units, %d in stock\n", state.core.get_srec_count(nullptr),
                state.core.get_srec_count("FSi_Flag=0"));

    vorn::ui::MessageRecorder boxes;
    vorn::ui::installRecorder(&boxes);
    state.currentUser.FUi_Id = 1;
    state.currentUser.FUs_Name = "admin";

    vorn::ui::CSaleView page(shell);
    page.resize(1280, 700);
    page.show();
    page.initialUpdate();
    paintChanges();
    PaintCounter listPaints;
    page.table()->viewport()->installEventFilter(&listPaints);
    // Payment exactly the amount due; the receipt not printed.
    page.setDialogRunner([](QDialog& d) {
        if (auto* pay = qobject_cast<vorn::ui::CPaymentDlg*>(&d)) {
            pay->edit()->setText(QString::number(pay->dueTenths() / 10) + QLatin1Char('.') +
                                 QString::number(pay->dueTenths() % 10));
            pay->onOk();
            return pay->result();
        }
        if (auto* done = qobject_cast<vorn::ui::CSalePrintDlg*>(&d)) {
            done->onOk();
            return done->result();
        }
        return int(QDialog::Rejected);
    });

    // Warm the page cache the way a till that has been open a while has it.
    timedAdd(page, listPaints, kCode1k, 1);
    timedAdd(page, listPaints, kCode100k, 1);
    page.checkout();

    std::vector<Sample> add1k, add100k, checkout;
    for (int r = 0; r < rounds; ++r) {
        // A sale of 100 units: rows added one by one from both codes, timed.
        for (int i = 0; i < 20; ++i) {
            add1k.push_back(timedAdd(page, listPaints, kCode1k, 1));
            add100k.push_back(timedAdd(page, listPaints, kCode100k, 1));
        }
        add100k.push_back(timedAdd(page, listPaints, kCode100k, 32));
        add1k.push_back(timedAdd(page, listPaints, kCode1k, 28));
        if (page.list().totals().quantity != 100) {
            std::fprintf(stderr, "list holds %d units, not 100\n", page.list().totals().quantity);
            return 1;
        }
        paintChanges();
        const Timer t;
        page.checkout();
        paintChanges();
        checkout.push_back(t.done());
        if (shell.statusText() != QStringLiteral("销售结算成功") || !page.list().empty()) {
            std::fprintf(stderr, "checkout failed: %s\n", qPrintable(shell.statusText()));
            return 1;
        }
    }
    summarize("add to list, code with 1,000 in stock", add1k, 10);
    summarize("add to list, code with 100,000 in stock", add100k, 10);
    summarize("checkout of 100 units", checkout, 100);

    // What the stock alarm's re-check after a checkout costs on this shop (it runs
    // in the main window, outside the page's own code).
    const auto t = Clock::now();
    const int low = state.core.get_srec_alarm_count(10);
    std::printf("%-58s %10.3f ms (%d low codes)\n", "for reference: stock alarm count after checkout", ms_since(t),
                low);
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("%-58s %10.1f MB\n", "peak memory", static_cast<double>(ru.ru_maxrss) / 1024.0);

    vorn::ui::installRecorder(nullptr);
    state.core.close();
    return 0;
}

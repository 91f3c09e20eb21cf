// The sale journal's page driven as the main window drives it: the ribbon's
// inputs and commands by id, the list and its footers, a sale opened to its
// lines and payments, printed again, and the list exported.
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPrinterInfo>
#include <QTableView>
#include <QTableWidget>

#include "journalcolumns.h"
#include "journaldetaildlg.h"
#include "journalexport.h"
#include "journalsearch.h"
#include "journalview.h"
#include "kit/text/csv.h"
#include "kit/page/footerstrip.h"
#include "kit/text/gbklimit.h"
#include "kit/sheet/sheetwriter.h"
#include "res/strings.h"
#include "salefixture.h"
#include "xlsxread.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

qint64 at(int y, int m, int d, int h, int min) {
    return QDateTime(QDate(y, m, d), QTime(h, min)).toSecsSinceEpoch();
}

struct Line {
    std::string code;
    int count;
    double retail, price;
};

std::vector<CsvRecord> readCsv(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return parseCsv(decodeText(f.readAll(), TextEncoding::Utf8));
}

} // namespace

class TestJournalView : public QObject {
    Q_OBJECT

    SaleFixture fx;
    std::unique_ptr<CJournalView> page;
    std::vector<std::string> numbers;    // of the three sales, in time order
    std::vector<vorn::SaleDetail> shown; // what the detail dialogs showed
    std::function<int(CJournalDetailDlg&)> answer;

    // A checkout through the store's journal, as the counter makes it.
    std::string sell(const std::vector<Line>& lines, qint64 t, const QString& cashier,
                     const std::string& member, std::vector<vorn::Payment> payments) {
        vorn::CheckoutRequest r;
        for (const Line& l : lines) {
            fx.stock(l.code, l.count, l.retail);
            std::vector<vorn::SRec> units = fx.units("FSs_Code='" + l.code + "' AND FSi_Flag=0");
            for (int i = 0; i < l.count; ++i) {
                vorn::SRec u = units.at(static_cast<size_t>(i));
                u.FSi_Flag = 1;
                u.FSt_SalT = t;
                u.FSd_ReaP = l.price;
                r.units.push_back(u);
            }
        }
        r.cashier = gbk(cashier);
        r.member_code = member;
        r.payments = std::move(payments);
        const vorn::CheckoutResult done = vorn::Journal(fx.core()).checkout(r);
        if (done.status != vorn::CheckoutStatus::Done) qFatal("checkout failed: %d", done.rc);
        return done.number;
    }

    QString cell(int row, int column) const {
        return page->model()->data(page->model()->index(row, column)).toString();
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < page->model()->rowCount(); ++r)
            out << cell(r, c);
        return out;
    }
    QStringList listed() const { return column(JColNumber); }
    QStringList sales(std::initializer_list<int> which) const {
        QStringList out;
        for (int i : which)
            out << QString::fromStdString(numbers[static_cast<size_t>(i)]);
        return out;
    }
    void select(int row) {
        page->table()->selectionModel()->select(
            page->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        page->table()->setCurrentIndex(page->model()->index(row, 0));
    }
    static QString text(QTableWidget* t, int r, int c) {
        return t->item(r, c) ? t->item(r, c)->text() : QString();
    }

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(vorn::Journal(fx.core()).ensure_tables(), 0);
        fx.shell().comboItems[cmd::SaleMethod] = journalMethodChoices();
        // Day one: a split payment with change; day two: a member's sale by
        // another cashier, and a card payment.
        numbers = {
            sell({{"A", 2, 10.0, 9.5}, {"B", 1, 5.5, 5.5}}, at(2026, 12, 7, 10, 0), "admin", "",
                 {{vorn::kPayWeChat, 100}, {vorn::kPayCash, 150}}),
            sell({{"C", 1, 3.0, 3.0}}, at(2026, 12, 8, 15, 0), QStringLiteral("收银员"), "M1",
                 {{vorn::kPayAlipay, 30}}),
            sell({{"A", 1, 10.0, 10.0}}, at(2026, 12, 8, 16, 0), "admin", "", {{vorn::kPayCard, 100}})};
        shown.clear();
        answer = [](CJournalDetailDlg&) { return int(QDialog::Rejected); };
        page = std::make_unique<CJournalView>(fx.shell());
        page->setDialogRunner([this](QDialog& d) {
            auto& dlg = dynamic_cast<CJournalDetailDlg&>(d);
            return answer(dlg);
        });
    }
    void cleanup() {
        setExportPathPrompt({});
        page.reset();
        fx.tearDown();
    }

    void startsEmpty() {
        QCOMPARE(page->model()->rowCount(), 0);
        QCOMPARE(page->footer()->text(JColNumber), QStringLiteral("0笔"));
        QCOMPARE(page->footer()->text(JColDue), QStringLiteral("0.0"));
        for (int id : {cmd::OpenSale, cmd::ReprintSale, cmd::ExportSales})
            QVERIFY(!page->isCommandEnabled(id));
        for (int id :
             {cmd::SearchSales, cmd::ClearSaleSearch, cmd::SaleSpan, cmd::SaleNumber, cmd::SaleMethod})
            QVERIFY(page->isCommandEnabled(id));
        QVERIFY(!page->onCommand(cmd::SearchGoods));
    }

    void searchListsAllWithTheirSums() {
        QVERIFY(page->onCommand(cmd::SearchSales));
        QCOMPARE(fx.shell().statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到3笔销售记录"));
        QCOMPARE(listed(), sales({0, 1, 2}));
        const QStringList first = {sales({0})[0], "2026-12-07 10:00:00", "admin", "", "3", "24.5", "1.0",
                                   "25.0",        "现金、微信",          ""};
        for (int c = 0; c < JournalColumnCount; ++c)
            QCOMPARE(cell(0, c), first[c]);
        QCOMPARE(cell(1, JColCashier), QStringLiteral("收银员"));
        QCOMPARE(cell(1, JColMember), QStringLiteral("M1"));
        QCOMPARE(cell(2, JColMethods), QStringLiteral("银行卡"));
        // The footers are the store's sums of the list: 24.5 + 3.0 + 10.0 due.
        QCOMPARE(page->footer()->text(JColNumber), QStringLiteral("3笔"));
        QCOMPARE(page->footer()->text(JColUnits), QStringLiteral("5"));
        QCOMPARE(page->footer()->text(JColDue), QStringLiteral("37.5"));
        QCOMPARE(page->footer()->text(JColDiscount), QStringLiteral("1.0"));
        QCOMPARE(page->footer()->text(JColPaid), QStringLiteral("38.0"));
        QCOMPARE(page->footer()->text(JColMethods), QStringLiteral("现金15.0 微信10.0 支付宝3.0 银行卡10.0"));
        QVERIFY(page->isCommandEnabled(cmd::ExportSales));
        QVERIFY(!page->isCommandEnabled(cmd::OpenSale)); // nothing chosen yet
        select(1);
        QVERIFY(page->isCommandEnabled(cmd::OpenSale));
        QVERIFY(page->isCommandEnabled(cmd::ReprintSale));
    }

    // Each input alone narrows the list to the sales it names; "#n" stands for
    // the number of sale n.
    void searchByEachInput_data() {
        QTest::addColumn<int>("input");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("number") << int(cmd::SaleNumber) << "#2" << QList<int>{2};
        QTest::newRow("number with blanks") << int(cmd::SaleNumber) << " #0 " << QList<int>{0};
        QTest::newRow("cashier in Chinese") << int(cmd::SaleCashier) << "收银员" << QList<int>{1};
        QTest::newRow("cashier") << int(cmd::SaleCashier) << "admin" << QList<int>{0, 2};
        QTest::newRow("cashier with a quote") << int(cmd::SaleCashier) << "ad'min" << QList<int>{};
        QTest::newRow("member") << int(cmd::SaleMember) << "M1" << QList<int>{1};
        QTest::newRow("goods code") << int(cmd::SaleGoods) << "A" << QList<int>{0, 2};
        QTest::newRow("goods code of one sale") << int(cmd::SaleGoods) << "B" << QList<int>{0};
        QTest::newRow("goods code unknown") << int(cmd::SaleGoods) << "Z' OR '1'='1" << QList<int>{};
        QTest::newRow("method cash") << int(cmd::SaleMethod) << "现金" << QList<int>{0};
        QTest::newRow("method wechat") << int(cmd::SaleMethod) << "微信" << QList<int>{0};
        QTest::newRow("method card") << int(cmd::SaleMethod) << "银行卡" << QList<int>{2};
        QTest::newRow("method other") << int(cmd::SaleMethod) << "其他" << QList<int>{};
        QTest::newRow("method all") << int(cmd::SaleMethod) << "全部" << QList<int>{0, 1, 2};
    }
    void searchByEachInput() {
        QFETCH(int, input);
        QFETCH(QString, value);
        QFETCH(QList<int>, expected);
        for (int i = 0; i < 3; ++i)
            value.replace(QStringLiteral("#%1").arg(i), QString::fromStdString(numbers[size_t(i)]));
        fx.shell().setRibbonText(input, value);
        QVERIFY(page->onCommand(cmd::SearchSales));
        QStringList want;
        for (int i : expected)
            want << QString::fromStdString(numbers[size_t(i)]);
        QCOMPARE(listed(), want);
        QCOMPARE(page->footer()->text(JColNumber), QStringLiteral("%1笔").arg(want.size()));
        QVERIFY(fx.shell().failures.isEmpty());
        QCOMPARE(page->isCommandEnabled(cmd::ExportSales), !want.isEmpty());
    }

    void inputsCombine() {
        fx.shell().setRibbonText(cmd::SaleCashier, QStringLiteral("admin"));
        fx.shell().setRibbonText(cmd::SaleGoods, QStringLiteral("A"));
        fx.shell().setRibbonText(cmd::SaleMethod, QStringLiteral("银行卡"));
        QVERIFY(page->onCommand(cmd::SearchSales));
        QCOMPARE(listed(), sales({2}));
        QCOMPARE(page->footer()->text(JColMethods), QStringLiteral("银行卡10.0"));
    }

    void textGbkCannotHoldIsRefused() {
        QVERIFY(page->onCommand(cmd::SearchSales));
        fx.shell().setRibbonText(cmd::SaleMember, QStringLiteral("M\U0001F600"));
        QVERIFY(page->onCommand(cmd::SearchSales));
        QCOMPARE(fx.shell().failures, QStringList{unrepresentableTextMessage()});
        QCOMPARE(listed(), sales({0, 1, 2})); // the last search's list stays
    }

    void spanFromTheDialogAndClear() {
        QDate askedFrom(2000, 1, 1);
        SpanAnswer reply{1, QDate(2026, 12, 8), QDate(2026, 12, 8)};
        page->setSpanPrompt([&](const QDate& from, const QDate&, QWidget*) {
            askedFrom = from;
            return reply;
        });
        QVERIFY(page->onCommand(cmd::SaleSpan));
        QVERIFY(askedFrom.isNull()); // nothing chosen before
        QCOMPARE(fx.shell().captions.value(cmd::SaleSpan),
                 QStringLiteral("销售时间: 2026-12-08 到 2026-12-08"));
        fx.shell().setRibbonText(cmd::SaleCashier, QStringLiteral("admin"));
        fx.shell().setRibbonIndex(cmd::SaleMethod, 4);
        QVERIFY(page->onCommand(cmd::SearchSales));
        QCOMPARE(listed(), sales({2}));

        // Cancelled: the span stays; no span: every day.
        reply = {-1, {}, {}};
        QVERIFY(page->onCommand(cmd::SaleSpan));
        QCOMPARE(askedFrom, QDate(2026, 12, 8));
        QCOMPARE(journalState(fx.shell()).spans[cmd::SaleSpan].to, QDate(2026, 12, 8));
        reply = {0, {}, {}};
        QVERIFY(page->onCommand(cmd::SaleSpan));
        QVERIFY(!journalState(fx.shell()).spans[cmd::SaleSpan].isSet());
        QCOMPARE(fx.shell().captions.value(cmd::SaleSpan), caption(cmd::SaleSpan));

        reply = {1, QDate(2026, 12, 7), QDate(2026, 12, 7)};
        QVERIFY(page->onCommand(cmd::SaleSpan));
        QVERIFY(page->onCommand(cmd::ClearSaleSearch));
        QCOMPARE(fx.shell().ribbonText(cmd::SaleCashier), QString());
        QCOMPARE(fx.shell().ribbonIndex(cmd::SaleMethod), -1);
        QVERIFY(!journalState(fx.shell()).spans[cmd::SaleSpan].isSet());
        QCOMPARE(fx.shell().captions.value(cmd::SaleSpan), caption(cmd::SaleSpan));
        QVERIFY(page->onCommand(cmd::SearchSales));
        QCOMPARE(listed(), sales({0, 1, 2}));
    }

    // A header click reloads in the store's order, keeping the search.
    void headerSortsThroughTheStore() {
        QVERIFY(page->onCommand(cmd::SearchSales));
        page->sortBy(JColDue, false);
        QCOMPARE(listed(), sales({0, 2, 1}));
        QCOMPARE(fx.shell().statusText(), QStringLiteral("成功按\"应收\"降序排列3笔销售记录"));
        page->sortBy(JColCashier, true);
        QCOMPARE(column(JColCashier), (QStringList{"admin", "admin", "收银员"}));
        page->sortBy(JColTime, false);
        QCOMPARE(listed(), sales({2, 1, 0}));
        // The methods cannot be ordered by the store: the list and its arrow stay.
        page->sortBy(JColMethods, true);
        QCOMPARE(listed(), sales({2, 1, 0}));
        QCOMPARE(page->table()->horizontalHeader()->sortIndicatorSection(), int(JColTime));

        fx.shell().setRibbonText(cmd::SaleGoods, QStringLiteral("A"));
        QVERIFY(page->onCommand(cmd::SearchSales));
        page->sortBy(JColPaid, true);
        QCOMPARE(listed(), sales({2, 0}));
        QCOMPARE(page->footer()->text(JColNumber), QStringLiteral("2笔"));
    }

    void openShowsLinesAndPayments() {
        QVERIFY(page->onCommand(cmd::SearchSales));
        int runs = 0;
        answer = [&](CJournalDetailDlg& dlg) {
            ++runs;
            QTableWidget* lines = dlg.lines();
            if (lines->rowCount() != 2) return int(QDialog::Rejected);
            const QStringList a = {"A", "name-A", "2", "9.5", "19.0"}, b = {"B", "name-B", "1", "5.5", "5.5"};
            for (int c = 0; c < CJournalDetailDlg::LineColumnCount; ++c) {
                if (text(lines, 0, c) != a[c] || text(lines, 1, c) != b[c]) return int(QDialog::Rejected);
            }
            QTableWidget* pays = dlg.payments();
            if (pays->rowCount() != 2 || text(pays, 0, 0) != QStringLiteral("微信") ||
                text(pays, 0, 1) != QStringLiteral("10.0") || text(pays, 1, 0) != QStringLiteral("现金") ||
                text(pays, 1, 1) != QStringLiteral("15.0"))
                return int(QDialog::Rejected);
            return dlg.field(QStringLiteral("应收")) == QStringLiteral("24.5") &&
                           dlg.field(QStringLiteral("找零")) == QStringLiteral("0.5") &&
                           dlg.field(QStringLiteral("单号")) == QString::fromStdString(numbers[0])
                       ? int(QDialog::Accepted)
                       : int(QDialog::Rejected);
        };
        // Nothing chosen: nothing opened.
        QVERIFY(page->onCommand(cmd::OpenSale));
        QCOMPARE(runs, 0);
        QVERIFY(fx.shell().statusText().startsWith(QStringLiteral("未选中任何销售记录")));

        int result = -1;
        auto keep = answer;
        answer = [&](CJournalDetailDlg& dlg) { return result = keep(dlg); };
        select(0);
        QVERIFY(page->onCommand(cmd::OpenSale));
        QCOMPARE(runs, 1);
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(fx.shell().statusText(),
                 QStringLiteral("成功查看销售单\"%1\"的明细").arg(QString::fromStdString(numbers[0])));
    }

    void enterAndDoubleClickOpen() {
        QVERIFY(page->onCommand(cmd::SearchSales));
        QStringList opened;
        answer = [&](CJournalDetailDlg& dlg) {
            opened << dlg.field(QStringLiteral("单号"));
            return int(QDialog::Rejected);
        };
        select(2);
        QTest::keyClick(page->table(), Qt::Key_Return);
        emit page->table()->doubleClicked(page->model()->index(1, 3));
        QCOMPARE(opened, sales({2, 1}));
        QVERIFY(fx.shell().failures.isEmpty());
    }

    void recoveredAndReturnMarks() {
        vorn::SaleDetail d;
        d.sale.number = "20261201-0001";
        d.sale.kind = vorn::kKindReturn;
        d.sale.points = -1;
        d.lines.push_back({"", "", 1, -50, -50, {7}});
        CJournalDetailDlg dlg(d);
        QCOMPARE(dlg.field(QStringLiteral("单号")), QStringLiteral("20261201-0001（退货）"));
        QCOMPARE(dlg.field(QStringLiteral("积分")), QStringLiteral("未知"));
        QCOMPARE(text(dlg.lines(), 0, CJournalDetailDlg::LCode), QStringLiteral("(已删除)"));
        QCOMPARE(text(dlg.lines(), 0, CJournalDetailDlg::LAmount), QStringLiteral("-5.0"));
        QCOMPARE(dlg.payments()->rowCount(), 0);
    }

    void failedReadIsReported() {
        QVERIFY(page->onCommand(cmd::SearchSales));
        select(0);
        int runs = 0;
        answer = [&](CJournalDetailDlg&) { return ++runs, int(QDialog::Rejected); };
        fx.core().close();
        QVERIFY(page->onCommand(cmd::OpenSale));
        QVERIFY(page->onCommand(cmd::ReprintSale));
        QCOMPARE(runs, 0);
        QCOMPARE(fx.shell().failures.size(), qsizetype(2));
        QVERIFY(fx.shell().failures[0].startsWith(QStringLiteral("未知异常导致销售记录读取失败")));
        QVERIFY(fx.shell().failures[0].endsWith(QStringLiteral("放弃该次\"查看明细\"操作")));
        QVERIFY(fx.shell().failures[1].endsWith(QStringLiteral("放弃该次\"重打小票\"操作")));
    }

    // Without a printer the receipt goes to a PDF named by the sale's time.
    void reprintWritesTheReceipt() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a default printer");
        QVERIFY(page->onCommand(cmd::SearchSales));
        select(0);
        QVERIFY(page->onCommand(cmd::ReprintSale));
        const QString pdf = QDir::current().filePath(QStringLiteral("receipts/20261207-100000.pdf"));
        QVERIFY2(QFile::exists(pdf), qPrintable(fx.shell().statusText()));
        QVERIFY(fx.shell().statusText().startsWith(QStringLiteral("成功将1张小票保存为PDF文件")));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("%PDF"));

        // From the opened sale: its button closes the dialog and prints.
        answer = [](CJournalDetailDlg& dlg) {
            dlg.onReprint();
            return dlg.result();
        };
        select(2);
        QVERIFY(page->onCommand(cmd::OpenSale));
        QVERIFY(QFile::exists(QDir::current().filePath(QStringLiteral("receipts/20261208-160000.pdf"))));
        QVERIFY(fx.shell().failures.isEmpty());
    }

    // The file holds the list as shown: its order, its texts, money in yuan.
    void exportWritesTheListShown() {
        QString path;
        setExportPathPrompt([&](QWidget*, const QString&, const QString&) { return path; });
        QVERIFY(page->onCommand(cmd::SearchSales));
        page->sortBy(JColDue, true);
        path = QDir::current().filePath(QStringLiteral("销售.csv"));
        QVERIFY(page->onCommand(cmd::ExportSales));
        QVERIFY(fx.shell().failures.isEmpty());
        const std::vector<CsvRecord> rec = readCsv(path);
        QCOMPARE(rec.size(), size_t(4));
        QCOMPARE(rec[0].fields, journalSheetHeadings());
        QCOMPARE(rec[0].fields.size(), qsizetype(11));
        QCOMPARE(rec[1].fields, (QStringList{sales({1})[0], "2026-12-08 15:00:00", "收银员", "M1", "1", "3.0",
                                             "0.0", "3.0", "0.0", "支付宝", ""}));
        QCOMPARE(rec[2].fields.value(0), sales({2})[0]);
        QCOMPARE(rec[3].fields, (QStringList{sales({0})[0], "2026-12-07 10:00:00", "admin", "", "3", "24.5",
                                             "1.0", "25.0", "0.5", "现金、微信", ""}));
        // Nothing listed: nothing written.
        fx.shell().setRibbonText(cmd::SaleMember, QStringLiteral("nobody"));
        QVERIFY(page->onCommand(cmd::SearchSales));
        QVERIFY(!page->isCommandEnabled(cmd::ExportSales));
        QFile::remove(path);
        exportJournal(fx.shell(), {});
        QVERIFY(!QFile::exists(path));
    }

    // In XLSX the amounts are numbers a spreadsheet can sum, the number text.
    void exportXlsxHoldsNumbers() {
        if (!vorn::ui::test::haveUnzip()) QSKIP("unzip is not installed");
        const QString path = QDir::current().filePath(QStringLiteral("销售.xlsx"));
        setExportPathPrompt([&](QWidget*, const QString&, const QString&) { return path; });
        fx.shell().setRibbonText(cmd::SaleCashier, QStringLiteral("admin"));
        QVERIFY(page->onCommand(cmd::SearchSales));
        QVERIFY(page->onCommand(cmd::ExportSales));
        using namespace vorn::ui::test;
        QCOMPARE(sheetNames(path), QStringList{QStringLiteral("销售记录")});
        const XlsxSheet s = readSheet(path, 1);
        QCOMPARE(s.rows.size(), qsizetype(3));
        QCOMPARE(s.texts(1), journalSheetHeadings());
        QCOMPARE(s.cell(2, 0).type, QStringLiteral("inlineStr"));
        QCOMPARE(s.cell(2, 0).value, sales({0})[0]);
        QCOMPARE(s.cell(3, 0).value, sales({2})[0]);
        QCOMPARE(s.cell(2, 4).value.toInt(), 3);
        const double amounts[] = {24.5, 1.0, 25.0, 0.5};
        for (int c = 5; c < 9; ++c)
            QCOMPARE(s.cell(2, c).value.toDouble(), amounts[c - 5]);
    }

    // The page and an opened sale fit the smallest screen the program supports;
    // with VORN_SCREENSHOT_DIR set they are also drawn there to be looked at.
    void fitsTheScreen() {
        fx.shell().win.resize(1024, 768);
        page->setParent(&fx.shell().win);
        page->resize(1024, 560);
        page->show();
        QVERIFY(page->onCommand(cmd::SearchSales));
        int used = 0;
        for (int c = 0; c < JournalColumnCount; ++c)
            used += page->table()->horizontalHeader()->sectionSize(c);
        QVERIFY2(used <= 1024, qPrintable(QString::number(used)));
        // The takings of the four methods fit under their column.
        const QString takings = page->footer()->text(JColMethods);
        QVERIFY(page->footer()->cellRect(JColMethods).width() >
                page->footer()->fontMetrics().horizontalAdvance(takings));
        QCOMPARE(page->footer()->toolTip(), takings);
        vorn::SaleDetail d;
        QCOMPARE(vorn::Journal(fx.core()).open_sale(vorn::Journal(fx.core()).sale_id_of(numbers[0]), d), 1);
        CJournalDetailDlg dlg(d);
        dlg.show();
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        QVERIFY(dlg.minimumSizeHint().width() <= 1024 && dlg.minimumSizeHint().height() <= 768);
        const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QVERIFY(page->grab().save(QDir(dir).filePath(QStringLiteral("journal-page.png"))));
            QVERIFY(dlg.grab().save(QDir(dir).filePath(QStringLiteral("journal-sale.png"))));
        }
        page->setParent(nullptr);
    }
};

QTEST_MAIN(TestJournalView)
#include "test_journalview.moc"

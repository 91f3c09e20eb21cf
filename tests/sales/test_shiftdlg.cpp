// 交班 at the counter: counter sales carry the cashier's shift (opened at the
// first sale with the usual float), the dialog's figures for a shift with a cash
// sale and a split sale, the difference named as the count is typed, the
// hand-over keeping the count and closing the shift, and the sentences when no
// shift is open or the dialog is cancelled. The dialog is also looked at.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "kit/text/clock.h"
#include "pricing.h"
#include "returndlg.h"
#include "salecounter.h"
#include "salefixture.h"
#include "shiftdlg.h"
#include "vorn/journal.h"
#include "vorn/shifts.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

const int64_t kMorning = QDateTime(QDate(2026, 12, 7), QTime(9, 30)).toSecsSinceEpoch();

} // namespace

class TestShiftDlg : public QObject {
    Q_OBJECT

    SaleFixture fx;
    int64_t firstSale = 0;

    // One counter sale of n units of the code at retail, paid as given; its journal id.
    int64_t sell(const std::string& code, int n, std::vector<vorn::Payment> payments) {
        SaleList list;
        if (addToList(fx.core(), list, code, n, kNoMember, fx.shell().st.types).status != AddStatus::Added)
            return -1;
        SaleParty party;
        party.cashier = "admin";
        party.payments = std::move(payments);
        std::vector<ReceiptLine> lines;
        const SaleWrite w = writeSale(fx.core(), list, kMorning, party, 0, lines);
        return w.sold == n ? w.saleId : -1;
    }

    int64_t saleShift(int64_t saleId) {
        vorn::SaleDetail d;
        return vorn::Journal(fx.core()).open_sale(saleId, d) == 1 ? d.sale.shift : -1;
    }

    // Float 50.0; a cash sale of 2 x 10.0 paid 25.0 (5.0 change) and a split
    // sale of 20.0 as 微信 10.0 + 现金 10.0: cash taken 30.0, expected 80.0.
    void scriptedShift() {
        vorn::ShopRules rules;
        rules.usual_float = 500;
        QCOMPARE(vorn::Shifts(fx.core()).set_rules(rules), 1);
        fx.stock("A", 2, 10.0);
        fx.stock("B", 1, 20.0);
        firstSale = sell("A", 2, {{vorn::kPayCash, 250}});
        QVERIFY(firstSale > 0);
        QVERIFY(sell("B", 1, {{vorn::kPayWeChat, 100}, {vorn::kPayCash, 100}}) > 0);
    }

    // Runs 交班 at the counter with the counts typed and the dialog's answer.
    QString handOver(const QString& cashFloat, const QString& counted, bool confirm, int* shown = nullptr) {
        handOverAtCounter(fx.shell(), [&](QDialog& d) {
            auto& dlg = static_cast<CShiftDlg&>(d);
            if (shown) ++*shown;
            if (!cashFloat.isEmpty()) dlg.floatEdit()->setText(cashFloat);
            dlg.countedEdit()->setText(counted);
            if (!confirm) return int(QDialog::Rejected);
            dlg.onOk();
            return dlg.result();
        });
        return fx.shell().statusText();
    }

private slots:
    void init() {
        fx.setUp();
        setNowForTests(kMorning + 8 * 3600);
    }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    void counterSalesCarryTheShift() {
        fx.stock("A", 2, 10.0);
        QCOMPARE(vorn::Shifts(fx.core()).current_shift("admin"), int64_t(0));
        const int64_t first = sell("A", 1, {{vorn::kPayCash, 100}});
        const int64_t shift = vorn::Shifts(fx.core()).current_shift("admin");
        QVERIFY(shift > 0);
        QCOMPARE(saleShift(first), shift);
        // The next sale joins the same shift instead of opening another.
        QCOMPARE(saleShift(sell("A", 1, {{vorn::kPayCash, 100}})), shift);
    }

    // A return at the counter joins the cashier's shift and shows in its report.
    void counterReturnCarriesTheShift() {
        scriptedShift();
        const int64_t shift = vorn::Shifts(fx.core()).current_shift("admin");
        vorn::SaleDetail sold;
        QCOMPARE(vorn::Journal(fx.core()).open_sale(firstSale, sold), 1);
        const vorn::SaleRecord& sale = sold.sale;
        int64_t returned = 0;
        returnAtCounter(fx.shell(),
                        [&](QDialog& d) {
                            auto& r = static_cast<CReturnDlg&>(d);
                            QTest::keyClicks(r.numberEdit(), QString::fromStdString(sale.number));
                            QTest::keyClick(r.numberEdit(), Qt::Key_Return);
                            r.printCheck()->setChecked(false);
                            QTest::keyClick(r.table(), Qt::Key_F12);
                            returned = r.outcome().return_id;
                            return r.result();
                        },
                        {});
        QVERIFY2(returned > 0, qPrintable(fx.shell().statusText()));
        QCOMPARE(saleShift(returned), shift);
        CShiftDlg dlg(fx.shell());
        QCOMPARE(dlg.report().figures.returns, 1);
        // 2 x 10.0 back in cash: 80.0 - 20.0 expected.
        QVERIFY2(dlg.reportLabel()->text().contains(QStringLiteral("应有现金: 60.0元")),
                 qPrintable(dlg.reportLabel()->text()));
    }

    void dialogShowsTheShiftsFigures() {
        scriptedShift();
        CShiftDlg dlg(fx.shell());
        QCOMPARE(dlg.shiftId(), vorn::Shifts(fx.core()).current_shift("admin"));
        QCOMPARE(dlg.floatEdit()->text(), QStringLiteral("50.0"));
        const vorn::ShiftFigures& f = dlg.report().figures;
        QCOMPARE(f.sales, 2);
        QCOMPARE(f.by_method[vorn::kPayCash], int64_t(300));
        QCOMPARE(f.by_method[vorn::kPayWeChat], int64_t(100));
        const QString text = dlg.reportLabel()->text();
        for (const QString& part : {QStringLiteral("销售: 2笔  3件  金额 40.0元"),
                                    QStringLiteral("现金 30.0  微信 10.0  支付宝 0.0"),
                                    QStringLiteral("应有现金: 80.0元"), QStringLiteral("实点现金: -")})
            QVERIFY2(text.contains(part), qPrintable(text));
        // Nothing counted yet: nothing to hand over.
        QVERIFY(!dlg.okButton()->isEnabled());
    }

    void differenceNamedAsTyped_data() {
        QTest::addColumn<QString>("cashFloat");
        QTest::addColumn<QString>("counted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << ""
                               << "79.5" << QStringLiteral("差额: 短款 0.5元");
        QTest::newRow("even") << ""
                              << "80" << QStringLiteral("差额: 无差额");
        QTest::newRow("long") << ""
                              << "81.2" << QStringLiteral("差额: 长款 1.2元");
        // A corrected float moves the cash expected: 60 + 30 = 90.
        QTest::newRow("float corrected") << "60"
                                         << "89" << QStringLiteral("差额: 短款 1.0元");
    }
    void differenceNamedAsTyped() {
        QFETCH(QString, cashFloat);
        QFETCH(QString, counted);
        QFETCH(QString, shown);
        scriptedShift();
        CShiftDlg dlg(fx.shell());
        if (!cashFloat.isEmpty()) dlg.floatEdit()->setText(cashFloat);
        dlg.countedEdit()->setText(counted);
        QVERIFY2(dlg.reportLabel()->text().contains(shown), qPrintable(dlg.reportLabel()->text()));
        QVERIFY(dlg.okButton()->isEnabled());
    }

    void handOverKeepsTheCountAndCloses() {
        scriptedShift();
        vorn::Shifts shifts(fx.core());
        const int64_t shift = shifts.current_shift("admin");
        const QString status = handOver(QStringLiteral("60"), QStringLiteral("88.5"), true);
        // The 交班单 went where receipts go (a PDF here, with no printer) and the sentence says so.
        QVERIFY2(status.startsWith(QStringLiteral("成功交班，应有现金90.0元，实点现金88.5元，短款 1.5元；交班单已保存为PDF文件")),
                 qPrintable(status));
        vorn::ShiftRecord rec;
        QCOMPARE(shifts.get_shift(shift, rec), 1);
        QCOMPARE(rec.counted, int64_t(885));
        QCOMPARE(rec.cash_float, int64_t(600));
        QCOMPARE(rec.closed, now());
        QCOMPARE(shifts.current_shift("admin"), int64_t(0));
        // Handed over: the next 交班 finds nothing open and shows no dialog.
        int shown = 0;
        const QString none = handOver(QString(), QStringLiteral("1"), true, &shown);
        QCOMPARE(shown, 0);
        QVERIFY(none.startsWith(QStringLiteral("未")) && none.contains(QStringLiteral("任何")));
    }

    void cancelledHandOverLeavesTheShiftOpen() {
        scriptedShift();
        const int64_t shift = vorn::Shifts(fx.core()).current_shift("admin");
        QCOMPARE(handOver(QString(), QStringLiteral("80"), false), QStringLiteral("放弃该次\"交班\"操作"));
        QCOMPARE(vorn::Shifts(fx.core()).current_shift("admin"), shift);
    }

    void renderedItFits() {
        scriptedShift();
        CShiftDlg dlg(fx.shell());
        dlg.countedEdit()->setText(QStringLiteral("79"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCoreApplication::processEvents();
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        for (QLabel* l : dlg.findChildren<QLabel*>())
            if (l->isVisible() && !l->text().isEmpty())
                QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        QVERIFY(dlg.grab().save(QStringLiteral("/tmp/vorn-shiftdlg.png")));
    }
};

QTEST_MAIN(TestShiftDlg)
#include "test_shiftdlg.moc"

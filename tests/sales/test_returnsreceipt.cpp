// The return receipt "退货单": the units given back with what was refunded for
// them as positive figures, the return's number, the sale it came from, the
// refund by method and the points the member lost; its title line is printed
// on paper and on the ESC/POS printer.
#include <QtTest>

#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "receiptescpos.h"
#include "receiptlayout.h"
#include "returnreceipt.h"
#include "salefixture.h"
#include "vorn/journal.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {
const int64_t kSold = QDateTime(QDate(2026, 12, 7), QTime(9, 30)).toSecsSinceEpoch();
const int64_t kBack = QDateTime(QDate(2026, 12, 7), QTime(16, 0)).toSecsSinceEpoch();
} // namespace

class TestReturnsReceipt : public QObject {
    Q_OBJECT

    SaleFixture fx;

    // Sells units of A at the prices for the payments, with the member when
    // given; returns the first `back` of them. The return as on record.
    vorn::SaleDetail sellAndReturn(const std::vector<double>& prices, std::vector<vorn::Payment> paid, int back,
                                   int memberId, vorn::ReturnResult& res) {
        vorn::Journal j(fx.core());
        std::vector<vorn::SRec> units = fx.units("FSs_Code='A' AND FSi_Flag=0");
        units.resize(prices.size());
        vorn::CheckoutRequest c;
        for (size_t i = 0; i < units.size(); ++i) {
            units[i].FSi_Flag = 1;
            units[i].FSt_SalT = kSold;
            units[i].FSd_ReaP = prices[i];
        }
        c.units = units;
        c.cashier = "admin";
        c.payments = std::move(paid);
        if (memberId > 0) {
            c.member_id = memberId;
            c.member_code = fx.member(memberId).FVs_Code;
            c.points = 50;
        }
        const vorn::CheckoutResult sale = j.checkout(c);
        vorn::ReturnRequest r;
        r.sale_id = sale.sale_id;
        for (int i = 0; i < back; ++i)
            r.units.push_back({units[static_cast<size_t>(i)].FSi_Id, i == 0});
        r.time = kBack;
        r.cashier = "bob";
        res = j.return_goods(r);
        vorn::SaleDetail d;
        j.open_sale(res.return_id, d);
        return d;
    }

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(vorn::Journal(fx.core()).ensure_tables(), 0);
        fx.stock("A", 4, 10.0);
    }
    void cleanup() { fx.tearDown(); }

    void titles() {
        QCOMPARE(returnReceiptTitle(QStringLiteral("20261207-0001")), QStringLiteral("退货单 原单号:20261207-0001"));
        QCOMPARE(returnReceiptTitle(QString()), QStringLiteral("退货单 无原单"));
        // Fits one line of the receipt.
        QVERIFY(receiptCells(returnReceiptTitle(QStringLiteral("20261207-0001"))) <= kReceiptCells);
    }

    // Paid part WeChat part cash, two of three units back: the refund by method
    // as the journal wrote it, figures positive, the member's loss negative.
    void returnOfASaleWithAMember() {
        const int member = fx.addMember("M1", QStringLiteral("张三"), 1, 100);
        vorn::ReturnResult res;
        const vorn::SaleDetail ret =
            sellAndReturn({9.0, 9.0, 9.0}, {{vorn::kPayWeChat, 100}, {vorn::kPayCash, 170}}, 2, member, res);
        QCOMPARE(int(res.status), int(vorn::ReturnStatus::Done));
        ReceiptData shop;
        shop.shopName = QStringLiteral("小店");
        const ReceiptData r = receiptOfReturn(ret, QString::fromStdString(res.original_number), shop);

        QCOMPARE(r.title, returnReceiptTitle(QString::fromStdString(res.original_number)));
        QCOMPARE(r.number, QString::fromStdString(res.number));
        QCOMPARE(r.shopName, QStringLiteral("小店"));
        QCOMPARE(r.cashier, QStringLiteral("bob"));
        QVERIFY(!r.reprint);
        int quantity = 0;
        double amount = 0;
        for (const ReceiptLine& l : r.lines) {
            QVERIFY(l.quantity > 0);
            QCOMPARE(l.price, 9.0);
            quantity += l.quantity;
            amount += l.amount;
        }
        QCOMPARE(quantity, 2);
        QCOMPARE(amount, 18.0);
        QCOMPARE(r.paid, 18.0);
        QCOMPARE(r.changeTenths, int64_t(0));
        QCOMPARE(int(r.payments.size()), int(res.refunds.size()));
        for (size_t i = 0; i < r.payments.size(); ++i) {
            QCOMPARE(r.payments[i].method, fromGbk(vorn::pay_method_name(res.refunds[i].method)));
            QCOMPARE(r.payments[i].amount, res.refunds[i].amount);
            QVERIFY(r.payments[i].amount > 0);
        }
        QCOMPARE(r.memberCode, QStringLiteral("M1"));
        QVERIFY(r.creditedPoints.has_value());
        QCOMPARE(*r.creditedPoints, -res.points_lost);
        QVERIFY(res.points_lost > 0);

        // The title is printed on both kinds of printer, under the shop's name.
        const ReceiptLayout paper = layoutReceipt(r, 370, kBack);
        QVERIFY(paper.boxes.size() > 2);
        QCOMPARE(paper.boxes[1].text, r.title);
        const EscPosReceiptText esc = receiptEscPosText(r, kBack, 32);
        QCOMPARE(esc.body.value(0).trimmed(), r.title);
        // The bytes the thermal printer gets: every line of the text (the title,
        // the refund by method) in GBK, between the printer's reset and its cut.
        const QByteArray bytes = receiptEscPos(r, kBack, 32, false);
        QVERIFY(bytes.startsWith(QByteArray("\x1b\x40", 2)));
        for (const QString& line : esc.body)
            QVERIFY2(bytes.contains(QByteArray::fromStdString(gbk(line))), qPrintable(line));
        // A line per refund method, and the change line.
        const QStringList refundLines = receiptPaymentLines(r, r.paid);
        QCOMPARE(refundLines.size(), int(r.payments.size()) + 1);
        for (const QString& line : refundLines)
            QVERIFY2(esc.body.contains(line), qPrintable(line));
        QVERIFY(bytes.contains(QByteArray("\x1d\x56", 2)));
        // A sale's receipt has none.
        ReceiptData sale = r;
        sale.title.clear();
        QVERIFY(layoutReceipt(sale, 370, kBack).boxes[1].text != r.title);
    }

    void clearSaleDropsTheTitle() {
        ReceiptData r;
        r.title = returnReceiptTitle(QString());
        r.clearSale();
        QVERIFY(r.title.isEmpty());
    }
};

QTEST_MAIN(TestReturnsReceipt)
#include "test_returnsreceipt.moc"

// Paying at the counter: the payment dialog worked by its keys (cash as it
// always was, the other methods paying exactly, sales split over several), the
// sale-complete dialog with the number and how it was paid, and both seen
// rendered.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "paymentdlg.h"
#include "pricing.h"
#include "receiptdata.h"
#include "salefixture.h"
#include "saleprintdlg.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

// "1:1,0:2": method:tenths of each part, in the order taken.
QString partsText(const std::vector<vorn::Payment>& parts) {
    QStringList out;
    for (const vorn::Payment& p : parts)
        out << QStringLiteral("%1:%2").arg(p.method).arg(p.amount);
    return out.join(QLatin1Char(','));
}

// Every label shows its whole text: nothing is cut.
void labelsFit(QWidget& w) {
    for (QLabel* l : w.findChildren<QLabel*>())
        if (l->isVisible() && !l->text().isEmpty())
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
}

} // namespace

class TestPayment : public QObject {
    Q_OBJECT

    SaleFixture fx;

    // Keys as the cashier presses them on the amount edit: "F1".."F5", "Enter",
    // "Escape", or an amount typed over the selected text.
    void press(CPaymentDlg& dlg, const QStringList& steps) {
        for (const QString& s : steps) {
            if (s.startsWith(QLatin1Char('F')))
                QTest::keyClick(dlg.edit(), Qt::Key(Qt::Key_F1 + s.mid(1).toInt() - 1));
            else if (s == QStringLiteral("Enter"))
                QTest::keyClick(dlg.edit(), Qt::Key_Return);
            else if (s == QStringLiteral("Escape"))
                QTest::keyClick(dlg.edit(), Qt::Key_Escape);
            else
                QTest::keyClicks(dlg.edit(), s);
        }
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void keys_data() {
        QTest::addColumn<qint64>("due");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("parts");
        QTest::addColumn<qint64>("change");
        QTest::addColumn<QString>("refused");
        const QString none;
        QTest::newRow("cash tendered, change given")
            << qint64(55) << QStringList{"100", "Enter"} << 1 << "0:1000" << qint64(945) << none;
        QTest::newRow("0.1 WeChat and 0.2 cash")
            << qint64(3) << QStringList{"F2", "0.1", "Enter", "0.2", "Enter"} << 1 << "1:1,0:2" << qint64(0)
            << none;
        QTest::newRow("Alipay untouched pays exactly")
            << qint64(123) << QStringList{"F3", "Enter"} << 1 << "2:123" << qint64(0) << none;
        QTest::newRow("card part, cash the rest with change")
            << qint64(100) << QStringList{"F4", "6", "Enter", "5", "Enter"} << 1 << "3:60,0:50" << qint64(10)
            << none;
        QTest::newRow("other twice, the second untouched")
            << qint64(100) << QStringList{"F5", "3", "Enter", "F5", "Enter"} << 1 << "4:30,4:70" << qint64(0)
            << none;
        QTest::newRow("back to cash from WeChat starts at 0")
            << qint64(20) << QStringList{"F2", "F1", "Enter"} << 0 << "" << qint64(0)
            << "实付金额少于购买商品的总金额";
        QTest::newRow("card over the amount due refused")
            << qint64(50) << QStringList{"F4", "9.9", "Enter"} << 0 << "" << qint64(0)
            << "银行卡付款9.9超过尚需支付的金额5.0，只有现金可以找零";
        QTest::newRow("WeChat over what a part left refused")
            << qint64(50) << QStringList{"F4", "2", "Enter", "F2", "3.1", "Enter"} << 0 << "3:20" << qint64(0)
            << "微信付款3.1超过尚需支付的金额3.0，只有现金可以找零";
        QTest::newRow("cash short as it always was") << qint64(50) << QStringList{"4", "Enter"} << 0 << ""
                                                     << qint64(0) << "实付金额少于购买商品的总金额";
        QTest::newRow("cash short after a part names the rest")
            << qint64(100) << QStringList{"F2", "3", "Enter", "5", "Enter"} << 0 << "1:30" << qint64(0)
            << "实付金额少于尚需支付的金额7.0";
        QTest::newRow("nothing by WeChat refused") << qint64(10) << QStringList{"F2", "0", "Enter"} << 0 << ""
                                                   << qint64(0) << "微信付款的金额必须大于零";
        QTest::newRow("Escape cancels after a part")
            << qint64(10) << QStringList{"F2", "0.5", "Enter", "Escape"} << -1 << "1:5" << qint64(0) << none;
    }
    void keys() {
        QFETCH(qint64, due);
        QFETCH(QStringList, steps);
        QFETCH(int, result);
        QFETCH(QString, parts);
        QFETCH(qint64, change);
        QFETCH(QString, refused);
        CPaymentDlg dlg(*fx.store.shell, due);
        press(dlg, steps);
        QCOMPARE(dlg.resultCode(), result);
        QCOMPARE(partsText(dlg.payments()), parts);
        QCOMPARE(dlg.changeTenths(), change);
        QCOMPARE(fx.shell().failures, refused.isEmpty() ? QStringList() : QStringList{refused});
        if (result == 1) QCOMPARE(dlg.paidTenths(), due + change);
        if (result == 0) QVERIFY(dlg.edit()->hasSelectedText() || dlg.edit()->text().isEmpty());
    }

    void opensOnCashAndShowsWhatIsLeft() {
        CPaymentDlg dlg(*fx.store.shell, 125);
        const QStringList captions{"现金 F1", "微信 F2", "支付宝 F3", "银行卡 F4", "其他 F5"};
        for (int i = 0; i < 5; ++i) {
            QPushButton* b = dlg.methodButton(CPaymentDlg::kMethods[i]);
            QVERIFY(b);
            QCOMPARE(b->text(), captions[i]);
            QCOMPARE(b->isChecked(), i == 0);
        }
        QCOMPARE(dlg.method(), int(vorn::kPayCash));
        QCOMPARE(dlg.edit()->text(), QStringLiteral("0"));
        QCOMPARE(dlg.edit()->selectedText(), QStringLiteral("0"));
        QCOMPARE(dlg.stillDueLabel()->text(), QStringLiteral("12.5"));
        QCOMPARE(dlg.partsLabel()->text(), QStringLiteral("无"));

        // A click chooses as the key does; the amount due is there, selected.
        dlg.methodButton(vorn::kPayCard)->click();
        QCOMPARE(dlg.method(), int(vorn::kPayCard));
        QCOMPARE(dlg.edit()->selectedText(), QStringLiteral("12.5"));
        dlg.edit()->setText(QStringLiteral("2.5"));
        dlg.onOk();
        QCOMPARE(dlg.resultCode(), 0);
        QCOMPARE(dlg.partsLabel()->text(), QStringLiteral("银行卡 2.5"));
        QCOMPARE(dlg.stillDueLabel()->text(), QStringLiteral("10.0"));
        QCOMPARE(dlg.method(), int(vorn::kPayCash));
        QVERIFY(dlg.methodButton(vorn::kPayCash)->isChecked());
        QCOMPARE(dlg.edit()->selectedText(), QStringLiteral("0"));
        dlg.chooseMethod(vorn::kPayWeChat);
        QCOMPARE(dlg.edit()->text(), QStringLiteral("10.0"));

        // "重新付款" takes the parts back: the whole amount is due again, in cash.
        dlg.clearParts();
        QVERIFY(dlg.payments().empty());
        QCOMPARE(dlg.stillDueLabel()->text(), QStringLiteral("12.5"));
        QCOMPARE(dlg.method(), int(vorn::kPayCash));
        dlg.edit()->setText(QStringLiteral("12.5"));
        dlg.onOk();
        QCOMPARE(partsText(dlg.payments()), QStringLiteral("0:125"));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void saleCompleteShowsNumberAndMethods() {
        ReceiptData sale;
        sale.number = QStringLiteral("20261207-0042");
        sale.payments = {{QStringLiteral("微信"), 1}, {QStringLiteral("现金"), 52}};
        sale.changeTenths = 50;
        CSalePrintDlg dlg;
        dlg.showSale(sale);
        QCOMPARE(dlg.numberLabel()->text(), QStringLiteral("单号: 20261207-0042"));
        QCOMPARE(dlg.paymentsLabel()->text(), QStringLiteral("微信 0.1    现金 5.2    找零 5.0"));
        QVERIFY(
            dlg.findChild<QLabel*>(QStringLiteral("saleDoneKeys"))->text().contains(QStringLiteral("Enter")));
        // Without payment lines the amount paid stands alone, as before the journal.
        ReceiptData old;
        old.paid = 20.0;
        old.changeTenths = 15;
        dlg.showSale(old);
        QVERIFY(dlg.numberLabel()->isHidden());
        QCOMPARE(dlg.paymentsLabel()->text(), QStringLiteral("实付 20.0    找零 1.5"));
    }

    // Both dialogs at their own size: Chinese on every label, nothing cut,
    // well within the screen. The pictures are left in /tmp to be looked at.
    void renderedTheyFit() {
        CPaymentDlg pay(*fx.store.shell, 1234);
        pay.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pay));
        press(pay, {"F2", "3", "Enter"});
        QCoreApplication::processEvents();
        QVERIFY(pay.width() <= 1024 && pay.height() <= 768);
        labelsFit(pay);
        for (int m : CPaymentDlg::kMethods)
            QVERIFY(pay.methodButton(m)->width() >= pay.methodButton(m)->sizeHint().width());
        QVERIFY(pay.grab().save(QStringLiteral("/tmp/vorn-paymentdlg.png")));

        ReceiptData sale;
        sale.number = QStringLiteral("20261207-0042");
        sale.payments = {{QStringLiteral("支付宝"), 1000}, {QStringLiteral("现金"), 234}};
        CSalePrintDlg done;
        done.showSale(sale);
        done.show();
        QVERIFY(QTest::qWaitForWindowExposed(&done));
        QVERIFY(done.width() <= 1024 && done.height() <= 768);
        labelsFit(done);
        QVERIFY(done.grab().save(QStringLiteral("/tmp/vorn-saleprintdlg.png")));
    }
};

QTEST_MAIN(TestPayment)
#include "test_payment.moc"

// The counter's return dialog driven as a cashier would: a sale found by its
// number or picked from the day's list, lines chosen, some units written off,
// the refund planned by method; a second return refused naming the return
// that took the units; a salesperson's return only with an approval; a
// return without a receipt by goods code; the status sentence at the counter.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include "kit/dialog/approvaldlg.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "returndlg.h"
#include "salefixture.h"
#include "vorn/journal.h"
#include "vorn/password.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

int64_t localTime(int y, int mo, int d, int h, int mi) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi)).toSecsSinceEpoch();
}

const int64_t kMorning = localTime(2026, 12, 7, 9, 30);
const int64_t kNow = localTime(2026, 12, 7, 16, 0);

} // namespace

class TestReturns : public QObject {
    Q_OBJECT

    SaleFixture fx;

    vorn::Journal journal() { return vorn::Journal(fx.core()); }

    // Sells n units of each code (in the order given) at the prices, paid as given.
    vorn::CheckoutResult sell(const std::vector<std::pair<std::string, std::vector<double>>>& goods,
                              std::vector<vorn::Payment> payments, int64_t at = kMorning) {
        vorn::CheckoutRequest r;
        for (const auto& [code, prices] : goods) {
            std::vector<vorn::SRec> units = fx.units("FSi_Flag=0 AND FSs_Code='" + code + "'");
            if (units.size() < prices.size()) return {};
            units.resize(prices.size());
            for (size_t i = 0; i < units.size(); ++i) {
                units[i].FSi_Flag = 1;
                units[i].FSt_SalT = at;
                units[i].FSd_ReaP = prices[i];
                r.units.push_back(units[i]);
            }
        }
        r.cashier = "admin";
        r.payments = std::move(payments);
        return journal().checkout(r);
    }

    void loginAs(const QString& name, int auth) {
        fx.shell().st.currentUser.FUs_Name = gbk(name);
        fx.shell().st.currentUser.FUi_Auth = auth;
    }

    void addAccount(const QString& name, const QString& password, int auth) {
        vorn::URec u;
        u.FUs_Name = gbk(name);
        u.FUs_Pas = vorn::hash_password(gbk(password));
        u.FUi_Auth = auth;
        QCOMPARE(fx.core().insert_urec(&u, 1), 1);
    }

    // The journal's returns, newest first.
    std::vector<vorn::SaleRecord> returns() {
        vorn::SaleFilter f;
        f.kind = vorn::kKindReturn;
        std::vector<vorn::SaleRecord> out;
        journal().select_sales(f, out, vorn::SaleOrder::Time, true);
        return out;
    }

    static void findSale(CReturnDlg& dlg, const std::string& number) {
        dlg.numberEdit()->setText(QString::fromStdString(number));
        dlg.onFind();
    }

private slots:
    void init() {
        setNowForTests(kNow);
        fx.setUp();
        QCOMPARE(journal().ensure_tables(), 0);
        fx.stock("A", 3, 10.0);
        fx.stock("B", 2, 20.0);
    }
    void cleanup() {
        fx.tearDown();
        setNowForTests(0);
    }

    // Picked from the day's list, every line back into stock: the units are as
    // before their sale, the refund is what was paid, in cash.
    void wholeReturnToStock() {
        const vorn::CheckoutResult sale = sell({{"A", {9.5, 9.5}}, {"B", {20.0}}}, {{vorn::kPayCash, 400}});
        QVERIFY2(sale.status == vorn::CheckoutStatus::Done, qPrintable(QString::number(sale.rc)));
        CReturnDlg dlg(fx.shell());
        QCOMPARE(dlg.daySalesCombo()->count(), 2);
        QVERIFY(dlg.daySalesCombo()->itemText(1).startsWith(QString::fromStdString(sale.number)));
        dlg.onPickDaySale(1);
        QCOMPARE(dlg.numberEdit()->text(), QString::fromStdString(sale.number));
        QCOMPARE(dlg.lineCount(), 2);
        QTableWidget* t = dlg.table();
        QCOMPARE(t->item(0, CReturnDlg::ColCode)->text(), QStringLiteral("A"));
        QCOMPARE(t->item(0, CReturnDlg::ColPrice)->text(), QStringLiteral("9.5"));
        QCOMPARE(t->item(0, CReturnDlg::ColLeft)->text(), QStringLiteral("2"));
        QCOMPARE(static_cast<QSpinBox*>(t->cellWidget(0, CReturnDlg::ColQuantity))->value(), 2);
        QCOMPARE(t->item(1, CReturnDlg::ColPrice)->text(), QStringLiteral("20.0"));
        QCOMPARE(dlg.refundLabel()->text(), QStringLiteral("退款: 39.0元  现金 39.0"));

        dlg.onOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const vorn::ReturnResult& res = dlg.outcome();
        QCOMPARE(int(res.status), int(vorn::ReturnStatus::Done));
        QCOMPARE(res.refund, int64_t(390));
        QCOMPARE(fx.count("FSi_Flag=0 AND FSd_ReaP=0 AND FSt_SalT IS NULL"), 5);
        const auto back = returns();
        QCOMPARE(int(back.size()), 1);
        QCOMPARE(back[0].original, sale.sale_id);
        QCOMPARE(back[0].units, -3);
        QCOMPARE(back[0].due, int64_t(-390));
        QCOMPARE(back[0].cashier, std::string("admin"));
        QVERIFY(back[0].approver.empty());
    }

    // Two of three units of a line back into stock, the other line written
    // off; a sale paid part WeChat part cash refunds cash first, or all in
    // cash when asked.
    void partialReturnWithDamagedLine() {
        // 70 due: 30 WeChat, 40 cash.
        const vorn::CheckoutResult sale =
            sell({{"A", {10.0, 10.0, 10.0}}, {"B", {20.0, 20.0}}}, {{vorn::kPayWeChat, 300}, {vorn::kPayCash, 400}});
        CReturnDlg dlg(fx.shell());
        findSale(dlg, sale.number);
        QCOMPARE(dlg.lineCount(), 2);
        dlg.setLineQuantity(0, 2);
        dlg.setLineQuantity(1, 1);
        dlg.setLineDamaged(1, true);
        const vorn::ReturnRequest r = dlg.request();
        QCOMPARE(int(r.units.size()), 3);
        QCOMPARE(int(std::count_if(r.units.begin(), r.units.end(), [](auto& u) { return u.damaged; })), 1);
        // 40 back: the 40 cash first.
        QCOMPARE(dlg.plan().refund, int64_t(400));
        QCOMPARE(dlg.refundLabel()->text(), QStringLiteral("退款: 40.0元  现金 40.0"));
        dlg.setLineQuantity(0, 3);
        QCOMPARE(dlg.refundLabel()->text(), QStringLiteral("退款: 50.0元  现金 40.0  微信 10.0"));
        dlg.allCashCheck()->setChecked(true);
        QCOMPARE(dlg.refundLabel()->text(), QStringLiteral("退款: 50.0元  现金 50.0"));
        dlg.allCashCheck()->setChecked(false);
        dlg.setLineQuantity(0, 2);

        dlg.onOk();
        QCOMPARE(int(dlg.outcome().status), int(vorn::ReturnStatus::Done));
        QCOMPARE(fx.count("FSs_Code='A' AND FSi_Flag=0"), 2);
        QCOMPARE(fx.count("FSs_Code='A' AND FSi_Flag=1"), 1);
        QCOMPARE(fx.count("FSs_Code='B' AND FSi_Flag=2 AND FSt_SalT IS NULL"), 1);
        QCOMPARE(fx.count("FSs_Code='B' AND FSi_Flag=1"), 1);

        // What is left of the sale can still come back; nothing else.
        CReturnDlg rest(fx.shell());
        findSale(rest, sale.number);
        QCOMPARE(rest.lineCount(), 2);
        QCOMPARE(rest.table()->item(0, CReturnDlg::ColLeft)->text(), QStringLiteral("1"));
        QCOMPARE(rest.table()->item(1, CReturnDlg::ColLeft)->text(), QStringLiteral("1"));
        rest.setLineChosen(1, false);
        QCOMPARE(int(rest.request().units.size()), 1);
        QCOMPARE(rest.refundLabel()->text(), QStringLiteral("退款: 10.0元  微信 10.0"));
    }

    // Two counters open the same sale; the second to confirm is refused with
    // the return that took the units, and writes nothing. A sale returned
    // whole lists nothing; an unknown number says so.
    void secondReturnRefusedNamingTheReturn() {
        const vorn::CheckoutResult sale = sell({{"A", {10.0}}}, {{vorn::kPayCash, 100}});
        CReturnDlg first(fx.shell()), second(fx.shell());
        findSale(first, sale.number);
        findSale(second, sale.number);
        first.onOk();
        QCOMPARE(int(first.outcome().status), int(vorn::ReturnStatus::Done));
        second.onOk();
        QCOMPARE(second.result(), int(QDialog::Rejected));
        QCOMPARE(int(second.outcome().status), int(vorn::ReturnStatus::AlreadyReturned));
        QCOMPARE(second.messageLabel()->text(),
                 QStringLiteral("商品(%1)已由退货单\"%2\"退回，不能再次退货")
                     .arg(first.outcome().units.at(0).unit)
                     .arg(QString::fromStdString(first.outcome().number)));
        QVERIFY(!second.findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled());
        QCOMPARE(int(returns().size()), 1);

        CReturnDlg again(fx.shell());
        findSale(again, sale.number);
        QCOMPARE(again.lineCount(), 0);
        QVERIFY(again.messageLabel()->text().contains(QString::fromStdString(sale.number)));
        QVERIFY(again.messageLabel()->text().contains(QStringLiteral("已全部退货")));
        findSale(again, "20261207-0099");
        QCOMPARE(again.messageLabel()->text(), QStringLiteral("未找到单号为\"20261207-0099\"的销售"));
        findSale(again, first.outcome().number);
        QCOMPARE(again.lineCount(), 0); // a return is not returned
    }

    // A salesperson's return: refused while nobody approves, a wrong password
    // or another salesperson; done with the owner's approval, kept with it.
    void salespersonNeedsApproval() {
        addAccount(QStringLiteral("店长"), QStringLiteral("boss1"), 1);
        addAccount(QStringLiteral("小李"), QStringLiteral("li"), 2);
        loginAs(QStringLiteral("小王"), 2);
        const vorn::CheckoutResult sale = sell({{"B", {18.0}}}, {{vorn::kPayAlipay, 180}});
        CReturnDlg dlg(fx.shell());
        QVERIFY(!dlg.noReceiptCheck()->isEnabled());
        findSale(dlg, sale.number);

        struct Try {
            QString name, password; // empty name: the approval is cancelled
            bool done;
        };
        const Try tries[] = {
            {QString(), QString(), false},
            {QStringLiteral("店长"), QStringLiteral("boss"), false},
            {QStringLiteral("小李"), QStringLiteral("li"), false},
            {QStringLiteral("店长"), QStringLiteral("boss1"), true},
        };
        int asked = 0;
        for (const Try& t : tries) {
            dlg.setApprovalRunner([&](QDialog& d) {
                ++asked;
                auto& a = static_cast<CApprovalDlg&>(d);
                if (t.name.isEmpty()) return int(QDialog::Rejected);
                a.nameEdit()->setText(t.name);
                a.passwordEdit()->setText(t.password);
                a.onOk();
                return a.result();
            });
            dlg.onOk();
            QCOMPARE(int(dlg.outcome().status == vorn::ReturnStatus::Done), int(t.done));
            if (!t.done) {
                QCOMPARE(dlg.messageLabel()->text(), QStringLiteral("退货未获管理员或店主授权，未退任何商品"));
                QCOMPARE(int(returns().size()), 0);
            }
        }
        QCOMPARE(asked, 4);
        const auto back = returns();
        QCOMPARE(int(back.size()), 1);
        QCOMPARE(fromGbk(back[0].approver), QStringLiteral("店长"));
        QCOMPARE(fromGbk(back[0].cashier), QStringLiteral("小王"));
        QCOMPARE(dlg.outcome().refunds.at(0).method, int(vorn::kPayAlipay));
    }

    // Without a receipt, as an administrator: the most recently sold units of
    // the code come back at their prices, refunded in cash.
    void withoutReceiptByCode() {
        sell({{"A", {8.0}}}, {{vorn::kPayWeChat, 80}}, kMorning);
        sell({{"A", {9.0}}}, {{vorn::kPayWeChat, 90}}, kMorning + 60);
        CReturnDlg dlg(fx.shell());
        QVERIFY(dlg.noReceiptCheck()->isEnabled());
        dlg.noReceiptCheck()->setChecked(true);
        QVERIFY(!dlg.allCashCheck()->isEnabled());
        dlg.codeEdit()->setText(QStringLiteral("Z"));
        dlg.onAddCode();
        QCOMPARE(dlg.messageLabel()->text(), QStringLiteral("未找到编码为\"Z\"的商品"));
        dlg.codeEdit()->setText(QStringLiteral("A"));
        dlg.codeQuantity()->setValue(3);
        dlg.onAddCode();
        QCOMPARE(dlg.lineCount(), 1);
        QCOMPARE(dlg.table()->item(0, CReturnDlg::ColName)->text(), QStringLiteral("name-A"));
        QVERIFY(dlg.messageLabel()->text().contains(QStringLiteral("只有2件")));
        dlg.setLineQuantity(0, 1);
        QCOMPARE(dlg.refundLabel()->text(), QStringLiteral("退款: 9.0元  现金 9.0"));
        dlg.onOk();
        const vorn::ReturnResult& res = dlg.outcome();
        QCOMPARE(int(res.status), int(vorn::ReturnStatus::Done));
        QCOMPARE(res.original, int64_t(0));
        QCOMPARE(fx.count("FSs_Code='A' AND FSi_Flag=0"), 2);
        QCOMPARE(returns().at(0).original, int64_t(0));
    }

    // The counter's sentence: a cancelled dialog, and a return done.
    void counterStatusSentences() {
        const vorn::CheckoutResult sale = sell({{"A", {10.0}}}, {{vorn::kPayCash, 100}});
        returnAtCounter(fx.shell(), [](QDialog&) { return int(QDialog::Rejected); }, {});
        QCOMPARE(fx.shell().statusText(), QStringLiteral("放弃该次\"退货\"操作"));
        returnAtCounter(
            fx.shell(),
            [&](QDialog& d) {
                auto& r = static_cast<CReturnDlg&>(d);
                findSale(r, sale.number);
                r.printCheck()->setChecked(false);
                r.onOk();
                return int(r.result());
            },
            {});
        const auto back = returns();
        QCOMPARE(int(back.size()), 1);
        QCOMPARE(fx.shell().statusText(), QStringLiteral("成功退货1件，退货单号\"%1\"，退款10.0元（现金 10.0）")
                                              .arg(QString::fromStdString(back[0].number)));
        QVERIFY(fx.shell().failures.isEmpty());
    }

    // Both dialogs fit the counter's 1024x768 screen with a sale listed;
    // VORN_SHOT_DIR keeps their pictures for a look.
    void dialogsFitTheScreen() {
        fx.stock("C", 1, 12.5);
        const vorn::CheckoutResult sale =
            sell({{"A", {9.5, 9.5}}, {"B", {20.0}}}, {{vorn::kPayWeChat, 200}, {vorn::kPayCash, 190}});
        fx.addMember("M9", QStringLiteral("李四"), 1, 5);
        CReturnDlg dlg(fx.shell());
        findSale(dlg, sale.number);
        dlg.setLineDamaged(1, true);
        CApprovalDlg approval(fx.shell().st, QStringLiteral("退货"));
        approval.nameEdit()->setText(QStringLiteral("店长"));
        for (QDialog* d : {static_cast<QDialog*>(&dlg), static_cast<QDialog*>(&approval)}) {
            d->adjustSize();
            QVERIFY(d->width() <= 1024 && d->height() <= 768);
            const QSize min = d->minimumSizeHint();
            QVERIFY(min.width() <= 1024 && min.height() <= 768);
        }
        const QString dir = qEnvironmentVariable("VORN_SHOT_DIR");
        if (!dir.isEmpty()) {
            dlg.show();
            approval.show();
            QVERIFY(dlg.grab().save(dir + QStringLiteral("/returndlg.png")));
            QVERIFY(approval.grab().save(dir + QStringLiteral("/approvaldlg.png")));
        }
    }
};

QTEST_MAIN(TestReturns)
#include "test_returns.moc"

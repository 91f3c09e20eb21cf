// 退货 from the counter page: F8 and the command open the return dialog; a
// salesperson's return runs the approval through the page's dialog runner; a
// sale is returned by keyboard alone and the page says so.
#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

#include "kit/dialog/approvaldlg.h"
#include "pricing.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "res/commandids.h"
#include "returndlg.h"
#include "saleinputdlg.h"
#include "salefixture.h"
#include "saleview.h"
#include "vorn/journal.h"
#include "vorn/password.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {
const int64_t kNow = QDateTime(QDate(2026, 12, 7), QTime(15, 0)).toSecsSinceEpoch();
} // namespace

class TestReturnsCounter : public QObject {
    Q_OBJECT

    SaleFixture fx;
    std::unique_ptr<CSaleView> page;
    // What the runner met, in order: "return" or "approval".
    QStringList shown;
    std::function<int(CReturnDlg&)> onReturn;
    std::function<int(CApprovalDlg&)> onApproval;

    int runDialog(QDialog& d) {
        if (auto* r = qobject_cast<CReturnDlg*>(&d)) {
            shown << QStringLiteral("return");
            return onReturn ? onReturn(*r) : int(QDialog::Rejected);
        }
        if (auto* a = qobject_cast<CApprovalDlg*>(&d)) {
            shown << QStringLiteral("approval");
            return onApproval ? onApproval(*a) : int(QDialog::Rejected);
        }
        shown << d.objectName();
        return QDialog::Rejected;
    }

    vorn::CheckoutResult sellOne(const std::string& code, double price) {
        std::vector<vorn::SRec> units = fx.units("FSi_Flag=0 AND FSs_Code='" + code + "'");
        if (units.empty()) return {};
        vorn::CheckoutRequest c;
        units[0].FSi_Flag = 1;
        units[0].FSt_SalT = kNow - 600;
        units[0].FSd_ReaP = price;
        c.units = {units[0]};
        c.cashier = "admin";
        c.payments = {{vorn::kPayCash, toTenths(price)}};
        return vorn::Journal(fx.core()).checkout(c);
    }

private slots:
    void init() {
        setNowForTests(kNow);
        fx.setUp();
        QCOMPARE(vorn::Journal(fx.core()).ensure_tables(), 0);
        fx.stock("A", 2, 10.0);
        page = std::make_unique<CSaleView>(fx.shell());
        page->resize(1024, 640);
        page->setDialogRunner([this](QDialog& d) { return runDialog(d); });
        page->initialUpdate();
        shown.clear();
        onReturn = nullptr;
        onApproval = nullptr;
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
        setNowForTests(0);
    }

    void keyAndCommandOpenTheDialog() {
        QVERIFY(page->isCommandEnabled(cmd::ReturnGoods));
        QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_F8);
        QCOMPARE(shown, QStringList{QStringLiteral("return")});
        QCOMPARE(fx.shell().statusText(), QStringLiteral("放弃该次\"退货\"操作"));
        QVERIFY(page->onCommand(cmd::ReturnGoods));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last(), QStringLiteral("return"));
    }

    // A return by keyboard alone: F8, the number typed and Enter, F12 to
    // confirm; Enter alone never confirms.
    void keyboardReturn() {
        fx.stock("K", 1, 5.0);
        const vorn::CheckoutResult sale = sellOne("K", 5.0);
        QCOMPARE(int(sale.status), int(vorn::CheckoutStatus::Done));
        int linesSeen = -1;
        bool acceptedByEnter = true;
        onReturn = [&](CReturnDlg& r) {
            QTest::keyClicks(r.numberEdit(), QString::fromStdString(sale.number));
            QTest::keyClick(r.numberEdit(), Qt::Key_Return);
            linesSeen = r.lineCount();
            QTest::keyClick(r.table(), Qt::Key_Return);
            acceptedByEnter = r.result() == QDialog::Accepted;
            r.printCheck()->setChecked(false);
            QTest::keyClick(r.table(), Qt::Key_F12);
            return r.result();
        };
        QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_F8);
        QCOMPARE(linesSeen, 1);
        QVERIFY(!acceptedByEnter);
        QVERIFY2(fx.shell().statusText().startsWith(QStringLiteral("成功退货1件")), qPrintable(fx.shell().statusText()));
        QCOMPARE(fx.count("FSs_Code='K' AND FSi_Flag=0"), 1);
    }

    // A salesperson returns with the owner's approval, asked for by the page's runner.
    void salespersonReturnThroughThePage() {
        vorn::URec owner;
        owner.FUs_Name = gbk(QStringLiteral("店长"));
        owner.FUs_Pas = vorn::hash_password("boss1");
        owner.FUi_Auth = 1;
        QCOMPARE(fx.core().insert_urec(&owner, 1), 1);
        fx.shell().st.currentUser.FUs_Name = gbk(QStringLiteral("小王"));
        fx.shell().st.currentUser.FUi_Auth = 2;
        const vorn::CheckoutResult sale = sellOne("A", 9.5);
        QCOMPARE(int(sale.status), int(vorn::CheckoutStatus::Done));

        onReturn = [&](CReturnDlg& r) {
            r.numberEdit()->setText(QString::fromStdString(sale.number));
            r.onFind();
            r.printCheck()->setChecked(false);
            r.onOk();
            return r.result();
        };
        onApproval = [](CApprovalDlg& a) {
            a.nameEdit()->setText(QStringLiteral("店长"));
            a.passwordEdit()->setText(QStringLiteral("boss1"));
            a.onOk();
            return a.result();
        };
        QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_F8);
        QCOMPARE(shown, (QStringList{QStringLiteral("return"), QStringLiteral("approval")}));
        QVERIFY2(fx.shell().statusText().startsWith(QStringLiteral("成功退货1件")), qPrintable(fx.shell().statusText()));
        QVERIFY(fx.shell().statusText().contains(QStringLiteral("退款9.5元")));
        vorn::SaleFilter f;
        f.kind = vorn::kKindReturn;
        std::vector<vorn::SaleRecord> back;
        QCOMPARE(vorn::Journal(fx.core()).select_sales(f, back), 1);
        QCOMPARE(fromGbk(back[0].approver), QStringLiteral("店长"));
        QCOMPARE(fx.count("FSs_Code='A' AND FSi_Flag=0"), 2);
    }
};

QTEST_MAIN(TestReturnsCounter)
#include "test_returnscounter.moc"

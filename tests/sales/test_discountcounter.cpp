// Discounts within authority at the counter: a salesperson asking a rate below
// the shop's lowest, or a 特价/批发价 level the shop keeps from them, is asked
// for an administrator's or shop owner's name and password; allowed, the prices
// change and the approver goes into the Sale row at checkout; refused or
// cancelled, nothing changes and the status line says so. Enter and Escape of
// the counter's two discount dialogs.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "discountauthority.h"
#include "heldsale.h"
#include "kit/dialog/approvaldlg.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "salecounter.h"
#include "salediscountdlg.h"
#include "salefixture.h"
#include "salelist.h"
#include "salevipdlg.h"
#include "vorn/journal.h"
#include "vorn/password.h"
#include "vorn/shifts.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

constexpr int kClerk = 2;
constexpr int kOwner = 1;
const QString kOwnerName = QStringLiteral("店长");
const QString kOtherClerk = QStringLiteral("小李");

struct Try {
    QString name;
    QString password;
};

} // namespace

Q_DECLARE_METATYPE(Try)

class TestDiscountCounter : public QObject {
    Q_OBJECT

    SaleFixture fx;
    SaleList list;

    void addUser(const QString& name, const char* password, int role) {
        vorn::URec u;
        u.FUs_Name = gbk(name);
        u.FUs_Pas = vorn::hash_password(password);
        u.FUi_Auth = role;
        QCOMPARE(fx.core().insert_urec(&u, 1), 1);
    }
    void logIn(const QString& name, int role) {
        fx.shell().st.currentUser.FUs_Name = gbk(name);
        fx.shell().st.currentUser.FUi_Auth = role;
    }
    // Two units of A (retail 10, 特价 5, 批发价 7) in one row of the list.
    void listTwoUnits() {
        fx.stock("A", 2, 10.0);
        std::vector<vorn::SRec> units = fx.units("FSi_Flag=0 AND FSs_Code='A'");
        QCOMPARE(units.size(), size_t(2));
        for (vorn::SRec& u : units)
            u.FSd_ReaP = u.FSd_RetP;
        list.addRow(SaleRow(units, QString()));
        list.recount();
    }
    double price() const { return list.rows()[0].first().FSd_ReaP; }
    // The tries typed into the approval dialog, in order; cancelled after the
    // last unless one was accepted. What it said after each try is kept.
    DialogRunner approvals(const QList<Try>& tries, int& shown, QStringList& said) {
        return [tries, &shown, &said](QDialog& d) {
            auto* a = qobject_cast<CApprovalDlg*>(&d);
            if (!a) return int(QDialog::Rejected);
            ++shown;
            for (const Try& t : tries) {
                a->nameEdit()->setText(t.name);
                a->passwordEdit()->setText(t.password);
                a->onOk();
                said << a->message();
                if (a->result() == QDialog::Accepted) return a->result();
            }
            a->onCancel();
            return a->result();
        };
    }

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(vorn::Journal(fx.core()).ensure_tables(), 0);
        QCOMPARE(vorn::Shifts(fx.core()).ensure_tables(), 0);
        vorn::ShopRules rules;
        rules.lowest_rate = 80;
        rules.clerk_special = false;
        QCOMPARE(vorn::Shifts(fx.core()).set_rules(rules), 1);
        addUser(kOwnerName, "boss1", kOwner);
        addUser(kOtherClerk, "clerk1", kClerk);
        logIn(QStringLiteral("小王"), kClerk);
        list = SaleList();
        listTwoUnits();
    }
    void cleanup() { fx.tearDown(); }

    void discount_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("rate"); // empty: the preset level below
        QTest::addColumn<int>("preset");
        QTest::addColumn<QList<Try>>("tries");
        QTest::addColumn<int>("asked");       // approval dialogs shown
        QTest::addColumn<double>("expected"); // each unit's price afterwards
        QTest::addColumn<QString>("approver");
        QTest::addColumn<QString>("status"); // the last status line; empty: none
        const QList<Try> none;
        const QList<Try> owner{{kOwnerName, QStringLiteral("boss1")}};
        const QString refusedRate =
            QStringLiteral("未获管理员或店主授权，未给任何商品打7折(营业员最低可打8折)");
        const QString refusedSpecial = QStringLiteral("未获管理员或店主授权，未按\"特价\"出售任何商品");
        QTest::newRow("clerk within the limit") << kClerk << "8" << 0 << none << 0 << 8.0 << ""
                                                << "";
        QTest::newRow("clerk, retail level") << kClerk << "" << 0 << none << 0 << 10.0 << ""
                                             << "";
        QTest::newRow("clerk, member level") << kClerk << "" << 2 << none << 0 << 8.0 << ""
                                             << "";
        QTest::newRow("clerk below, owner allows")
            << kClerk << "7" << 0 << owner << 1 << 7.0 << kOwnerName << "";
        QTest::newRow("clerk 特价, owner allows")
            << kClerk << "" << 4 << owner << 1 << 5.0 << kOwnerName << "";
        QTest::newRow("clerk 批发价, owner allows")
            << kClerk << "" << 3 << owner << 1 << 7.0 << kOwnerName << "";
        QTest::newRow("clerk below, cancelled")
            << kClerk << "7" << 0 << none << 1 << 10.0 << "" << refusedRate;
        QTest::newRow("clerk below, wrong password")
            << kClerk << "7" << 0 << QList<Try>{{kOwnerName, QStringLiteral("nope")}} << 1 << 10.0 << ""
            << refusedRate;
        QTest::newRow("clerk below, a clerk cannot approve")
            << kClerk << "7" << 0 << QList<Try>{{kOtherClerk, QStringLiteral("clerk1")}} << 1 << 10.0 << ""
            << refusedRate;
        QTest::newRow("clerk 特价, cancelled")
            << kClerk << "" << 4 << none << 1 << 10.0 << "" << refusedSpecial;
        QTest::newRow("wrong, then right")
            << kClerk << "7" << 0 << QList<Try>{{kOwnerName, QStringLiteral("x")}, owner[0]} << 1 << 7.0
            << kOwnerName << "";
        QTest::newRow("owner alone below") << kOwner << "5" << 0 << none << 0 << 5.0 << ""
                                           << "";
        QTest::newRow("owner alone 特价") << kOwner << "" << 4 << none << 0 << 5.0 << ""
                                          << "";
    }
    void discount() {
        QFETCH(int, role);
        QFETCH(QString, rate);
        QFETCH(int, preset);
        QFETCH(QList<Try>, tries);
        QFETCH(int, asked);
        QFETCH(double, expected);
        QFETCH(QString, approver);
        QFETCH(QString, status);
        if (role != kClerk) logIn(kOwnerName, role);
        fx.shell().statuses.clear();

        CSaleDiscountDlg dlg(fx.shell(), list, {0});
        int shown = 0;
        QStringList said;
        dlg.setApprovalRunner(approvals(tries, shown, said));
        if (rate.isEmpty()) {
            dlg.presetCombo()->setCurrentIndex(preset);
        } else {
            dlg.rateRadio()->click();
            dlg.rateEdit()->setText(rate);
        }
        dlg.onApply();

        QCOMPARE(shown, asked);
        QCOMPARE(price(), expected);
        QCOMPARE(dlg.approver(), approver);
        QCOMPARE(fromGbk(list.approver()), approver);
        // Allowed, it closes; refused, it stays open for a rate within authority.
        QCOMPARE(dlg.result() == QDialog::Accepted, status.isEmpty());
        QCOMPARE(fx.shell().statusText(), status);
        // Every try but an accepted one was answered with a reason.
        QCOMPARE(said.count(QString()), approver.isEmpty() ? 0 : 1);
        QVERIFY(fx.shell().failures.isEmpty());
    }

    // What the approval dialog says to a clerk's credentials and a wrong password.
    void refusalsSayWhy() {
        CSaleDiscountDlg dlg(fx.shell(), list, {0});
        int shown = 0;
        QStringList said;
        dlg.setApprovalRunner(approvals(
            {{kOtherClerk, QStringLiteral("clerk1")}, {kOwnerName, QStringLiteral("wrong")}}, shown, said));
        dlg.presetCombo()->setCurrentIndex(kPresetSpecial);
        dlg.onApply();
        QCOMPARE(said, (QStringList{QStringLiteral("用户\"小李\"不是管理员或店主，无权授权"),
                                    QStringLiteral("用户名或密码不正确，未获授权")}));
        QCOMPARE(price(), 10.0);
    }

    // The shop that lets salespeople use the levels and sets no lowest rate asks nobody.
    void freeShopAsksNobody() {
        QCOMPARE(vorn::Shifts(fx.core()).set_rules(vorn::ShopRules()), 1);
        CSaleDiscountDlg dlg(fx.shell(), list, {0});
        int shown = 0;
        QStringList said;
        dlg.setApprovalRunner(approvals({}, shown, said));
        dlg.rateRadio()->click();
        dlg.rateEdit()->setText(QStringLiteral("1"));
        dlg.onApply();
        QCOMPARE(shown, 0);
        QCOMPARE(price(), 1.0);
    }

    // The approver of a discount is stored with the sale; the next sale has none.
    void approverInTheSaleRow() {
        CSaleDiscountDlg dlg(fx.shell(), list, {0});
        int shown = 0;
        QStringList said;
        dlg.setApprovalRunner(approvals({{kOwnerName, QStringLiteral("boss1")}}, shown, said));
        dlg.rateRadio()->click();
        dlg.rateEdit()->setText(QStringLiteral("6"));
        dlg.onApply();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        list.recount();
        const int64_t due = list.totals().amount;
        QCOMPARE(due, int64_t(120));

        // Parked for a while (挂单) and taken back, the sale keeps its approval.
        const vorn::HeldSale held = heldSaleOf(list, nullptr, "clerk", 1700000000);
        list.clear();
        QCOMPARE(recallInto(fx.core(), held, list, {}).units, 2);
        QCOMPARE(fromGbk(list.approver()), kOwnerName);
        list.recount();
        QCOMPARE(list.totals().amount, due);

        SaleParty party;
        party.cashier = fx.shell().st.currentUser.FUs_Name;
        party.payments = {{vorn::kPayCash, due}};
        std::vector<ReceiptLine> lines;
        const SaleWrite first = writeSale(fx.core(), list, 1700000000, party, due, lines);
        QCOMPARE(first.sold, 2);
        QVERIFY(list.approver().empty()); // went with the list

        fx.stock("B", 1, 4.0);
        std::vector<vorn::SRec> b = fx.units("FSi_Flag=0 AND FSs_Code='B'");
        b[0].FSd_ReaP = 4.0;
        list.addRow(SaleRow(b, QString()));
        list.recount();
        party.payments = {{vorn::kPayCash, 40}};
        QCOMPARE(writeSale(fx.core(), list, 1700000100, party, 40, lines).sold, 1);

        std::vector<vorn::SaleRecord> sales;
        QCOMPARE(vorn::Journal(fx.core()).select_sales(vorn::SaleFilter(), sales), 2);
        std::map<int64_t, QString> approvers;
        for (const vorn::SaleRecord& s : sales)
            approvers[s.id] = fromGbk(s.approver);
        QCOMPARE(approvers[first.saleId], kOwnerName);
        QCOMPARE(approvers.size(), size_t(2));
        for (const auto& [id, name] : approvers)
            if (id != first.saleId) QVERIFY(name.isEmpty());
    }

    // An approval belongs to the sale in progress: emptying the list drops it.
    void emptiedListDropsTheApprover() {
        const SaleRow row = list.rows()[0];
        list.setApprover(gbk(kOwnerName));
        QCOMPARE(list.removeRows({0}), 1);
        QVERIFY(list.approver().empty());
        list.addRow(row);
        list.setApprover(gbk(kOwnerName));
        QCOMPARE(list.removeRows({5}), 0); // rows left: the sale keeps it
        QCOMPARE(fromGbk(list.approver()), kOwnerName);
        list.clear();
        QVERIFY(list.approver().empty());
    }

    // A look at the approval prompt a salesperson's 7折 brings up: written to /tmp for review.
    void approvalPicture() {
        CApprovalDlg approval(fx.shell().st, QStringLiteral("打7折"));
        approval.nameEdit()->setText(kOtherClerk);
        approval.passwordEdit()->setText(QStringLiteral("clerk1"));
        approval.onOk();
        approval.show();
        QVERIFY(approval.width() <= 1024 && approval.height() <= 768);
        QVERIFY(approval.message().contains(kOtherClerk));
        QVERIFY(approval.grab().save(QStringLiteral("/tmp/vorn-approval.png")));
    }

    // Enter applies and Escape closes, from whichever field has the focus.
    void enterAndEscape() {
        logIn(kOwnerName, kOwner);
        CSaleDiscountDlg byEnter(fx.shell(), list, {0});
        byEnter.rateRadio()->click();
        byEnter.rateEdit()->setText(QStringLiteral("9"));
        QTest::keyClick(byEnter.rateEdit(), Qt::Key_Enter);
        QCOMPARE(byEnter.result(), int(QDialog::Accepted));
        QCOMPARE(price(), 9.0);
        CSaleDiscountDlg byEscape(fx.shell(), list, {0});
        byEscape.setResult(-1);
        QTest::keyClick(byEscape.presetCombo(), Qt::Key_Escape);
        QCOMPARE(byEscape.result(), int(QDialog::Rejected));
        QCOMPARE(price(), 9.0);

        fx.addMember("M1", QStringLiteral("会员"), 0);
        CSaleVIPDlg member(fx.shell());
        member.edit()->setText(QStringLiteral("M1"));
        QTest::keyClick(member.edit(), Qt::Key_Return);
        QCOMPARE(member.result(), int(QDialog::Accepted));
        QCOMPARE(member.member().FVs_Code, std::string("M1"));
        CSaleVIPDlg away(fx.shell());
        away.setResult(-1);
        QTest::keyClick(away.edit(), Qt::Key_Escape);
        QCOMPARE(away.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestDiscountCounter)
#include "test_discountcounter.moc"

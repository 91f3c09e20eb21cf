// The sale journal in the main window: an administrator finds a sale paid part
// by WeChat, part in cash, opens it to its lines and payments and prints its
// receipt again; a salesperson has no journal tab.
#include <QPrinterInfo>
#include <QTableView>
#include <QTableWidget>

#include "frame_fixture.h"
#include "journalcolumns.h"
#include "journaldetaildlg.h"
#include "journalview.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "vorn/journal.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

// Two units of one code sold at 12.5 each: 10.0 by WeChat, the rest and 5.0 of
// change in cash. The sale's number.
std::string sellTwo(vorn::Core& core, int64_t t) {
    vorn::SRec u;
    u.FSs_Code = "6901";
    u.FSs_Name = gbk(QStringLiteral("矿泉水"));
    u.FSi_Type = 1;
    u.FSd_OriP = 5.0;
    u.FSd_RetP = 12.5;
    u.FSt_StoT = t - 3600;
    u.FSi_Supplier = 1;
    std::vector<vorn::SRec> units(2, u);
    if (core.insert_srec(units.data(), 2) != 2) return {};
    if (core.select_srec(units.data(), "FSs_Code='6901' ORDER BY FSi_Id") != 2) return {};
    vorn::CheckoutRequest r;
    for (vorn::SRec& s : units) {
        s.FSi_Flag = 1;
        s.FSt_SalT = t;
        s.FSd_ReaP = 12.5;
        r.units.push_back(s);
    }
    r.cashier = "admin";
    r.payments = {{vorn::kPayWeChat, 100}, {vorn::kPayCash, 200}};
    const vorn::CheckoutResult done = vorn::Journal(core).checkout(r);
    return done.status == vorn::CheckoutStatus::Done ? done.number : std::string();
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void findOpenAndReprintASplitSale() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        vorn::Core& core = f.frame->state().core;
        QCOMPARE(vorn::Journal(core).ensure_tables(), 0);
        const int64_t t = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15)).toSecsSinceEpoch();
        const std::string number = sellTwo(core, t);
        QVERIFY(!number.empty());

        QVERIFY(f.enabledTabs().contains(tabs::SaleJournal));
        f.frame->selectTab(tabs::SaleJournal);
        auto* page = qobject_cast<CJournalView*>(f.frame->view());
        QVERIFY(page);
        QVERIFY(!f.frame->isEnabled(cmd::OpenSale));
        f.frame->setRibbonText(cmd::SaleMethod, QStringLiteral("微信"));
        f.frame->onCommand(cmd::SearchSales);
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到1笔销售记录"));
        QCOMPARE(page->model()->data(page->model()->index(0, JColNumber)).toString(),
                 QString::fromStdString(number));
        QCOMPARE(page->model()->data(page->model()->index(0, JColMethods)).toString(),
                 QStringLiteral("现金、微信"));
        QVERIFY(f.frame->isEnabled(cmd::ExportSales));

        page->table()->selectRow(0);
        QVERIFY(f.frame->isEnabled(cmd::OpenSale));
        QVERIFY(f.frame->isEnabled(cmd::ReprintSale));
        QStringList seen;
        page->setDialogRunner([&seen](QDialog& d) {
            auto& dlg = dynamic_cast<CJournalDetailDlg&>(d);
            for (int r = 0; r < dlg.lines()->rowCount(); ++r)
                for (int c = 0; c < CJournalDetailDlg::LineColumnCount; ++c)
                    seen << dlg.lines()->item(r, c)->text();
            for (int r = 0; r < dlg.payments()->rowCount(); ++r)
                seen << dlg.payments()->item(r, 0)->text() + dlg.payments()->item(r, 1)->text();
            seen << dlg.field(QStringLiteral("找零"));
            return int(QDialog::Rejected);
        });
        f.frame->onCommand(cmd::OpenSale);
        QCOMPARE(seen, (QStringList{"6901", "矿泉水", "2", "12.5", "25.0", "微信10.0", "现金20.0", "5.0"}));

        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a default printer");
        f.frame->onCommand(cmd::ReprintSale);
        QVERIFY(QFile::exists(f.path(QStringLiteral("receipts/20261207-093015.pdf"))));
        QVERIFY(f.frame->statusText().startsWith(QStringLiteral("成功将1张小票保存为PDF文件")));
        QVERIFY(f.messages.shown.isEmpty());
    }

    // Shop owners see the journal; salespeople find their own sales at the counter.
    void onlyOwnersAndAdministratorsSeeIt() {
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("owner"), QStringLiteral("o1"), 1);
        f.addUser(QStringLiteral("clerk"), QStringLiteral("c1"), 2);
        QCOMPARE(f.frame->login(QStringLiteral("owner"), QStringLiteral("o1")), 1);
        QVERIFY(f.enabledTabs().contains(tabs::SaleJournal));
        // The journal follows the counter on the ribbon.
        QCOMPARE(f.enabledTabs().indexOf(tabs::SaleJournal), f.enabledTabs().indexOf(tabs::Counter) + 1);
        QCOMPARE(f.frame->login(QStringLiteral("clerk"), QStringLiteral("c1")), 1);
        QVERIFY(!f.enabledTabs().contains(tabs::SaleJournal));
        QVERIFY(f.enabledTabs().contains(tabs::Counter));
    }
};

QTEST_MAIN(TestJournal)
#include "test_journal.moc"

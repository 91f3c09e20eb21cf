// A unit on the list sold at another till before this one checks out: the sale
// writes nothing, names the code, and only that unit leaves the list.
#include <QtTest>

#include "pricing.h"
#include "salecounter.h"
#include "salefixture.h"
#include "vorn/journal.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

class TestOtherTill : public QObject {
    Q_OBJECT

    SaleFixture fx;

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    // The other till sells one of the two listed A's; with a third A on the
    // shelf it takes the gone one's place, without one the list loses it.
    void unitSoldElsewhereIsReplacedFromStockOrLeavesTheList_data() {
        QTest::addColumn<int>("inStock");
        QTest::addColumn<int>("putBack");
        QTest::newRow("a third on the shelf") << 3 << 1;
        QTest::newRow("none left") << 2 << 0;
    }
    void unitSoldElsewhereIsReplacedFromStockOrLeavesTheList() {
        QFETCH(int, inStock);
        QFETCH(int, putBack);
        fx.stock("A", inStock, 10.0);
        fx.stock("B", 1, 5.0);
        SaleList list;
        QCOMPARE(addToList(fx.core(), list, "A", 2, kNoMember, fx.shell().st.types).status, AddStatus::Added);
        QCOMPARE(addToList(fx.core(), list, "B", 1, kNoMember, fx.shell().st.types).status, AddStatus::Added);

        // The other till: its own connection to the same store sells a listed A.
        vorn::Core other;
        QCOMPARE(other.open(), 0);
        vorn::SRec taken = list.rows().front().units().back();
        taken.FSi_Flag = 1;
        taken.FSt_SalT = 1;
        QCOMPARE(other.update_srec(&taken, 1), 1);
        other.close();

        SaleParty party;
        party.cashier = "admin";
        party.payments = {{vorn::kPayCash, 250}};
        std::vector<ReceiptLine> lines;
        const SaleWrite w = writeSale(fx.core(), list, 100, party, 250, lines);
        QCOMPARE(w.sold, kSoldMissing);
        QCOMPARE(w.goneIds, std::vector<int>{taken.FSi_Id});
        QCOMPARE(w.goneCodes, std::vector<std::string>{"A"});
        QCOMPARE(fx.count("FSi_Flag=1"), 1); // only the other till's
        QCOMPARE(vorn::Journal(fx.core()).count_sales(vorn::SaleFilter{}), 0);

        QCOMPARE(replaceGone(fx.core(), list, w, kNoMember, fx.shell().st.types), putBack);
        QCOMPARE(list.totals().quantity, 2 + putBack);
        for (const SaleRow& r : list.rows())
            for (const vorn::SRec& u : r.units())
                QVERIFY(u.FSi_Id != taken.FSi_Id);
        // A row left without units goes.
        QCOMPARE(list.removeUnits({list.rows().back().first().FSi_Id}), 1);
        QCOMPARE(list.rowCount(), putBack > 0 ? 2 : 1);
    }
};

QTEST_MAIN(TestOtherTill)
#include "test_othertill.moc"

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

    void unitSoldElsewhereLeavesTheListAndNothingIsWritten() {
        fx.stock("A", 2, 10.0);
        fx.stock("B", 1, 5.0);
        SaleList list;
        QCOMPARE(addToList(fx.core(), list, "A", 2, kNoMember, fx.shell().st.types).status, AddStatus::Added);
        QCOMPARE(addToList(fx.core(), list, "B", 1, kNoMember, fx.shell().st.types).status, AddStatus::Added);

        // The other till: its own connection to the same store sells one A.
        vorn::Core other;
        QCOMPARE(other.open(), 0);
        vorn::SRec taken = fx.units("FSs_Code='A' ORDER BY FSi_Id DESC").front();
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
        vorn::SaleFilter all;
        QCOMPARE(vorn::Journal(fx.core()).count_sales(all), 0);

        QCOMPARE(list.removeUnits(w.goneIds), 1);
        list.recount();
        QCOMPARE(list.totals().quantity, 2);
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.removeUnits({list.rows().back().first().FSi_Id}), 1);
        QCOMPARE(list.rowCount(), 1); // a row without units goes
    }
};

QTEST_MAIN(TestOtherTill)
#include "test_othertill.moc"

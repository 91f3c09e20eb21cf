// Selling short: units the book lacks are entered and sold in the checkout's
// transaction, all of it or nothing.
#include "core_fixture.h"
#include "vorn/journal.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kSold = local_time_of(2026, 12, 7, 9, 10, 0);

class JournalShortTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(journal.ensure_tables(), 0);
        std::vector<SRec> units(2, unit("A", "apple", 0, 3.0));
        ASSERT_EQ(core.insert_srec(units.data(), 2), 2);
    }
    // The book's units of A, sold at 3.0, and n entered ones like them.
    CheckoutRequest request(std::vector<SRec>& entered, int n, int64_t paid) {
        CheckoutRequest r;
        r.cashier = "anna";
        r.units = all_units(core, "FSs_Code='A' ORDER BY FSi_Id");
        for (SRec& u : r.units) {
            u.FSi_Flag = 1;
            u.FSt_SalT = kSold;
            u.FSd_ReaP = 3.0;
        }
        entered.assign(static_cast<size_t>(n), r.units.back());
        for (SRec& u : entered) {
            u.FSi_Id = 0;
            u.FSs_Remark = "entered";
        }
        r.payments = {{kPayCash, paid}};
        return r;
    }
    Journal journal{core};
};

TEST_F(JournalShortTest, EnteredUnitsAreSoldWithTheOthersOrNotAtAll) {
    struct Case {
        const char* what;
        int entered;
        int64_t paid;
        bool take_one_first; // a book unit sold elsewhere meanwhile
        CheckoutStatus status;
        int store_rows_after;
    };
    const Case cases[] = {
        {"two entered, paid", 2, 120, false, CheckoutStatus::Done, 4},
        {"paid short: nothing entered", 2, 110, false, CheckoutStatus::Invalid, 2},
        {"a book unit gone: nothing entered", 1, 90, true, CheckoutStatus::Missing, 2},
        {"none entered is a checkout", 0, 60, false, CheckoutStatus::Done, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(core.exec_sql("DELETE FROM Store WHERE FSs_Remark='entered';UPDATE Store SET FSi_Flag=0;"), 0);
        std::vector<SRec> entered;
        CheckoutRequest r = request(entered, c.entered, c.paid);
        if (c.take_one_first) {
            ASSERT_EQ(core.exec_sql("UPDATE Store SET FSi_Flag=1 WHERE FSs_Code='A';"), 0);
        }
        const CheckoutResult res = journal.checkout_short(r, entered);
        EXPECT_EQ(res.status, c.status);
        EXPECT_EQ(core.get_srec_count("FSs_Code='A'"), c.store_rows_after);
        if (c.status != CheckoutStatus::Done) continue;
        EXPECT_EQ(core.get_srec_count("FSs_Code='A' AND FSi_Flag=0"), 0);
        SaleDetail sale;
        ASSERT_EQ(journal.open_sale(res.sale_id, sale), 1);
        EXPECT_EQ(sale.sale.units, 2 + c.entered);
        EXPECT_EQ(sale.sale.due, 30 * (2 + c.entered));
        EXPECT_EQ(core.get_srec_count("FSs_Remark='entered' AND FSi_Flag=1 AND FSd_ReaP=3.0"), c.entered);
    }
}

TEST_F(JournalShortTest, EnteredUnitsMustBeSoldAtTheSaleTimeAndHaveACode) {
    struct Case {
        const char* what;
        void (*spoil)(SRec&);
    };
    const Case cases[] = {
        {"no code", [](SRec& u) { u.FSs_Code.clear(); }},
        {"not marked sold", [](SRec& u) { u.FSi_Flag = 0; }},
        {"another time", [](SRec& u) { u.FSt_SalT += 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<SRec> entered;
        CheckoutRequest r = request(entered, 1, 90);
        c.spoil(entered[0]);
        EXPECT_EQ(journal.checkout_short(r, entered).status, CheckoutStatus::Invalid);
        EXPECT_EQ(core.get_srec_count("1=1"), 2);
    }
}

} // namespace

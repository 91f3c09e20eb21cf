// Saving goods types and suppliers without the dialog: the statements, the one
// transaction, goods moved to the fallback entry, and nothing written on failure.
#include <QTest>

#include "catalogsave.h"
#include "goodsfixture.h"
#include "kit/text/gbk.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

std::vector<std::string> typeNames(vorn::Core& core) {
    const int n = core.get_trec_count(nullptr);
    std::vector<vorn::TRec> rows(n > 0 ? static_cast<size_t>(n) : 0);
    if (n > 0) core.select_trec(rows.data(), nullptr);
    std::vector<std::string> names;
    for (const auto& r : rows)
        names.push_back(r.FTs_Name);
    return names;
}

template <class Rec> std::string recordInsert(const Rec& r) {
    std::string buf(r.sql_capacity(), '\0');
    return buf.substr(0, static_cast<size_t>(r.make_insert_sql(buf.data())));
}

} // namespace

class TestCatalogSave : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(fx.core().exec_sql("INSERT INTO Type VALUES(NULL,'Drinks');INSERT INTO Type VALUES(NULL,'Food');"
                                    "INSERT INTO Supplier VALUES(NULL,'ACME');"),
                 0);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        drinks = fx.shell->st.types.at(1).FTi_Id;
        food = fx.shell->st.types.at(2).FTi_Id;
        acme = fx.shell->st.suppliers.at(1).FSPi_Id;
    }
    void cleanup() { fx.tearDown(); }

    void statementsInOrderWithQuotedNames() {
        CatalogChanges c;
        c.additions = {"O'Brien", gbk(QStringLiteral("饮料"))};
        c.removals = {7, 9};
        QCOMPARE(catalogStatements(CatalogKind::Types, c),
                 std::string("INSERT INTO Type VALUES(NULL,'O''Brien');INSERT INTO Type VALUES(NULL,'") +
                     gbk(QStringLiteral("饮料")) +
                     "');DELETE FROM Type WHERE FTi_Id=7;DELETE FROM Type WHERE FTi_Id=9;"
                     "UPDATE Store SET FSi_Type=1 WHERE FSi_Type=7;UPDATE Store SET FSi_Type=1 WHERE FSi_Type=9;");
        c = {{"a'b"}, {4}};
        QCOMPARE(catalogStatements(CatalogKind::Suppliers, c),
                 std::string("INSERT INTO Supplier VALUES(NULL,'a''b');DELETE FROM Supplier WHERE FSPi_Id=4;"
                             "UPDATE Store SET FSi_Supplier=1 WHERE FSi_Supplier=4;"));
        QCOMPARE(catalogStatements(CatalogKind::Types, {}), std::string());
        // The inserts read as the records write them themselves.
        vorn::TRec t;
        t.FTs_Name = "O'Brien";
        QCOMPARE(catalogStatements(CatalogKind::Types, {{"O'Brien"}, {}}), recordInsert(t));
        vorn::SPRec sp;
        sp.FSPs_Name = "x'";
        QCOMPARE(catalogStatements(CatalogKind::Suppliers, {{"x'"}, {}}), recordInsert(sp));
        QCOMPARE(catalogNameCondition(CatalogKind::Types, "it's"), std::string("FTs_Name='it''s'"));
        QCOMPARE(catalogNameCondition(CatalogKind::Suppliers, "x"), std::string("FSPs_Name='x'"));
    }

    void removingATypeMovesItsGoodsToTypeOne() {
        std::vector<vorn::SRec> goods(5, GoodsFixture::unit("G", 1, 1));
        goods[0].FSi_Type = goods[3].FSi_Type = food;
        goods[1].FSi_Type = drinks;
        fx.insert(goods);
        const int result =
            saveCatalog(fx.core(), CatalogKind::Types, {{"Toys", "it's"}, {food}});
        QCOMPARE(result, 3);
        QCOMPARE(typeNames(fx.core()),
                 (std::vector<std::string>{gbk(QStringLiteral("未知")), "Drinks", "Toys", "it's"}));
        QCOMPARE(fx.core().get_srec_count(("FSi_Type=" + std::to_string(food)).c_str()), 0);
        QCOMPARE(fx.core().get_srec_count("FSi_Type=1"), 4);
        QCOMPARE(fx.core().get_srec_count(("FSi_Type=" + std::to_string(drinks)).c_str()), 1);
    }

    void removingASupplierMovesItsGoodsToSupplierOne() {
        std::vector<vorn::SRec> goods(3, GoodsFixture::unit("S", 1, 1));
        goods[0].FSi_Supplier = goods[2].FSi_Supplier = acme;
        goods[1].FSi_Type = drinks;
        fx.insert(goods);
        QCOMPARE(saveCatalog(fx.core(), CatalogKind::Suppliers, {{}, {acme}}), 1);
        QCOMPARE(fx.core().get_sprec_count(nullptr), 1);
        QCOMPARE(fx.core().get_srec_count("FSi_Supplier=1"), 3);
        QCOMPARE(fx.core().get_srec_count(("FSi_Type=" + std::to_string(drinks)).c_str()), 1); // types untouched
    }

    void aFailingStatementLeavesEverythingAsItWas() {
        std::vector<vorn::SRec> goods(4, GoodsFixture::unit("F", 1, 1));
        for (auto& g : goods)
            g.FSi_Type = food;
        fx.insert(goods);
        // The last statement of the save fails: the inserts and deletes before it go too.
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER no BEFORE UPDATE ON Store BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        const auto before = typeNames(fx.core());
        QCOMPARE(saveCatalog(fx.core(), CatalogKind::Types, {{"Toys"}, {drinks, food}}), -1);
        QCOMPARE(typeNames(fx.core()), before);
        QCOMPARE(fx.core().get_srec_count(("FSi_Type=" + std::to_string(food)).c_str()), 4);
        // The transaction is over: the store takes the next write.
        QCOMPARE(fx.core().exec_sql("DROP TRIGGER no;"), 0);
        QCOMPARE(saveCatalog(fx.core(), CatalogKind::Types, {{"Toys"}, {}}), 1);
    }

    void nothingToSaveAndTheFallbackEntry() {
        const auto before = typeNames(fx.core());
        QCOMPARE(saveCatalog(fx.core(), CatalogKind::Types, {}), 0);
        // Entry 1 never goes, not even together with other changes.
        QCOMPARE(saveCatalog(fx.core(), CatalogKind::Types, {{"Toys"}, {1}}), -1);
        QCOMPARE(saveCatalog(fx.core(), CatalogKind::Suppliers, {{}, {0}}), -1);
        QCOMPARE(typeNames(fx.core()), before);
        QCOMPARE(fx.core().get_sprec_count(nullptr), 2);
    }

    void loadedRowsFollowTheRemoval() {
        std::vector<vorn::SRec> rows(4, GoodsFixture::unit("R", 1, 1));
        rows[0].FSi_Type = 5;
        rows[1].FSi_Type = 6;
        rows[2].FSi_Supplier = 5;
        rows[3].FSi_Type = 5;
        QCOMPARE(moveGoodsToFallback(rows, CatalogKind::Types, {5, 9}), 2);
        QCOMPARE(rows[0].FSi_Type, 1);
        QCOMPARE(rows[1].FSi_Type, 6);
        QCOMPARE(rows[2].FSi_Supplier, 5); // a supplier id, not a type
        QCOMPARE(rows[3].FSi_Type, 1);
        QCOMPARE(moveGoodsToFallback(rows, CatalogKind::Suppliers, {5}), 1);
        QCOMPARE(rows[2].FSi_Supplier, 1);
    }

private:
    GoodsFixture fx;
    int drinks = 0;
    int food = 0;
    int acme = 0;
};

QTEST_MAIN(TestCatalogSave)
#include "test_catalogsave.moc"

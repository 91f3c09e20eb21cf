// The goods type and supplier dialogs: pending changes, the fallback entry and
// the one transaction of "保存".
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "goodscells.h"
#include "storeview.h"
#include "suppinputdlg.h"
#include "typeinputdlg.h"
#include "goodsfixture.h"
#include "kit/text/gbk.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

QStringList names(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void select(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) qFatal("no entry %s", qPrintable(text));
    list->setCurrentItem(found.first());
}

} // namespace

class TestCatalogDlg : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(
            fx.core().exec_sql("INSERT INTO Type VALUES(NULL,'Drinks');INSERT INTO Type VALUES(NULL,'Food');"
                               "INSERT INTO Supplier VALUES(NULL,'ACME');"),
            0);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
    }
    void cleanup() { fx.tearDown(); }

    void opensWithTheListInOrder() {
        CStoreTypeInputDlg dlg(*fx.shell);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("商品类型配置"));
        QCOMPARE(names(dlg.list()), QStringList({QStringLiteral("未知"), "Drinks", "Food"}));
        QCOMPARE(dlg.list()->item(1)->data(Qt::UserRole).toInt(), fx.shell->st.types[1].FTi_Id);
        CStoreSuppInputDlg supp(*fx.shell);
        QCOMPARE(supp.windowTitle(), QStringLiteral("供货商配置"));
        QCOMPARE(names(supp.list()), QStringList({QStringLiteral("未指定"), "ACME"}));
        QVERIFY(supp.findChild<QPlainTextEdit*>(QStringLiteral("name")));
    }

    void sameNewNameTwice() {
        CStoreTypeInputDlg dlg(*fx.shell);
        dlg.setNameText(QStringLiteral("Toys"));
        dlg.addName();
        QCOMPARE(dlg.list()->item(3)->data(Qt::UserRole).toInt(), -1);
        dlg.addName();
        QCOMPARE(fx.shell->failures.value(0), QStringLiteral("商品类型\"Toys\"已存在，请重新输入其它"));
        QCOMPARE(dlg.list()->count(), 4);
        dlg.setNameText(QStringLiteral("Food")); // already in the table
        dlg.addName();
        QCOMPARE(fx.shell->failures.value(1), QStringLiteral("商品类型\"Food\"已存在，请重新输入其它"));
        dlg.setNameText(QStringLiteral("Tools"));
        dlg.addName();
        QCOMPARE(dlg.list()->item(4)->data(Qt::UserRole).toInt(), -2);
    }

    void quotedNameIsCheckedAndStoredAsTyped() {
        CStoreSuppInputDlg dlg(*fx.shell);
        dlg.setNameText(QStringLiteral("O'Brien & Sons"));
        dlg.addName();
        dlg.save();
        QCOMPARE(dlg.changeResult(), 1);
        QCOMPARE(fx.core().get_sprec_count("FSPs_Name='O''Brien & Sons'"), 1);
        CStoreSuppInputDlg again(*fx.shell);
        again.setNameText(QStringLiteral("O'Brien & Sons"));
        again.addName();
        QCOMPARE(fx.shell->failures.value(0),
                 QStringLiteral("供货商\"O'Brien & Sons\"已存在，请重新输入其它"));
    }

    void firstEntryCannotBeRemoved() {
        CStoreTypeInputDlg types(*fx.shell);
        types.list()->setCurrentRow(0);
        types.removeSelected();
        QCOMPARE(fx.shell->failures.value(0), QStringLiteral("不能删除\"未知\"商品类型"));
        QCOMPARE(types.list()->count(), 3);
        CStoreSuppInputDlg supp(*fx.shell);
        supp.list()->setCurrentRow(0);
        supp.removeSelected();
        QCOMPARE(fx.shell->failures.value(1), QStringLiteral("不能删除\"未指定\"供货商"));
        QCOMPARE(supp.list()->count(), 2);
        QVERIFY(fx.boxes.shown.filter(QStringLiteral("是否要继续")).isEmpty());
    }

    void addedThenRemovedWritesNothing() {
        CStoreTypeInputDlg dlg(*fx.shell);
        dlg.setNameText(QStringLiteral("Toys"));
        dlg.addName();
        dlg.setNameText(QString());
        select(dlg.list(), QStringLiteral("Toys"));
        dlg.removeSelected();
        QCOMPARE(dlg.nameText(), QStringLiteral("Toys"));
        QVERIFY(fx.boxes.shown.isEmpty()); // a pending addition goes without a question
        dlg.save();
        QCOMPARE(dlg.changeResult(), 0);
        QCOMPARE(fx.core().get_trec_count(nullptr), 3);
    }

    void removalAskedAndAnsweredNo() {
        CStoreTypeInputDlg dlg(*fx.shell);
        select(dlg.list(), QStringLiteral("Food"));
        fx.boxes.answers = {false};
        dlg.removeSelected();
        QCOMPARE(fx.boxes.shown.value(0), QStringLiteral("你的下一步操作将删除商品类型\"Food\"，所有指定该商"
                                                         "品类型的商品将自动置为\"未知\"商品，是否要继续？"));
        QCOMPARE(dlg.list()->count(), 3);
        // A removed entry cannot come back in the same dialog: its row still exists.
        fx.boxes.answers = {true};
        dlg.removeSelected();
        QCOMPARE(dlg.list()->count(), 2);
        dlg.addName(); // the edit holds "Food" again
        QCOMPARE(fx.shell->failures.value(0), QStringLiteral("商品类型\"Food\"已存在，请重新输入其它"));
    }

    void twoAdditionsAndOneRemoval() {
        std::vector<vorn::SRec> goods(3, GoodsFixture::unit("F", 1, 1));
        const int food = fx.shell->st.types[2].FTi_Id;
        for (auto& g : goods)
            g.FSi_Type = food;
        fx.insert(goods);
        CStoreView page(*fx.shell);
        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CStoreTypeInputDlg&>(d);
            for (const char* n : {"Toys", "Tools"}) {
                dlg.setNameText(QString::fromLatin1(n));
                dlg.addName();
            }
            select(dlg.list(), QStringLiteral("Food"));
            fx.boxes.answers = {true};
            dlg.removeSelected();
            QTest::keyClick(&dlg, Qt::Key_Return); // Enter saves
            return d.result();
        });
        page.onCommand(cmd::GoodsTypes);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功修改3个\"商品类型\""));
        QStringList now;
        for (const auto& t : fx.shell->st.types)
            now << fromGbk(t.FTs_Name);
        QCOMPARE(now, QStringList({QStringLiteral("未知"), "Drinks", "Toys", "Tools"}));
        QCOMPARE(fx.shell->comboItems[cmd::GoodsType], now);
        QCOMPARE(fx.core().get_srec_count("FSi_Type=1"), 3);
    }

    void savingWithoutChangesAndCancelling() {
        CStoreView page(*fx.shell);
        page.setDialogRunner([](QDialog& d) {
            QMetaObject::invokeMethod(&d, "save");
            return d.result();
        });
        const int refills = fx.shell->typeRefills;
        page.onCommand(cmd::GoodsTypes);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未修改任何\"商品类型\""));
        page.onCommand(cmd::Suppliers);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未修改任何\"供货商\""));
        QCOMPARE(fx.shell->typeRefills, refills);

        page.setDialogRunner([](QDialog& d) {
            auto& dlg = static_cast<CCatalogDlg&>(d);
            dlg.setNameText(QStringLiteral("Never"));
            dlg.addName();
            QTest::keyClick(&dlg, Qt::Key_Escape);
            return d.result();
        });
        page.onCommand(cmd::GoodsTypes);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"商品类型\"修改操作"));
        page.onCommand(cmd::Suppliers);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"供货商\"修改操作"));
        QCOMPARE(fx.core().get_trec_count("FTs_Name='Never'"), 0);
        QCOMPARE(fx.core().get_sprec_count("FSPs_Name='Never'"), 0);
    }

    void removingASupplierMovesItsGoods() {
        const int acme = fx.shell->st.suppliers[1].FSPi_Id;
        std::vector<vorn::SRec> goods(4, GoodsFixture::unit("G", 1, 1));
        goods[0].FSi_Supplier = goods[2].FSi_Supplier = acme;
        fx.insert(goods);
        CStoreView page(*fx.shell);
        page.onCommand(cmd::SearchGoods);
        QCOMPARE(page.model()->data(page.model()->index(0, ColSupplier)).toString(), QStringLiteral("ACME"));
        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CCatalogDlg&>(d);
            select(dlg.list(), QStringLiteral("ACME"));
            fx.boxes.answers = {true};
            dlg.removeSelected();
            dlg.save();
            return d.result();
        });
        page.onCommand(cmd::Suppliers);
        QCOMPARE(fx.boxes.shown.value(0),
                 QStringLiteral("你的下一步操作将删除供货商\"ACME\"，所有指定该供货商的商品将自动"
                                "置为\"未指定\"供货商，是否要继续？"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功修改1个\"供货商\""));
        QCOMPARE(fx.core().get_srec_count("FSi_Supplier=1"), 4);
        QCOMPARE(fx.core().get_sprec_count(nullptr), 1);
        for (int r = 0; r < 4; ++r)
            QCOMPARE(page.model()->data(page.model()->index(r, ColSupplier)).toString(),
                     QStringLiteral("未指定"));
        QCOMPARE(fx.shell->st.suppliers.size(), size_t(1));
    }

    void failedSaveChangesNothing() {
        QCOMPARE(fx.core().exec_sql(
                     "CREATE TRIGGER no BEFORE DELETE ON Type BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        CStoreView page(*fx.shell);
        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CCatalogDlg&>(d);
            dlg.setNameText(QStringLiteral("Toys"));
            dlg.addName();
            select(dlg.list(), QStringLiteral("Drinks"));
            fx.boxes.answers = {true};
            dlg.removeSelected();
            dlg.save();
            return d.result();
        });
        page.onCommand(cmd::GoodsTypes);
        QCOMPARE(fx.shell->failures.value(0),
                 QStringLiteral("未知异常导致\"商品类型\"修改失败，放弃该次\"修改\"操作"));
        QCOMPARE(fx.core().get_trec_count("FTs_Name='Toys'"), 0);
        QCOMPARE(fx.shell->st.types.size(), size_t(3));
        // The failed transaction was ended: the store takes the next write.
        QCOMPARE(fx.core().exec_sql("BEGIN;INSERT INTO Type VALUES(NULL,'Later');COMMIT;"), 0);
    }

private:
    GoodsFixture fx;
};

QTEST_MAIN(TestCatalogDlg)
#include "test_catalogdlg.moc"

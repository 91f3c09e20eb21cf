// Receiving: a type or supplier name the catalog lacks is offered for
// creation (written with the units in one transaction, or neither) or the
// user picks an existing one; Enter goes from the code to the quantity and
// then adds the line and saves, so a restock is code, quantity, Enter.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "catalogsave.h"
#include "goodsfixture.h"
#include "kit/text/gbk.h"
#include "storeadddlg.h"
#include "storeview.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

QLineEdit* edit(QWidget* w, const char* name) {
    return field<QLineEdit>(w, name);
}

int typesNamed(vorn::Core& core, const QString& name) {
    return core.get_trec_count(("FTs_Name='" + gbk(name) + "'").c_str());
}

int suppliersNamed(vorn::Core& core, const QString& name) {
    return core.get_sprec_count(("FSPs_Name='" + gbk(name) + "'").c_str());
}

} // namespace

class TestReceiving : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(fx.core().exec_sql("INSERT INTO Type VALUES(NULL,'Drinks');"
                                    "INSERT INTO Supplier VALUES(NULL,'ACME');"),
                 0);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
    }
    void cleanup() { fx.tearDown(); }

    // Yes creates the name; no leaves the line out and offers the list.
    void unknownNamesAreOfferedForCreation_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("supplier");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("shownLine");
        QTest::newRow("both new, both made") << "调料" << "新供货商" << QList<bool>{true, true} << 2 << true
                                        << "C1/(空)/调料/(空)/新供货商 × (2)";
        QTest::newRow("new type, known supplier") << "调料" << "ACME" << QList<bool>{true} << 1 << true
                                                  << "C1/(空)/调料/(空)/ACME × (2)";
        QTest::newRow("type picked instead") << "调料" << "ACME" << QList<bool>{false} << 1 << false << "";
        QTest::newRow("supplier picked instead") << "Drinks" << "新供货商" << QList<bool>{false} << 1 << false
                                                 << "";
        QTest::newRow("both known, no question") << "Drinks" << "ACME" << QList<bool>{} << 0 << true
                                                 << "C1/(空)/Drinks/(空)/ACME × (2)";
        QTest::newRow("empty name is only picked") << "" << "ACME" << QList<bool>{true} << 0 << false << "";
    }
    void unknownNamesAreOfferedForCreation() {
        QFETCH(QString, type);
        QFETCH(QString, supplier);
        QFETCH(QList<bool>, answers);
        QFETCH(int, questions);
        QFETCH(bool, added);
        QFETCH(QString, shownLine);
        fx.boxes.answers = answers;
        CStoreAddDlg dlg(*fx.shell);
        edit(&dlg, "quantity")->setText(QStringLiteral("2"));
        edit(&dlg, "code")->setText(QStringLiteral("C1"));
        field<QComboBox>(&dlg, "type")->setEditText(type);
        field<QComboBox>(&dlg, "supplier")->setEditText(supplier);
        dlg.addLine();
        QCOMPARE(fx.boxes.shown.size(), questions);
        QCOMPARE(dlg.lineCount(), added ? 1 : 0);
        if (added) QCOMPARE(field<QListWidget>(&dlg, "lines")->item(1)->text(), shownLine);
        if (!added) QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("请从已有的")));
        // Nothing reaches the store before the save.
        QCOMPARE(typesNamed(fx.core(), QStringLiteral("调料")), 0);
        QCOMPARE(suppliersNamed(fx.core(), QStringLiteral("新供货商")), 0);
    }

    // The names and the units arrive together; a second line with the same new
    // name asks nothing and makes it once.
    void createdNamesAreWrittenWithTheUnits() {
        CStoreView page(*fx.shell);
        page.setDialogRunner([](QDialog& d) {
            edit(&d, "code")->setText(QStringLiteral("C1"));
            field<QComboBox>(&d, "type")->setEditText(QStringLiteral("调料"));
            field<QComboBox>(&d, "supplier")->setEditText(QStringLiteral("新供货商"));
            QMetaObject::invokeMethod(&d, "addLine");
            edit(&d, "code")->setText(QStringLiteral("C2"));
            QMetaObject::invokeMethod(&d, "addLine");
            QMetaObject::invokeMethod(&d, "save");
            return d.result();
        });
        page.onCommand(cmd::AddGoods);
        QCOMPARE(fx.boxes.shown.size(), 2);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"录入\"2件商品"));
        QCOMPARE(typesNamed(fx.core(), QStringLiteral("调料")), 1);
        QCOMPARE(suppliersNamed(fx.core(), QStringLiteral("新供货商")), 1);
        const auto& types = fx.shell->st.types;
        const auto& suppliers = fx.shell->st.suppliers;
        QCOMPARE(fromGbk(types.back().FTs_Name), QStringLiteral("调料"));
        QCOMPARE(fromGbk(suppliers.back().FSPs_Name), QStringLiteral("新供货商"));
        for (const vorn::SRec& u : fx.stored()) {
            QCOMPARE(u.FSi_Type, types.back().FTi_Id);
            QCOMPARE(u.FSi_Supplier, suppliers.back().FSPi_Id);
        }
    }

    // A line taken back shows its new name; a name whose lines are all gone is not made.
    void takenBackNamesComeBackAndUnusedOnesAreNotMade() {
        CStoreAddDlg dlg(*fx.shell);
        edit(&dlg, "code")->setText(QStringLiteral("C1"));
        field<QComboBox>(&dlg, "type")->setEditText(QStringLiteral("调料"));
        dlg.addLine();
        field<QListWidget>(&dlg, "lines")->setCurrentRow(1);
        dlg.takeLineBack();
        QCOMPARE(field<QComboBox>(&dlg, "type")->currentText(), QStringLiteral("调料"));
        field<QComboBox>(&dlg, "type")->setEditText(QStringLiteral("Drinks"));
        dlg.addLine();
        dlg.save();
        QCOMPARE(dlg.insertResult(), 1);
        QCOMPARE(typesNamed(fx.core(), QStringLiteral("调料")), 0);
        QCOMPARE(fx.boxes.shown.size(), 1);
    }

    // saveEntry: all or nothing, names reused when they exist by then.
    void saveEntryIsOneTransaction_data() {
        QTest::addColumn<bool>("failStore");
        QTest::addColumn<bool>("typeMadeMeanwhile");
        QTest::addColumn<int>("danglingId");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("types");
        QTest::addColumn<int>("units");
        QTest::newRow("made together") << false << false << 0 << 3 << 1 << 3;
        QTest::newRow("store refuses units") << true << false << 0 << -1 << 0 << 0;
        QTest::newRow("name exists by then") << false << true << 0 << 3 << 1 << 3;
        QTest::newRow("id without a name") << false << false << -5 << -1 << 0 << 0;
    }
    void saveEntryIsOneTransaction() {
        QFETCH(bool, failStore);
        QFETCH(bool, typeMadeMeanwhile);
        QFETCH(int, danglingId);
        QFETCH(int, result);
        QFETCH(int, types);
        QFETCH(int, units);
        if (failStore)
            QCOMPARE(fx.core().exec_sql(
                         "CREATE TRIGGER no BEFORE INSERT ON Store BEGIN SELECT RAISE(ABORT,'no'); END;"),
                     0);
        if (typeMadeMeanwhile) {
            const std::string sql = "INSERT INTO Type VALUES(NULL,'" + gbk(QStringLiteral("调料")) + "');";
            QCOMPARE(fx.core().exec_sql(sql.c_str()), 0);
        }
        EntryNames names;
        names.newTypes = {gbk(QStringLiteral("调料"))};
        names.newSuppliers = {gbk(QStringLiteral("新供货商"))};
        std::vector<vorn::SRec> batch(3, GoodsFixture::unit("C1", 1, 2));
        batch[0].FSi_Type = temporaryId(0);
        batch[1].FSi_Supplier = temporaryId(0);
        if (danglingId != 0) batch[2].FSi_Type = danglingId;
        std::vector<int> madeTypes;
        QCOMPARE(saveEntry(fx.core(), names, batch, &madeTypes), result);
        QCOMPARE(typesNamed(fx.core(), QStringLiteral("调料")), types);
        QCOMPARE(suppliersNamed(fx.core(), QStringLiteral("新供货商")), result > 0 ? 1 : 0);
        QCOMPARE(fx.core().get_srec_count(nullptr), units);
        if (result > 0) {
            QCOMPARE(madeTypes.size(), size_t(1));
            QCOMPARE(batch[0].FSi_Type, madeTypes[0]);
            const std::string cond = "FSi_Type=" + std::to_string(madeTypes[0]);
            QCOMPARE(fx.core().get_srec_count(cond.c_str()), 1);
        }
    }

    // A failed save through the dialog leaves neither the new type nor any unit.
    void failedSaveLeavesNeither() {
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER no BEFORE INSERT ON Store BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        CStoreAddDlg dlg(*fx.shell);
        field<QComboBox>(&dlg, "type")->setEditText(QStringLiteral("调料"));
        dlg.addLine();
        dlg.save();
        QCOMPARE(dlg.insertResult(), -1);
        QCOMPARE(typesNamed(fx.core(), QStringLiteral("调料")), 0);
        QCOMPARE(fx.core().get_srec_count(nullptr), 0);
        QCOMPARE(fx.shell->failures.size(), 1);
    }

    // Code, Enter (to the quantity), quantity, Enter: saved.
    void codeQuantityEnterSaves() {
        fx.insert({GoodsFixture::unit("6901", 1.5, 3)});
        CStoreAddDlg dlg(*fx.shell);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QLineEdit* code = edit(&dlg, "code");
        QTest::keyClicks(code, QStringLiteral("6901"));
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), edit(&dlg, "quantity"));
        QCOMPARE(edit(&dlg, "retP")->text(), QStringLiteral("3.0")); // filled from the latest unit
        QTest::keyClicks(edit(&dlg, "quantity"), QStringLiteral("5"));
        QTest::keyClick(edit(&dlg, "quantity"), Qt::Key_Return);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.insertResult(), 5);
        QCOMPARE(fx.core().get_srec_count("FSs_Code='6901' AND FSd_RetP=3"), 6);
    }

    // Enter after "<-" saves the lines without adding the last one twice;
    // Enter with nothing collected keeps the dialog open.
    void enterAddsOnlyWhatChanged_data() {
        QTest::addColumn<bool>("addFirst");
        QTest::addColumn<QString>("codeAfter");
        QTest::addColumn<int>("units");
        QTest::addColumn<bool>("closed");
        QTest::newRow("line added, fields unchanged") << true << "" << 1 << true;
        QTest::newRow("line added, next code typed") << true << "C2" << 2 << true;
        QTest::newRow("nothing typed") << false << "" << 0 << false;
    }
    void enterAddsOnlyWhatChanged() {
        QFETCH(bool, addFirst);
        QFETCH(QString, codeAfter);
        QFETCH(int, units);
        QFETCH(bool, closed);
        CStoreAddDlg dlg(*fx.shell);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        if (addFirst) {
            edit(&dlg, "code")->setText(QStringLiteral("C1"));
            dlg.addLine();
        }
        if (!codeAfter.isEmpty()) edit(&dlg, "code")->setText(codeAfter);
        edit(&dlg, "name")->setFocus();
        QTest::keyClick(edit(&dlg, "name"), Qt::Key_Return);
        QCOMPARE(fx.core().get_srec_count(nullptr), units);
        QCOMPARE(!dlg.isVisible(), closed);
    }

    // The look of the offer's field and the dialog, for a person to check.
    void entryLook() {
        CStoreAddDlg dlg(*fx.shell);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        dlg.grab().save(QStringLiteral("/tmp/g/storeadd.png"));
    }

private:
    GoodsFixture fx;
};

QTEST_MAIN(TestReceiving)
#include "test_receiving.moc"

// Receiving by code: goods entry fills a known code's fields from its latest
// unit (in stock first), leaves them all editable, and never fills over fields
// the program itself put there.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "articleprefill.h"
#include "goodsfixture.h"
#include "kit/text/gbk.h"
#include "storeadddlg.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

// What the fields hold, in the order name, type, size, supplier, six prices.
QStringList shown(QWidget* d) {
    QStringList s{field<QLineEdit>(d, "name")->text(), field<QComboBox>(d, "type")->currentText(),
                  field<QLineEdit>(d, "size")->text(), field<QComboBox>(d, "supplier")->currentText()};
    for (const char* p : {"oriP", "retP", "memP", "golP", "whoP", "speP"})
        s << field<QLineEdit>(d, p)->text();
    return s;
}

// Types the code as a user or a scanner does and leaves the field.
void typeCode(QWidget* d, const QString& code) {
    QLineEdit* e = field<QLineEdit>(d, "code");
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, code);
    QTest::keyClick(e, Qt::Key_Return);
}

} // namespace

class TestArticlePrefill : public QObject {
    Q_OBJECT

    GoodsFixture fx;
    int drinks = 0, mart = 0;

private slots:
    void init() {
        fx.setUp();
        vorn::TRec t;
        t.FTs_Name = gbk(QStringLiteral("饮料"));
        QCOMPARE(fx.core().insert_trec(&t, 1), 1);
        vorn::SPRec s;
        s.FSPs_Name = gbk(QStringLiteral("华联"));
        QCOMPARE(fx.core().insert_sprec(&s, 1), 1);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        drinks = fx.shell->st.types.back().FTi_Id;
        mart = fx.shell->st.suppliers.back().FSPi_Id;

        vorn::SRec old = GoodsFixture::unit("6901", 2, 3);
        vorn::SRec latest = old;
        latest.FSs_Name = gbk(QStringLiteral("可乐"));
        latest.FSi_Type = drinks;
        latest.FSi_Supplier = mart;
        latest.FSs_Size = "330ml";
        latest.FSd_OriP = 2.2;
        latest.FSd_RetP = 3.5;
        latest.FSd_MemP = 3.4;
        latest.FSd_GolP = 3.3;
        latest.FSd_WhoP = 3.1;
        latest.FSd_SpeP = 2.9;
        vorn::SRec sold = latest;
        sold.FSi_Flag = 1;
        sold.FSd_RetP = 99;
        fx.insert({old, latest, sold}); // the sold one came last, but the latest in stock speaks
    }
    void cleanup() { fx.tearDown(); }

    void aKnownCodeFillsTheFields() {
        CStoreAddDlg dlg(*fx.shell);
        typeCode(&dlg, QStringLiteral("6901"));
        QCOMPARE(shown(&dlg),
                 (QStringList{"可乐", "饮料", "330ml", "华联", "2.2", "3.5", "3.4", "3.3", "3.1", "2.9"}));
        // Still editable, and what is typed afterwards stays.
        field<QLineEdit>(&dlg, "memP")->setText(QStringLiteral("3.0"));
        field<QLineEdit>(&dlg, "code")->setFocus();
        field<QLineEdit>(&dlg, "quantity")->setFocus();
        QCOMPARE(field<QLineEdit>(&dlg, "memP")->text(), QStringLiteral("3.0"));
        // Saved as the line shows it: code, quantity, save.
        field<QLineEdit>(&dlg, "quantity")->setText(QStringLiteral("2"));
        dlg.addLine();
        dlg.save();
        QCOMPARE(dlg.insertResult(), 2);
        QCOMPARE(
            fx.core().get_srec_count(("FSs_Code='6901' AND FSi_Flag=0 AND FSd_MemP=3 AND FSd_RetP=3.5 AND "
                                      "FSi_Type=" +
                                      std::to_string(drinks) + " AND FSi_Supplier=" + std::to_string(mart))
                                         .c_str()),
            2);
    }

    void anUnknownCodeLeavesTheFields() {
        CStoreAddDlg dlg(*fx.shell);
        field<QLineEdit>(&dlg, "name")->setText(QStringLiteral("手写"));
        field<QLineEdit>(&dlg, "retP")->setText(QStringLiteral("7"));
        const QStringList before = shown(&dlg);
        typeCode(&dlg, QStringLiteral("690")); // part of a known code is not it
        QCOMPARE(shown(&dlg), before);
        auto* prefill = dlg.findChild<CodePrefill*>();
        QVERIFY(prefill);
        QVERIFY(!prefill->fillFor(QStringLiteral("nope")));
        QCOMPARE(field<QLineEdit>(&dlg, "code")->text(), QStringLiteral("nope"));
        QCOMPARE(shown(&dlg), before);
        QVERIFY(prefill->fillFor(QStringLiteral("6901")));
        QCOMPARE(shown(&dlg).first(), QStringLiteral("可乐"));
    }

    void aLineTakenBackIsNotFilledOver() {
        CStoreAddDlg dlg(*fx.shell);
        typeCode(&dlg, QStringLiteral("6901"));
        field<QLineEdit>(&dlg, "retP")->setText(QStringLiteral("4"));
        dlg.addLine();
        auto* list = dlg.findChild<QListWidget*>(QStringLiteral("lines"));
        list->setCurrentRow(1);
        dlg.takeLineBack();
        QCOMPARE(field<QLineEdit>(&dlg, "retP")->text(), QStringLiteral("4.0"));
        // Leaving the code field without typing keeps the line as it was taken back.
        field<QLineEdit>(&dlg, "code")->setFocus();
        QTest::keyClick(field<QLineEdit>(&dlg, "code"), Qt::Key_Return);
        QCOMPARE(field<QLineEdit>(&dlg, "retP")->text(), QStringLiteral("4.0"));
    }
};

QTEST_MAIN(TestArticlePrefill)
#include "test_articleprefill.moc"

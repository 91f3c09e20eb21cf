// The counter's panels and dialogs on their own: the totals panel's layout and
// looks, the input panel's limits, keys and up-down control, and the payment,
// member and discount dialogs filled and accepted as a cashier would.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "kit/dialog/vornlabel.h"
#include "paymentdlg.h"
#include "pricing.h"
#include "salediscountdlg.h"
#include "salefixture.h"
#include "saleinputdlg.h"
#include "salelist.h"
#include "saleoutputdlg.h"
#include "salestate.h"
#include "salevipdlg.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

class TestSaleDialogs : public QObject {
    Q_OBJECT

    SaleFixture fx;

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void totalsPanelSplitsItsHeight() {
        CSaleOutputDlg panel;
        panel.show();
        for (int h : {84, 85, 40}) {
            panel.resize(900, h);
            QCoreApplication::processEvents();
            QCOMPARE(panel.dueLabel()->geometry(), QRect(0, 0, 320, h / 2));
            QCOMPARE(panel.paidLabel()->geometry(), QRect(0, h / 2 + 1, 320, h - h / 2 - 1));
            QCOMPARE(panel.changeLabel()->geometry(), QRect(321, 0, 900 - 321, h));
        }
        QCOMPARE(panel.dueLabel()->textColor(), QColor(16, 78, 139));
        QCOMPARE(panel.paidLabel()->textColor(), QColor(92, 92, 92));
        QCOMPARE(panel.changeLabel()->textColor(), QColor(0, 100, 0));
        QCOMPARE(panel.dueLabel()->font().pixelSize(), 20);
        QCOMPARE(panel.changeLabel()->font().pixelSize(), 36);
        QCOMPARE(panel.changeLabel()->font().weight(), QFont::Bold);
        QVERIFY(panel.dueLabel()->drawBorder());
        QCOMPARE(panel.dueLabel()->backgroundColor(), QColor(Qt::white));
        panel.setAmounts(1234, 2000, 766);
        QCOMPARE(panel.dueLabel()->text(), QStringLiteral("     总金额: 123.4"));
        QCOMPARE(panel.paidLabel()->text(), QStringLiteral("   实付金额: 200.0"));
        QCOMPARE(panel.changeLabel()->text(), QStringLiteral("    找零: 76.6"));
    }

    void inputPanelLimitsAndUpDown() {
        CSaleInputDlg panel;
        QCOMPARE(panel.quantityEdit()->text(), QStringLiteral("1"));
        QCOMPARE(panel.quantityEdit()->maxLength(), 3);
        QCOMPARE(panel.addButton()->text(), QStringLiteral("加入购物列表"));
        QCOMPARE(panel.removeButton()->text(), QStringLiteral("删除选中项目"));
        QCOMPARE(panel.checkoutButton()->text(), QStringLiteral("销售结算"));
        QCOMPARE(panel.checkoutButton()->font().pixelSize(), 20);
        // The code holds 28 bytes of GBK: 14 Chinese characters.
        for (int i = 0; i < 20; ++i)
            QTest::sendKeyEvent(QTest::Click, panel.codeEdit(), Qt::Key_unknown, QString(QChar(0x6C34)),
                                Qt::NoModifier);
        QCOMPARE(panel.codeEdit()->text(), QString(14, QChar(0x6C34)));

        // The up-down control keeps the quantity within 1 to 999.
        panel.findChild<QToolButton*>(QStringLiteral("quantityUp"))->click();
        QCOMPARE(panel.quantityEdit()->text(), QStringLiteral("2"));
        panel.stepQuantity(-5);
        QCOMPARE(panel.quantityEdit()->text(), QStringLiteral("1"));
        panel.quantityEdit()->setText(QStringLiteral("998"));
        QTest::keyClick(panel.quantityEdit(), Qt::Key_Up);
        QTest::keyClick(panel.quantityEdit(), Qt::Key_Up);
        QCOMPARE(panel.quantityEdit()->text(), QStringLiteral("999"));
        panel.quantityEdit()->setText(QStringLiteral("abc"));
        panel.findChild<QToolButton*>(QStringLiteral("quantityDown"))->click();
        QCOMPARE(panel.quantityEdit()->text(), QStringLiteral("1"));
    }

    void inputPanelKeys() {
        CSaleInputDlg panel;
        QSignalSpy add(&panel, &CSaleInputDlg::addRequested);
        QSignalSpy checkout(&panel, &CSaleInputDlg::checkoutRequested);
        QSignalSpy remove(&panel, &CSaleInputDlg::removeRequested);
        QTest::keyClick(panel.codeEdit(), Qt::Key_Return);
        QTest::keyClick(panel.quantityEdit(), Qt::Key_Enter);
        QTest::keyClick(panel.checkoutButton(), Qt::Key_Return); // Enter anywhere adds
        QCOMPARE(add.count(), 3);
        QTest::keyClick(panel.codeEdit(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(checkout.count(), 1);
        panel.removeButton()->click();
        QCOMPARE(remove.count(), 1);
        QCOMPARE(add.count(), 3);
    }

    // Escape has nothing to cancel at the counter: it stays in the panel, so a
    // window around it (a dialog closes on Escape) never sees it.
    void escapeStaysInTheInputPanel() {
        QDialog host;
        auto* panel = new CSaleInputDlg(&host);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        const std::pair<QLineEdit*, QString> edits[] = {{panel->codeEdit(), QStringLiteral("6901")},
                                                        {panel->quantityEdit(), QStringLiteral("12")}};
        for (const auto& [edit, text] : edits) {
            edit->setText(text);
            QTest::keyClick(edit, Qt::Key_Escape);
            QVERIFY2(host.isVisible(), qPrintable(edit->objectName()));
            QCOMPARE(edit->text(), text);
        }
    }

    // Keys typed while the quantity has the focus (as after a stock message),
    // each to whichever edit has the focus by then, as a scanner types. "\b" is
    // Backspace.
    void quantityTakesDigitsOnly_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("codeFocused");
        QTest::newRow("a digit") << "5" << "5" << "OLD" << false;
        QTest::newRow("three digits") << "125" << "125" << "OLD" << false;
        QTest::newRow("code with a letter") << "1T0" << "2" << "1T0" << true;
        QTest::newRow("bar code of digits") << "6901234500017" << "2" << "6901234500017" << true;
        QTest::newRow("letters") << "abc" << "2" << "abc" << true;
        QTest::newRow("a dash") << "-3" << "2" << "-3" << true;
        QTest::newRow("Chinese") << QStringLiteral("水") << "2" << QStringLiteral("水") << true;
        QTest::newRow("edited, then a letter") << "5\bX" << "" << "X" << true;
        QTest::newRow("digits edited by hand") << "12\b34" << "134" << "OLD" << false;
    }
    void quantityTakesDigitsOnly() {
        QFETCH(QString, keys);
        QFETCH(QString, quantity);
        QFETCH(QString, code);
        QFETCH(bool, codeFocused);
        CSaleInputDlg panel;
        QSignalSpy add(&panel, &CSaleInputDlg::addRequested);
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        panel.codeEdit()->setText(QStringLiteral("OLD"));
        panel.quantityEdit()->setText(QStringLiteral("2"));
        panel.focusQuantity();
        QCOMPARE(QApplication::focusWidget(), panel.quantityEdit());
        for (QChar c : keys) {
            QWidget* to = QApplication::focusWidget();
            QVERIFY(to);
            if (c == QLatin1Char('\b'))
                QTest::keyClick(to, Qt::Key_Backspace);
            else
                QTest::sendKeyEvent(QTest::Click, to, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QCOMPARE(panel.quantityEdit()->text(), quantity);
        QCOMPARE(panel.codeEdit()->text(), code);
        QCOMPARE(QApplication::focusWidget(),
                 codeFocused ? static_cast<QWidget*>(panel.codeEdit()) : panel.quantityEdit());
        // The scanner's Enter adds, wherever the focus went.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(add.count(), 1);
    }

    void quantityRefusesPastedText() {
        CSaleInputDlg panel;
        QLineEdit* q = panel.quantityEdit();
        for (const char* bad : {"1T0", "abc", "-1", "1.5", " 2", "9x"}) {
            q->setText(QStringLiteral("4"));
            q->selectAll();
            q->insert(QString::fromLatin1(bad));
            QCOMPARE(q->text(), QStringLiteral("4"));
        }
        q->selectAll();
        q->insert(QStringLiteral("12"));
        QCOMPARE(q->text(), QStringLiteral("12"));
    }

    void quantityOtherThanOneIsMarked() {
        CSaleInputDlg panel;
        QVERIFY(!panel.quantityMarked());
        const std::pair<const char*, bool> cases[] = {{"2", true}, {"1", false}, {"", true},
                                                      {"0", true}, {"001", false}, {"999", true}};
        for (auto [text, marked] : cases) {
            panel.quantityEdit()->setText(QString::fromLatin1(text));
            QVERIFY2(panel.quantityMarked() == marked, text);
            QCOMPARE(panel.quantityEdit()->property("notOne").toBool(), marked);
        }
        panel.quantityEdit()->setText(QStringLiteral("7"));
        panel.resetQuantity();
        QCOMPARE(panel.quantityEdit()->text(), QStringLiteral("1"));
        QVERIFY(!panel.quantityMarked());
    }

    void totalsPanelSwallowsEnterAndEscape() {
        CSaleOutputDlg panel;
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&panel, &enter);
        QApplication::sendEvent(&panel, &escape);
        QVERIFY(enter.isAccepted());
        QVERIFY(escape.isAccepted());
    }

    void paymentAtItsPrecision() {
        CPaymentDlg dlg(*fx.store.shell, 3); // 0.1 + 0.2
        QCOMPARE(dlg.windowTitle(), QStringLiteral("付款"));
        QCOMPARE(dlg.edit()->text(), QStringLiteral("0"));
        QCOMPARE(dlg.resultCode(), 0);
        dlg.edit()->setText(QStringLiteral("0.2"));
        dlg.onOk();
        QCOMPARE(dlg.resultCode(), 0);
        QCOMPARE(fx.shell().failures, QStringList{QStringLiteral("实付金额少于购买商品的总金额")});
        dlg.edit()->setText(QStringLiteral("0.3"));
        dlg.onOk();
        QCOMPARE(dlg.resultCode(), 1);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.paidTenths(), int64_t(3));
    }

    void paymentRefusesWhatIsNoAmount() {
        CPaymentDlg dlg(*fx.store.shell, 50);
        // Typing is held to digits and one decimal.
        dlg.edit()->clear();
        QTest::keyClicks(dlg.edit(), QStringLiteral("a1-2.345"));
        QCOMPARE(dlg.edit()->text(), QStringLiteral("12.3"));
        dlg.onOk();
        QCOMPARE(dlg.paidTenths(), int64_t(123));
        QCOMPARE(dlg.resultCode(), 1);

        // A text that is no number leaves the amount paid as it was.
        CPaymentDlg again(*fx.store.shell, 0);
        again.edit()->setText(QStringLiteral("."));
        again.onOk();
        QCOMPARE(again.paidTenths(), int64_t(0));
        QCOMPARE(again.resultCode(), 1); // nothing due

        CPaymentDlg cancelled(*fx.store.shell, 10);
        QTest::keyClick(cancelled.edit(), Qt::Key_Escape);
        QCOMPARE(cancelled.resultCode(), -1);
        CPaymentDlg entered(*fx.store.shell, 10);
        entered.edit()->setText(QStringLiteral("1"));
        QTest::keyClick(entered.edit(), Qt::Key_Return);
        QCOMPARE(entered.resultCode(), 1);
    }

    void memberLookup() {
        const int first = fx.addMember("C'7", QStringLiteral("甲"), 1);
        fx.addMember("C'7", QStringLiteral("乙"), 0); // a second holder of the code
        CSaleVIPDlg dlg(*fx.store.shell);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("会员"));
        dlg.edit()->setText(QStringLiteral("C'7"));
        QTest::keyClick(dlg.edit(), Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.member().FVi_Id, first); // the lowest id
        QCOMPARE(dlg.member().FVi_Type, 1);
        // Looking a member up does not choose it yet.
        QVERIFY(!fx.shell().st.extension<SaleCounterState>().hasMember());

        CSaleVIPDlg missing(*fx.store.shell);
        missing.edit()->setText(QStringLiteral("C"));
        missing.onOk();
        QVERIFY(missing.result() != QDialog::Accepted);
        QCOMPARE(fx.shell().failures, QStringList{QStringLiteral("不存在编号为\"C\"的会员，请输入正确的会员编号")});
        QTest::keyClick(missing.edit(), Qt::Key_Escape);
        QCOMPARE(missing.result(), int(QDialog::Rejected));
    }

    void discountDialogModes() {
        auto listed = [](const char* code, double retail) {
            vorn::SRec u = SaleFixture::unit(code, retail);
            u.FSd_ReaP = retail;
            return u;
        };
        SaleList list;
        list.addRow(SaleRow({listed("A", 12.0), listed("A", 12.0)}, QString()));
        list.addRow(SaleRow({listed("B", 20.0)}, QString()));
        CSaleDiscountDlg dlg(*fx.store.shell, list, {0});
        QCOMPARE(dlg.windowTitle(), QStringLiteral("商品折扣"));
        QCOMPARE(dlg.mode(), 0);
        QCOMPARE(dlg.presetCombo()->count(), 5);
        QCOMPARE(dlg.presetCombo()->currentText(), QStringLiteral("零售价"));
        QVERIFY(dlg.presetCombo()->isEnabled());
        QVERIFY(!dlg.rateEdit()->isEnabled());
        QCOMPARE(dlg.rateEdit()->maxLength(), 28);
        dlg.rateRadio()->click();
        QCOMPARE(dlg.mode(), 1);
        QVERIFY(!dlg.presetCombo()->isEnabled());
        QVERIFY(dlg.rateEdit()->isEnabled());
        dlg.rateEdit()->setText(QStringLiteral("11"));
        QTest::keyClick(dlg.rateEdit(), Qt::Key_Return);
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(fx.shell().failures, QStringList{rateRangeMessage()});
        dlg.rateEdit()->setText(QStringLiteral("8"));
        QTest::keyClick(dlg.rateEdit(), Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        for (const vorn::SRec& u : list.rows()[0].units())
            QCOMPARE(u.FSd_ReaP, 9.6);
        QCOMPARE(list.rows()[1].first().FSd_ReaP, 20.0); // not selected

        // With nothing selected it closes with OK and changes nothing.
        CSaleDiscountDlg none(*fx.store.shell, list, {});
        none.presetCombo()->setCurrentIndex(4);
        none.onApply();
        QCOMPARE(none.result(), int(QDialog::Accepted));
        QCOMPARE(list.rows()[1].first().FSd_ReaP, 20.0);
        // Back to the preset mode only switches the enabling.
        CSaleDiscountDlg back(*fx.store.shell, list, {1});
        back.rateRadio()->click();
        back.presetRadio()->click();
        QVERIFY(back.presetCombo()->isEnabled() && !back.rateEdit()->isEnabled());
        back.presetCombo()->setCurrentIndex(3);
        back.onApply();
        QCOMPARE(list.rows()[1].first().FSd_ReaP, 14.0);
    }
};

QTEST_MAIN(TestSaleDialogs)
#include "test_saledialogs.moc"

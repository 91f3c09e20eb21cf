// The counter at a scanner's speed: sales parked and taken back (also after the
// store was closed), every key of the code edit, the question asked when the
// page is left with goods listed, and the shop's counter habits (merging rows,
// selling short, what follows a sale).
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

#include "heldsaledlg.h"
#include "paymentdlg.h"
#include "salediscountdlg.h"
#include "saleinputdlg.h"
#include "salemodel.h"
#include "saleoutputdlg.h"
#include "saleprintdlg.h"
#include "salestate.h"
#include "saleview.h"
#include "salevipdlg.h"
#include "salefixture.h"
#include "vorn/heldsales.h"
#include "vorn/shifts.h"
#include "kit/dialog/vornlabel.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

class TestHeld : public QObject {
    Q_OBJECT

    SaleFixture fx;
    std::unique_ptr<CSaleView> page;
    QStringList dialogs;          // object names of the dialogs run, in order
    int recallRow = 0;            // the row of 取单 chosen (Enter); -1: Escape
    QStringList recallRows;       // what 取单 listed, "units|amount|member"
    int leave = CLeaveSaleDlg::Stay;
    QWidget* focusAtOpen = nullptr;

    int runDialog(QDialog& d) {
        dialogs << d.objectName();
        if (auto* p = qobject_cast<CPaymentDlg*>(&d)) {
            QTest::keyClick(p->edit(), Qt::Key_F2); // WeChat, exactly
            QTest::keyClick(p->edit(), Qt::Key_Return);
            return p->result();
        }
        if (auto* h = qobject_cast<CHeldSalesDlg*>(&d)) {
            focusAtOpen = h->focusWidget();
            recallRows.clear();
            for (int r = 0; r < h->table()->rowCount(); ++r)
                recallRows << h->table()->item(r, 1)->text() + QLatin1Char('|') + h->table()->item(r, 2)->text() +
                                  QLatin1Char('|') + h->table()->item(r, 3)->text();
            if (recallRow < 0) {
                QTest::keyClick(h->table(), Qt::Key_Escape);
                return h->result();
            }
            if (recallRow > 0) h->table()->selectRow(recallRow);
            QTest::keyClick(h->table(), Qt::Key_Return);
            return h->result();
        }
        if (auto* l = qobject_cast<CLeaveSaleDlg*>(&d)) {
            // Enter parks, Escape stays, the button drops.
            if (leave == CLeaveSaleDlg::Park)
                QTest::keyClick(l, Qt::Key_Return);
            else if (leave == CLeaveSaleDlg::Stay)
                QTest::keyClick(l, Qt::Key_Escape);
            else
                l->button(CLeaveSaleDlg::Drop)->click();
            return l->result();
        }
        if (auto* p = qobject_cast<CSalePrintDlg*>(&d)) {
            // It says which button Enter presses, and Enter presses that one.
            auto* ok = p->findChild<QPushButton*>(QStringLiteral("okButton"));
            if (!ok || !ok->isDefault()) dialogs << QStringLiteral("no default button");
            QTest::keyClick(p, Qt::Key_Return);
            return p->result();
        }
        if (auto* v = qobject_cast<CSaleVIPDlg*>(&d)) {
            v->edit()->setText(QStringLiteral("M1"));
            v->onOk();
            return v->result();
        }
        if (auto* g = qobject_cast<CSaleDiscountDlg*>(&d)) {
            g->setMode(1);
            g->rateEdit()->setText(QStringLiteral("5"));
            g->onApply();
            return g->result();
        }
        return QDialog::Rejected;
    }

    void open() {
        page = std::make_unique<CSaleView>(fx.shell());
        page->resize(1024, 600);
        page->setDialogRunner([this](QDialog& d) { return runDialog(d); });
        page->initialUpdate();
    }
    QLineEdit* code() const { return page->inputPanel()->codeEdit(); }
    void scan(const QString& c, int quantity = 1) {
        code()->setText(c);
        page->inputPanel()->quantityEdit()->setText(QString::number(quantity));
        QTest::keyClick(code(), Qt::Key_Return);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(code(), k, m); }
    QString status() const { return fx.store.shell->statusText(); }
    QStringList& boxes() { return fx.shell().failures; }
    QString cell(int row, int col) const { return page->model()->cellText(row, col); }
    void setRules(int afterSale, bool merge, bool sellShort) {
        vorn::ShopRules r;
        QCOMPARE(vorn::Shifts(fx.core()).rules(r), 1);
        r.after_sale = afterSale;
        r.merge_rows = merge;
        r.sell_short = sellShort;
        QCOMPARE(vorn::Shifts(fx.core()).set_rules(r), 1);
    }
    int parked() { return vorn::HeldSales(fx.core()).count(); }

private slots:
    void init() {
        fx.setUp();
        dialogs.clear();
        recallRow = 0;
        leave = CLeaveSaleDlg::Stay;
        fx.stock("A", 4, 2.0);
        fx.stock("B", 2, 5.0);
        fx.stock("C", 1, 1.5);
        fx.addMember("M1", QStringLiteral("张三"), 0, 120);
        open();
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
    }

    void twoParkedOneTakenBackAfterARestartAndSold() {
        scan(QStringLiteral("A"), 2);
        key(Qt::Key_F2); // member prices, points shown
        QVERIFY(page->memberLabel()->text().contains(QStringLiteral("积分: 120")));
        key(Qt::Key_F4);
        QVERIFY(status().startsWith(QStringLiteral("成功挂单，共2件商品")));
        QVERIFY(page->list().empty());
        QVERIFY(!page->memberLabel()->isVisible() || page->memberLabel()->text().isEmpty());
        scan(QStringLiteral("B"));
        key(Qt::Key_F4);
        QCOMPARE(parked(), 2);

        // The program ends and starts again.
        page.reset();
        fx.core().close();
        QCOMPARE(fx.core().open(), 0);
        open();
        recallRow = 1; // the older one: the first listed is the latest
        key(Qt::Key_F5);
        QCOMPARE(recallRows, (QStringList{QStringLiteral("1|5.0|"), QStringLiteral("2|3.6|张三 M1")}));
        QCOMPARE(page->list().totals().quantity, 2);
        QCOMPARE(cell(0, SaleColPrice), QStringLiteral("1.8"));
        QVERIFY(page->memberLabel()->text().contains(QStringLiteral("M1")));
        QVERIFY(focusAtOpen && focusAtOpen->objectName() == QStringLiteral("heldSalesList"));

        key(Qt::Key_F12);
        QCOMPARE(status(), QStringLiteral("销售结算成功"));
        QCOMPARE(fx.count("FSs_Code='A' AND FSi_Flag=1 AND FSd_ReaP=1.8"), 2);
        QCOMPARE(parked(), 1);
        QCOMPARE(fx.count("FSs_Code='B' AND FSi_Flag=0"), 2);
        QCOMPARE(fx.member(1).FVi_Grade >= 120, true);
    }

    void aRecallChecksTheUnitsAgain_data() {
        QTest::addColumn<QString>("soldMeanwhile"); // units sold by another till before the recall
        QTest::addColumn<int>("units");             // in the list after the recall
        QTest::addColumn<bool>("complaint");        // the error box names what went
        QTest::newRow("all there") << QString() << 3 << false;
        QTest::newRow("one replaced") << QStringLiteral("FSi_Id=(SELECT MIN(FSi_Id) FROM Store WHERE FSs_Code='A')")
                                      << 3 << false;
        QTest::newRow("the only C gone") << QStringLiteral("FSs_Code='C'") << 2 << true;
    }
    void aRecallChecksTheUnitsAgain() {
        QFETCH(QString, soldMeanwhile);
        QFETCH(int, units);
        QFETCH(bool, complaint);
        scan(QStringLiteral("A"), 2);
        scan(QStringLiteral("C"));
        key(Qt::Key_F4);
        if (!soldMeanwhile.isEmpty())
            QCOMPARE(fx.core().exec_sql(("UPDATE Store SET FSi_Flag=1 WHERE " + soldMeanwhile.toStdString()).c_str()),
                     0);
        key(Qt::Key_F5);
        QCOMPARE(page->list().totals().quantity, units);
        QCOMPARE(boxes().isEmpty(), !complaint);
        if (complaint) QVERIFY(boxes().last().contains(QStringLiteral("\"C\"1件")));
        key(Qt::Key_F12);
        QCOMPARE(status(), QStringLiteral("销售结算成功"));
    }

    void recallRefusedOrCancelled() {
        key(Qt::Key_F5);
        QCOMPARE(status(), QStringLiteral("未找到任何挂单"));
        scan(QStringLiteral("A"));
        key(Qt::Key_F4);
        scan(QStringLiteral("B"));
        key(Qt::Key_F5); // goods listed: park or sell them first
        QVERIFY(status().contains(QStringLiteral("未取回任何挂单")));
        key(Qt::Key_Delete, Qt::ControlModifier); // nothing selected
        key(Qt::Key_Up);
        key(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(page->list().empty());
        recallRow = -1;
        key(Qt::Key_F5);
        QCOMPARE(status(), QStringLiteral("放弃该次\"取单\"操作"));
        QCOMPARE(parked(), 1);
    }

    // One table over the keys of the code edit and what each does.
    void everyKey_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("dialog"); // the dialog it opens; empty: none
        QTest::addColumn<int>("selected");   // the row selected afterwards (-1 none)
        QTest::addColumn<int>("quantity");   // units listed afterwards
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("Up") << int(Qt::Key_Up) << none << QString() << 0 << 3;
        QTest::newRow("Down") << int(Qt::Key_Down) << none << QString() << 1 << 3;
        QTest::newRow("Ctrl+Up") << int(Qt::Key_Up) << ctrl << QString() << 1 << 4;
        QTest::newRow("Ctrl+Down") << int(Qt::Key_Down) << ctrl << QString() << 1 << 2;
        QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete) << ctrl << QString() << -1 << 1;
        QTest::newRow("F2") << int(Qt::Key_F2) << none << QStringLiteral("saleVipDlg") << 1 << 3;
        QTest::newRow("F3") << int(Qt::Key_F3) << none << QStringLiteral("saleDiscountDlg") << 1 << 3;
        QTest::newRow("F4") << int(Qt::Key_F4) << none << QString() << -1 << 0;
        QTest::newRow("F6") << int(Qt::Key_F6) << none << QString() << 1 << 3;
        QTest::newRow("F12") << int(Qt::Key_F12) << none << QStringLiteral("paymentDlg") << -1 << 0;
        QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << ctrl << QStringLiteral("paymentDlg") << -1 << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << none << QString() << 1 << 3;
    }
    void everyKey() {
        QFETCH(int, k);
        QFETCH(int, mods);
        QFETCH(QString, dialog);
        QFETCH(int, selected);
        QFETCH(int, quantity);
        page->show();
        scan(QStringLiteral("A"));
        scan(QStringLiteral("A"), 2); // rows: A x1, A x2; the last one selected
        key(Qt::Key_Up);
        key(Qt::Key_Down);
        QCOMPARE(page->selectedRows(), std::vector<int>{1});
        dialogs.clear();
        key(Qt::Key(k), Qt::KeyboardModifiers(mods));
        QCOMPARE(dialogs.value(0), dialog);
        const std::vector<int> rows = page->selectedRows();
        QCOMPARE(rows.empty() ? -1 : rows.front(), selected);
        QCOMPARE(page->list().totals().quantity, quantity);
        // The focus is back in the code edit (F6: in the quantity).
        QWidget* focus = page->focusWidget();
        QCOMPARE(focus, k == Qt::Key_F6 ? static_cast<QWidget*>(page->inputPanel()->quantityEdit())
                                        : static_cast<QWidget*>(code()));
    }

    void ctrlUpStopsAtTheStock() {
        scan(QStringLiteral("C"));
        key(Qt::Key_Up);
        key(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(page->list().totals().quantity, 1);
        QVERIFY(boxes().value(0).contains(QStringLiteral("的库存数量为0")));
        key(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(page->list().totals().quantity, 1);
    }

    void leavingAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("left");
        QTest::addColumn<int>("parkedAfter");
        QTest::addColumn<int>("listed");
        QTest::newRow("park") << int(CLeaveSaleDlg::Park) << true << 1 << 0;
        QTest::newRow("drop") << int(CLeaveSaleDlg::Drop) << true << 0 << 0;
        QTest::newRow("stay") << int(CLeaveSaleDlg::Stay) << false << 0 << 2;
    }
    void leavingAsksFirst() {
        QFETCH(int, answer);
        QFETCH(bool, left);
        QFETCH(int, parkedAfter);
        QFETCH(int, listed);
        QVERIFY(page->mayLeave(Leaving::Tab)); // empty: nothing to ask
        QVERIFY(dialogs.isEmpty());
        scan(QStringLiteral("A"), 2);
        leave = answer;
        for (Leaving why : {Leaving::Tab, Leaving::SwitchUser, Leaving::Close}) {
            if (page->list().empty()) break;
            QCOMPARE(page->mayLeave(why), left);
        }
        QCOMPARE(dialogs.first(), QStringLiteral("leaveSaleDlg"));
        QCOMPARE(parked(), parkedAfter);
        QCOMPARE(page->list().totals().quantity, listed);
        QCOMPARE(fx.count("FSi_Flag=0"), 7);
    }

    void mergeRows_data() {
        QTest::addColumn<bool>("merge");
        QTest::addColumn<int>("rows");
        QTest::newRow("a row per scan") << false << 3;
        QTest::newRow("merged") << true << 2;
    }
    void mergeRows() {
        QFETCH(bool, merge);
        QFETCH(int, rows);
        setRules(vorn::kAfterSaleAsk, merge, false);
        scan(QStringLiteral("A"));
        scan(QStringLiteral("A"));
        scan(QStringLiteral("B"));
        QCOMPARE(page->list().rowCount(), rows);
        QCOMPARE(page->list().rows().front().quantity(), merge ? 2 : 1);
        QCOMPARE(page->outputPanel()->changeLabel()->text(), QStringLiteral("    应收: 9.0"));
        QVERIFY(page->outputPanel()->showingDue());
    }

    void sellShort_data() {
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("storeRows");
        QTest::newRow("refused as ever") << false << 0 << 7;
        QTest::newRow("entered and sold") << true << 3 << 9;
    }
    void sellShort() {
        QFETCH(bool, allowed);
        QFETCH(int, listed);
        QFETCH(int, storeRows);
        setRules(vorn::kAfterSaleQuiet, false, allowed);
        scan(QStringLiteral("C"), 3);
        QCOMPARE(page->list().totals().quantity, listed);
        QCOMPARE(boxes().isEmpty(), allowed);
        if (allowed) {
            QCOMPARE(fx.count("1=1"), 7); // nothing stored before checkout
            key(Qt::Key_F12);
            QCOMPARE(status(), QStringLiteral("销售结算成功"));
            QCOMPARE(fx.count("FSs_Code='C' AND FSi_Flag=1 AND FSd_ReaP=1.5"), 3);
            QCOMPARE(fx.count("FSs_Remark='" + gbk(QStringLiteral("收银台补录")) + "'"), 2);
        }
        QCOMPARE(fx.count("1=1"), storeRows);
    }

    // The counter mid-sale and the 取单 list fit a 1024x768 screen; with
    // VORN_SCREENSHOT_DIR set both are written there as pictures.
    void theyFitTheScreen() {
        fx.addMember("M2", QStringLiteral("李四"), 1, 3456);
        scan(QStringLiteral("A"), 2);
        key(Qt::Key_F2);
        key(Qt::Key_F4);
        scan(QStringLiteral("B"));
        key(Qt::Key_F4);
        scan(QStringLiteral("A"));
        scan(QStringLiteral("C"));
        key(Qt::Key_F2);
        key(Qt::Key_Up);
        page->resize(1024, 600); // the window less its ribbon and status bar
        page->show();
        QCoreApplication::processEvents();
        std::vector<vorn::HeldSale> sales;
        QCOMPARE(vorn::HeldSales(fx.core()).list(sales), 2);
        CHeldSalesDlg dlg(std::move(sales));
        dlg.adjustSize();
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        CLeaveSaleDlg leaveDlg(3);
        leaveDlg.adjustSize();
        QVERIFY(leaveDlg.width() <= 1024);
        // Every column of the list is wider than its widest text.
        for (int c = 0; c < dlg.table()->columnCount(); ++c)
            for (int r = 0; r < dlg.table()->rowCount(); ++r)
                QVERIFY(dlg.table()->fontMetrics().horizontalAdvance(dlg.table()->item(r, c)->text()) <
                        dlg.table()->columnWidth(c));
        const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QVERIFY(page->grab().save(dir + QStringLiteral("/counter-keys.png")));
            dlg.show();
            QCoreApplication::processEvents();
            QVERIFY(dlg.grab().save(dir + QStringLiteral("/recall.png")));
            leaveDlg.show();
            QCoreApplication::processEvents();
            QVERIFY(leaveDlg.grab().save(dir + QStringLiteral("/leave.png")));
        }
    }

    void afterSale_data() {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("ask") << vorn::kAfterSaleAsk << QStringList{"paymentDlg", "salePrintDlg"};
        QTest::newRow("print") << vorn::kAfterSalePrint << QStringList{"paymentDlg"};
        QTest::newRow("quiet") << vorn::kAfterSaleQuiet << QStringList{"paymentDlg"};
    }
    void afterSale() {
        QFETCH(int, rule);
        QFETCH(QStringList, shown);
        setRules(rule, false, false);
        scan(QStringLiteral("B"));
        key(Qt::Key_F12);
        QCOMPARE(dialogs, shown);
        QCOMPARE(status().startsWith(QStringLiteral("销售结算成功")), true);
        const bool printed = status().contains(QStringLiteral("PDF")) || status().contains(QStringLiteral("未能打印"));
        QCOMPARE(printed, rule == vorn::kAfterSalePrint);
        QVERIFY(!page->outputPanel()->showingDue());
    }
};

QTEST_MAIN(TestHeld)
#include "test_held.moc"

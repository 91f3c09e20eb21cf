// The sales counter inside the real main window: a cashier logs in, scans goods
// into the list, chooses a member, discounts a row, checks out with Ctrl+Enter
// and prints the receipt again from the ribbon. With VORN_SCREENSHOT_DIR set it
// also writes sale.png, the counter in the middle of a sale.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include "daysalesdlg.h"
#include "frame/internetview.h"
#include "frame/look.h"
#include "frame_fixture.h"
#include "kit/dialog/vornlabel.h"
#include "paymentdlg.h"
#include "receiptdata.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "salediscountdlg.h"
#include "saleinputdlg.h"
#include "salelist.h"
#include "salemodel.h"
#include "saleoutputdlg.h"
#include "saleprintdlg.h"
#include "saleview.h"
#include "salevipdlg.h"
#include "vorn/journal.h"
#include <QTableWidget>

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

struct Goods {
    const char* code;
    const char* name;
    const char* size;
    double retail;
    int count;
};

// A small shop: a few articles with member and gold-card prices, and members.
void stockShop(AppState& st) {
    const Goods goods[] = {
        {"6901234500017", "康源矿泉水", "550ml", 2.0, 40},
        {"6902345600024", "金穗东北大米", "5kg", 39.9, 10},
        {"6903456700031", "鲜乐原味酸奶", "200g", 6.5, 24},
        {"6904567800048", "雅洁去屑洗发水", "400ml", 32.8, 8},
        {"6905678900055", "百味薯片(番茄味)", "70g", 7.5, 30},
        {"6906789000062", "清泉绿茶", "500ml", 3.5, 48},
        {"it's-01", "试吃装饼干", "50g", 0.1, 5},
    };
    for (const Goods& g : goods) {
        vorn::SRec u;
        u.FSs_Code = g.code;
        u.FSs_Name = gbk(QString::fromUtf8(g.name));
        u.FSi_Type = 1;
        u.FSs_Size = g.size;
        u.FSd_OriP = g.retail * 0.6;
        u.FSd_RetP = g.retail;
        u.FSd_MemP = g.retail * 0.95;
        u.FSd_GolP = g.retail * 0.9;
        u.FSd_WhoP = g.retail * 0.8;
        u.FSd_SpeP = g.retail * 0.7;
        u.FSt_StoT = vorn::parse_time("2026-03-02 09:30:00");
        u.FSi_Supplier = 1;
        std::vector<vorn::SRec> units(static_cast<size_t>(g.count), u);
        QCOMPARE(st.core.insert_srec(units.data(), g.count), g.count);
    }
    vorn::VIPRec m;
    m.FVs_Code = "VIP0088";
    m.FVs_Name = gbk(QStringLiteral("陈晓梅"));
    m.FVi_Type = 1;
    m.FVi_Grade = 1280;
    m.FVt_CreT = vorn::parse_time("2025-01-15 10:00:00");
    QCOMPARE(st.core.insert_viprec(&m, 1), 1);
    st.core.set_shop_name(gbk(QStringLiteral("好邻居便利店")).c_str());
    st.core.set_shop_phone("0571-86001234");
    st.core.set_shop_addr(gbk(QStringLiteral("杭州市西湖区文三路 88 号")).c_str());
}

void settle(QWidget& w) {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        if (w.layout()) w.layout()->activate();
    }
}

void scan(CSaleView& page, const QString& code, int quantity = 1) {
    page.inputPanel()->codeEdit()->setText(code);
    page.inputPanel()->quantityEdit()->setText(QString::number(quantity));
    QTest::keyClick(page.inputPanel()->codeEdit(), Qt::Key_Return);
}

} // namespace

class TestFrameSale : public QObject {
    Q_OBJECT

    QString pay;
    QStringList payKeys; // else pressed on the amount edit: "F2", "10", "Enter"
    bool doneByKey = false; // the sale-complete dialog answered with Enter
    int keys = 0;           // keys pressed at the counter besides the scans themselves

    void press(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        ++keys;
        QTest::keyClick(w, k, m);
    }
    // A scanner: the code's characters and Enter, into the page's focus.
    static void scanKeys(CSaleView& page, const QString& code) {
        QWidget* w = page.window()->focusWidget() ? page.window()->focusWidget() : page.inputPanel()->codeEdit();
        QTest::keyClicks(w, code);
        QTest::keyClick(w, Qt::Key_Return);
    }
    int dayRows = -1;    // rows the last "今日销售" listed
    bool printIt = false;
    QString memberCode;
    QString rate;

    int answer(QDialog& d) {
        if (auto* p = qobject_cast<CPaymentDlg*>(&d)) {
            QWidget* focus = p->focusWidget() ? p->focusWidget() : p->edit();
            for (const QString& k : payKeys) {
                if (k.startsWith(QLatin1Char('F')))
                    press(focus, Qt::Key(Qt::Key_F1 + k.mid(1).toInt() - 1));
                else if (k == QStringLiteral("Enter"))
                    press(focus, Qt::Key_Return);
                else {
                    keys += static_cast<int>(k.size());
                    QTest::keyClicks(focus, k);
                }
            }
            if (!payKeys.isEmpty()) return p->result();
            p->edit()->setText(pay);
            p->onOk();
            return p->result();
        }
        if (auto* p = qobject_cast<CDaySalesDlg*>(&d)) {
            dayRows = p->table()->rowCount();
            QTest::keyClick(p->table(), Qt::Key_Return);
            return p->result();
        }
        if (auto* p = qobject_cast<CSalePrintDlg*>(&d)) {
            if (doneByKey) {
                press(p, Qt::Key_Return);
                return p->result();
            }
            printIt ? p->onPrint() : p->onOk();
            return p->result();
        }
        if (auto* v = qobject_cast<CSaleVIPDlg*>(&d)) {
            v->edit()->setText(memberCode);
            v->onOk();
            return v->result();
        }
        if (auto* g = qobject_cast<CSaleDiscountDlg*>(&d)) {
            g->setMode(1);
            g->rateEdit()->setText(rate);
            g->onApply();
            return g->result();
        }
        return QDialog::Rejected;
    }

    CSaleView* openCounter(FrameFixture& f) {
        auto* page = qobject_cast<CSaleView*>(f.frame->view());
        if (page) page->setDialogRunner([this](QDialog& d) { return answer(d); });
        return page;
    }

private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
        applyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void aSaleAtTheCounter() {
        FrameFixture f;
        QVERIFY(f.create());
        stockShop(f.frame->state());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        flush();
        CSaleView* page = openCounter(f);
        QVERIFY(page);
        QCOMPARE(page->shopLabel()->text(), QStringLiteral("好邻居便利店"));
        QVERIFY(f.frame->dateWatchRunning());
        QVERIFY(f.frame->isEnabled(cmd::MemberDiscount));
        QVERIFY(!f.frame->isEnabled(cmd::GoodsDiscount));
        QVERIFY(!f.frame->isEnabled(cmd::PrintReceipt));

        scan(*page, QStringLiteral("6901234500017"), 2);
        scan(*page, QStringLiteral("it's-01"), 3);
        QCOMPARE(f.frame->statusText(), QStringLiteral("在购物列表中添加商品成功"));
        QCOMPARE(page->model()->rowCount(), 2);

        // A gold-card member reprices the list; a row discounted by 8折 from its retail.
        memberCode = QStringLiteral("VIP0088");
        f.frame->onCommand(cmd::MemberDiscount);
        QCOMPARE(page->model()->cellText(0, SaleColPrice), QStringLiteral("1.8"));
        page->table()->selectRow(1);
        f.frame->updateCommands();
        QVERIFY(f.frame->isEnabled(cmd::GoodsDiscount));
        rate = QStringLiteral("8");
        f.frame->onCommand(cmd::GoodsDiscount);
        QCOMPARE(f.frame->statusText(), QStringLiteral("商品\"打折\"成功"));
        QCOMPARE(page->model()->cellText(1, SaleColAmount), QStringLiteral("0.3")); // 3 x 0.1

        // Ctrl+Enter: pay exactly, no receipt now.
        pay = QStringLiteral("3.9");
        QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.frame->statusText(), QStringLiteral("销售结算成功"));
        QVERIFY(f.messages.shown.isEmpty());
        vorn::Core& core = f.frame->state().core;
        QCOMPARE(core.get_srec_count("FSi_Flag=1"), 5);
        QCOMPARE(core.get_srec_count("FSi_Flag=1 AND FSs_Code='it''s-01' AND FSd_ReaP=0.1"), 3);
        vorn::VIPRec m;
        QCOMPARE(core.select_viprec(&m, "FVs_Code='VIP0088'"), 1);
        QCOMPARE(m.FVi_Grade, 1283);

        // "打印小票" prints the sale again, from any page, also after the counter reopened.
        f.frame->updateCommands();
        QVERIFY(f.frame->isEnabled(cmd::PrintReceipt));
        f.frame->onCommand(cmd::PrintReceipt);
        QCOMPARE(QDir(QStringLiteral("receipts")).entryList(QDir::Files).size(), 1);
        f.frame->selectTab(tabs::Goods);
        flush();
        QVERIFY(!f.frame->dateWatchRunning());
        QVERIFY(f.frame->isEnabled(cmd::PrintReceipt));
        f.frame->selectTab(tabs::Counter);
        flush();
        QVERIFY(f.frame->dateWatchRunning());
        QVERIFY(f.frame->isEnabled(cmd::PrintReceipt));
        f.frame->onCommand(cmd::PrintReceipt);
        QCOMPARE(QDir(QStringLiteral("receipts")).entryList(QDir::Files).size(), 2);
        QCOMPARE(f.frame->state().extension<ReceiptData>().lines.size(), size_t(2));
    }

    // By keyboard alone: scans, Ctrl+Enter, WeChat (F2) for a part and cash for
    // the rest; the journal holds both payments, and F9 prints the sale again.
    void aSalePaidPartWeChatPartCash() {
        FrameFixture f;
        QVERIFY(f.create());
        stockShop(f.frame->state());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        flush();
        CSaleView* page = openCounter(f);
        QVERIFY(page);
        scan(*page, QStringLiteral("6906789000062"));
        scan(*page, QStringLiteral("6903456700031"));
        scan(*page, QStringLiteral("6906789000062"));
        payKeys = QStringList{"F2", "10", "Enter", "5", "Enter"};
        QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_Return, Qt::ControlModifier);
        payKeys.clear();
        QCOMPARE(f.frame->statusText(), QStringLiteral("销售结算成功"));

        vorn::Journal journal(f.frame->state().core);
        std::vector<vorn::SaleRecord> sales;
        QCOMPARE(journal.select_sales({}, sales), 1);
        vorn::SaleDetail sale;
        QCOMPARE(journal.open_sale(sales[0].id, sale), 1);
        QCOMPARE(sale.sale.due, int64_t(135));
        QCOMPARE(sale.sale.change, int64_t(15));
        QCOMPARE(sale.sale.cashier, f.frame->state().currentUser.FUs_Name);
        QCOMPARE(sale.payments.size(), size_t(2));
        QCOMPARE(sale.payments[0].method, int(vorn::kPayWeChat));
        QCOMPARE(sale.payments[0].amount, int64_t(100));
        QCOMPARE(sale.payments[1].method, int(vorn::kPayCash));
        QCOMPARE(sale.payments[1].amount, int64_t(50));
        const ReceiptData& r = f.frame->state().extension<ReceiptData>();
        QCOMPARE(r.number, QString::fromStdString(sale.sale.number));
        QCOMPARE(r.payments.size(), size_t(2));

        // F9 lists it; Enter prints it again.
        QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_F9);
        QCOMPARE(dayRows, 1);
        QCOMPARE(QDir(QStringLiteral("receipts")).entryList(QDir::Files).size(), 1);
        QVERIFY(f.frame->statusText().startsWith(QStringLiteral("成功将1张小票保存为PDF文件")));
    }

    // A cashier with a queue, keyboard only: three scans each, then F12 and how
    // it is paid; the keys besides the scans are counted. Cash: F12, the amount
    // tendered ("20", two keys), Enter, and Enter for the sale-complete dialog.
    // WeChat: F12, F2, Enter (the amount due, untouched) and that Enter.
    void keyboardOnlySales_data() {
        QTest::addColumn<QStringList>("payment");
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("counted");
        QTest::newRow("cash") << QStringList{"20", "Enter"} << int(vorn::kPayCash) << 5;
        QTest::newRow("wechat") << QStringList{"F2", "Enter"} << int(vorn::kPayWeChat) << 4;
    }
    void keyboardOnlySales() {
        QFETCH(QStringList, payment);
        QFETCH(int, method);
        QFETCH(int, counted);
        FrameFixture f;
        QVERIFY(f.create());
        stockShop(f.frame->state());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        flush();
        CSaleView* page = openCounter(f);
        QVERIFY(page);
        // The ribbon's buttons show the counter's keys.
        QStringList shownKeys;
        for (const QLabel* k : f.frame->findChildren<QLabel*>(QStringLiteral("ribbonKey")))
            shownKeys << k->text();
        shownKeys.sort();
        QCOMPARE(shownKeys, (QStringList{"F2", "F3", "F4", "F5", "F7", "F8", "F9"}));
        f.frame->show();
        f.frame->activateWindow();
        page->inputPanel()->codeEdit()->setFocus();
        for (const char* code : {"6901234500017", "6906789000062", "6903456700031"})
            scanKeys(*page, QString::fromLatin1(code));
        QCOMPARE(page->list().totals().quantity, 3);
        QCOMPARE(page->outputPanel()->changeLabel()->text(), QStringLiteral("    应收: 12.0"));
        keys = 0;
        payKeys = payment;
        doneByKey = true;
        press(page->inputPanel()->codeEdit(), Qt::Key_F12);
        payKeys.clear();
        doneByKey = false;
        QCOMPARE(f.frame->statusText(), QStringLiteral("销售结算成功"));
        QCOMPARE(keys, counted);
        vorn::Journal journal(f.frame->state().core);
        std::vector<vorn::SaleRecord> sales;
        QCOMPARE(journal.select_sales({}, sales), 1);
        QCOMPARE(sales[0].due, int64_t(120));
        QCOMPARE(sales[0].methods, 1u << method);
        QCOMPARE(sales[0].change, method == vorn::kPayCash ? int64_t(80) : int64_t(0));
        // The next scan goes where the last one went.
        QCOMPARE(page->window()->focusWidget(), static_cast<QWidget*>(page->inputPanel()->codeEdit()));
    }

    void failuresGoToTheErrorBox() {
        FrameFixture f;
        QVERIFY(f.create());
        stockShop(f.frame->state());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        flush();
        CSaleView* page = openCounter(f);
        QVERIFY(page);
        scan(*page, QStringLiteral("690' OR ''='"));
        QCOMPARE(f.messages.shown,
                 QStringList{QStringLiteral("不存在编码为\"690' OR ''='\"的商品，请输入正确的商品编码。")});
        scan(*page, QStringLiteral("6904567800048"), 9);
        QCOMPARE(f.frame->statusText(),
                 QStringLiteral("商品\"6904567800048\"的库存数量为8，少于实际购买数量9，请重新调整购买数量"));
        QCOMPARE(page->inputPanel()->quantityEdit()->text(), QStringLiteral("8"));
        // A failed write leaves the list for a retry.
        scan(*page, QStringLiteral("6904567800048"), 8);
        f.frame->state().core.close();
        pay = QStringLiteral("300");
        page->checkout();
        QCOMPARE(f.messages.shown.last(),
                 QStringLiteral("未知异常导致商品\"销售结算\"失败，放弃该次\"销售结算\"操作。"));
        QCOMPARE(page->model()->rowCount(), 1);
        QCOMPARE(f.frame->state().core.open(), 0);
        page->checkout();
        QCOMPARE(f.frame->statusText(), QStringLiteral("销售结算成功"));
    }

    // The ribbon's commands over the counter hand the focus back to the code
    // edit, so the scan that follows each of them adds its goods.
    void theScanAfterRibbonCommands() {
        FrameFixture f;
        QVERIFY(f.create());
        stockShop(f.frame->state());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        flush();
        CSaleView* page = openCounter(f);
        QVERIFY(page);
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
        const auto scanKeys = [](const QString& code) {
            for (QChar c : code)
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
        scanKeys(QStringLiteral("6906789000062"));
        QCOMPARE(page->model()->rowCount(), 1);
        memberCode = QStringLiteral("VIP0088");
        rate = QStringLiteral("9");
        pay = QStringLiteral("100");
        const int commands[] = {cmd::MemberDiscount, cmd::GoodsDiscount, cmd::PrintReceipt};
        for (int id : commands) {
            if (id == cmd::PrintReceipt) {
                QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_Return, Qt::ControlModifier);
                QCOMPARE(f.frame->statusText(), QStringLiteral("销售结算成功"));
            }
            // The cashier clicked a row first: the list has the focus.
            page->table()->selectRow(0);
            page->table()->setFocus();
            f.frame->updateCommands();
            QVERIFY2(f.frame->isEnabled(id), qPrintable(QString::number(id)));
            f.frame->onCommand(id);
            QCOMPARE(QApplication::focusWidget(), page->inputPanel()->codeEdit());
            const int rows = page->model()->rowCount();
            scanKeys(QStringLiteral("6901234500017"));
            QCOMPARE(f.frame->statusText(), QStringLiteral("在购物列表中添加商品成功"));
            QCOMPARE(page->model()->rowCount(), rows + 1);
        }
    }

    void screenshot() {
        const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        if (dir.isEmpty()) QSKIP("VORN_SCREENSHOT_DIR not set");
        FrameFixture f;
        QVERIFY(f.create());
        stockShop(f.frame->state());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        flush();
        CSaleView* page = openCounter(f);
        QVERIFY(page);
        memberCode = QStringLiteral("VIP0088");
        f.frame->onCommand(cmd::MemberDiscount);
        scan(*page, QStringLiteral("6902345600024"));
        scan(*page, QStringLiteral("6903456700031"), 4);
        scan(*page, QStringLiteral("6905678900055"), 2);
        scan(*page, QStringLiteral("6906789000062"), 6);
        scan(*page, QStringLiteral("6904567800048"));
        page->table()->selectRow(2);
        rate = QStringLiteral("8.5");
        f.frame->onCommand(cmd::GoodsDiscount);
        page->table()->selectRow(4);
        page->inputPanel()->codeEdit()->setText(QStringLiteral("6901234500017"));
        settle(*f.frame);
        const QString file = QDir(dir).filePath(QStringLiteral("sale.png"));
        QVERIFY2(f.frame->grab().save(file), qPrintable(file));

        // The dialogs of the counter, for review.
        CPaymentDlg pay(*f.frame, page->list().totals().amount, f.frame.get());
        pay.edit()->setText(QStringLiteral("150"));
        CSaleVIPDlg vip(*f.frame, f.frame.get());
        vip.edit()->setText(QStringLiteral("VIP0088"));
        SaleList scratch;
        CSaleDiscountDlg discount(*f.frame, scratch, {}, f.frame.get());
        CSalePrintDlg done(f.frame.get());
        const std::pair<QDialog*, const char*> dialogs[] = {{&pay, "sale-payment.png"},
                                                            {&vip, "sale-member.png"},
                                                            {&discount, "sale-discount.png"},
                                                            {&done, "sale-done.png"}};
        for (auto [d, name] : dialogs) {
            d->show();
            settle(*d);
            const QString path = QDir(dir).filePath(QString::fromLatin1(name));
            QVERIFY2(d->grab().save(path), qPrintable(path));
            d->hide();
        }
    }
};

QTEST_MAIN(TestFrameSale)
#include "test_sale.moc"

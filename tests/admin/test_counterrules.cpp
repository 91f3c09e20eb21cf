// "收银设置": the float and the lowest rate as typed, the dialog's round trip
// through the store (saved, read back, unchanged, cancelled, refused input), the
// command for administrators and shop owners only, and its picture.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "counterrulesdlg.h"
#include "res/commandids.h"
#include "shopview.h"
#include "storefixture.h"
#include "vorn/shifts.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {
vorn::ShopRules stored(vorn::Core& core) {
    vorn::ShopRules r;
    if (vorn::Shifts(core).rules(r) != 1) r.usual_float = -1;
    return r;
}
} // namespace

class TestCounterRules : public QObject {
    Q_OBJECT
    StoreFixture fx;

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(vorn::Shifts(fx.core()).ensure_tables(), 0);
        fx.shell->st.currentUser.FUs_Name = "admin";
        fx.shell->st.currentUser.FUi_Auth = 0;
    }
    void cleanup() { fx.tearDown(); }

    void floatAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("tenths"); // -1: refused
        QTest::newRow("whole") << "200" << qint64(2000);
        QTest::newRow("one decimal") << "200.5" << qint64(2005);
        QTest::newRow("trailing point") << "12." << qint64(120);
        QTest::newRow("leading point") << ".5" << qint64(5);
        QTest::newRow("spaces") << " 3 " << qint64(30);
        QTest::newRow("zero") << "0" << qint64(0);
        QTest::newRow("largest") << "99999.9" << qint64(kMaxFloatTenths);
        QTest::newRow("too large") << "100000" << qint64(-1);
        QTest::newRow("two decimals") << "1.25" << qint64(-1);
        QTest::newRow("negative") << "-5" << qint64(-1);
        QTest::newRow("empty") << "" << qint64(-1);
        QTest::newRow("point alone") << "." << qint64(-1);
        QTest::newRow("letters") << "12元" << qint64(-1);
    }
    void floatAsTyped() {
        QFETCH(QString, typed);
        QFETCH(qint64, tenths);
        int64_t got = -7;
        QCOMPARE(parseFloatYuan(typed, got), tenths >= 0);
        QCOMPARE(got, tenths >= 0 ? tenths : -7);
        if (tenths >= 0) QCOMPARE(parseFloatYuan(floatText(tenths), got) && got == tenths, true);
    }

    void lowestRateAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("percent"); // -1: refused
        QTest::addColumn<QString>("shown");
        QTest::newRow("8折") << "8" << 80 << "8";
        QTest::newRow("8.5折") << "8.5" << 85 << "8.5";
        QTest::newRow("1折") << "1" << 10 << "1";
        QTest::newRow("10折") << "10" << 100 << "10";
        QTest::newRow("none") << "" << 0 << "";
        QTest::newRow("blank") << "  " << 0 << "";
        QTest::newRow("below 1") << "0.5" << -1 << "";
        QTest::newRow("above 10") << "11" << -1 << "";
        QTest::newRow("two decimals") << "8.55" << -1 << "";
        QTest::newRow("percent") << "80%" << -1 << "";
        QTest::newRow("word") << "八折" << -1 << "";
    }
    void lowestRateAsTyped() {
        QFETCH(QString, typed);
        QFETCH(int, percent);
        QFETCH(QString, shown);
        int got = -7;
        QCOMPARE(parseLowestRate(typed, got), percent >= 0);
        QCOMPARE(got, percent >= 0 ? percent : -7);
        if (percent >= 0) QCOMPARE(lowestRateText(percent), shown);
    }

    // Every field saved, the store read back into a new form.
    void roundTrip() {
        const vorn::ShopRules start = stored(fx.core());
        CCounterRulesDlg dlg(*fx.shell, start);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("收银设置"));
        QCOMPARE(dlg.floatEdit()->text(), QStringLiteral("0.0"));
        QVERIFY(dlg.rateEdit()->text().isEmpty());
        QVERIFY(dlg.specialCheck()->isChecked());
        QCOMPARE(dlg.afterSaleCombo()->count(), 3);
        dlg.floatEdit()->setText(QStringLiteral("300.5"));
        dlg.rateEdit()->setText(QStringLiteral("8.5"));
        dlg.specialCheck()->setChecked(false);
        dlg.afterSaleCombo()->setCurrentIndex(2);
        dlg.mergeCheck()->setChecked(true);
        dlg.sellShortCheck()->setChecked(true);
        QTest::keyClick(dlg.rateEdit(), Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(int(dlg.outcome()), int(CCounterRulesDlg::Outcome::Saved));

        const vorn::ShopRules back = stored(fx.core());
        QCOMPARE(back.usual_float, int64_t(3005));
        QCOMPARE(back.lowest_rate, 85);
        QCOMPARE(back.clerk_special, false);
        QCOMPARE(back.after_sale, vorn::kAfterSaleQuiet);
        QCOMPARE(back.merge_rows, true);
        QCOMPARE(back.sell_short, true);

        CCounterRulesDlg again(*fx.shell, back);
        QCOMPARE(again.floatEdit()->text(), QStringLiteral("300.5"));
        QCOMPARE(again.rateEdit()->text(), QStringLiteral("8.5"));
        QVERIFY(!again.specialCheck()->isChecked());
        QCOMPARE(again.afterSaleCombo()->currentData().toInt(), vorn::kAfterSaleQuiet);
        QVERIFY(again.mergeCheck()->isChecked() && again.sellShortCheck()->isChecked());
        // Emptied, the lowest rate limits nobody again.
        again.rateEdit()->clear();
        again.afterSaleCombo()->setCurrentIndex(1);
        again.save();
        QCOMPARE(stored(fx.core()).lowest_rate, 0);
        QCOMPARE(stored(fx.core()).after_sale, vorn::kAfterSalePrint);
        QCOMPARE(stored(fx.core()).usual_float, int64_t(3005));
    }

    void badInputRefused_data() {
        QTest::addColumn<QString>("floatText");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused"); // object name of the field given the focus
        const QString floatWrong = QStringLiteral("备用金应为0到99999.9元之间的金额，最多一位小数");
        const QString rateWrong =
            QStringLiteral("营业员最低折扣应为1到10之间的折数，最多一位小数(如8或8.5)；不限时请留空");
        QTest::newRow("float empty") << ""
                                     << "8" << floatWrong << "usualFloat";
        QTest::newRow("float negative") << "-1"
                                        << "8" << floatWrong << "usualFloat";
        QTest::newRow("float too fine") << "1.05"
                                        << "8" << floatWrong << "usualFloat";
        QTest::newRow("rate zero") << "100"
                                   << "0" << rateWrong << "lowestRate";
        QTest::newRow("rate as percent") << "100"
                                         << "80" << rateWrong << "lowestRate";
        QTest::newRow("both wrong: the float first") << "x"
                                                     << "x" << floatWrong << "usualFloat";
    }
    void badInputRefused() {
        QFETCH(QString, floatText);
        QFETCH(QString, rate);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        const vorn::ShopRules before = stored(fx.core());
        QWidget host;
        CCounterRulesDlg dlg(*fx.shell, before, &host);
        host.show();
        dlg.show();
        dlg.floatEdit()->setText(floatText);
        dlg.rateEdit()->setText(rate);
        dlg.setResult(-1);
        dlg.save();
        QCOMPARE(dlg.result(), -1); // still open
        QCOMPARE(int(dlg.outcome()), int(CCounterRulesDlg::Outcome::None));
        QCOMPARE(fx.shell->failures, QStringList{message});
        QCOMPARE(dlg.focusWidget() ? dlg.focusWidget()->objectName() : QString(), focused);
        QCOMPARE(stored(fx.core()).lowest_rate, before.lowest_rate);
        QCOMPARE(stored(fx.core()).usual_float, before.usual_float);
    }

    // The command through the page: status sentences of a save, an unchanged
    // form and a cancel; only administrators and shop owners reach it.
    void command_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("administrator") << QByteArray("admin") << 0 << true;
        QTest::newRow("owner") << QByteArray("owner") << 1 << true;
        QTest::newRow("salesperson") << QByteArray("seller") << 2 << false;
        QTest::newRow("nobody logged in") << QByteArray() << 0 << false;
    }
    void command() {
        QFETCH(QByteArray, name);
        QFETCH(int, role);
        QFETCH(bool, enabled);
        fx.shell->st.currentUser.FUs_Name = name.toStdString();
        fx.shell->st.currentUser.FUi_Auth = role;
        CShopView page(*fx.shell);
        std::function<void(CCounterRulesDlg&)> fill;
        int asked = 0;
        page.setDialogRunner([&](QDialog& d) {
            auto* dlg = qobject_cast<CCounterRulesDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            ++asked;
            if (fill) fill(*dlg);
            return dlg->result() == QDialog::Accepted ? dlg->result() : int(QDialog::Rejected);
        });
        QCOMPARE(page.isCommandEnabled(cmd::CounterRules), enabled);
        fill = [](CCounterRulesDlg& d) {
            d.floatEdit()->setText(QStringLiteral("150"));
            d.save();
        };
        QVERIFY(page.onCommand(cmd::CounterRules));
        QCOMPARE(asked, enabled ? 1 : 0);
        QCOMPARE(stored(fx.core()).usual_float, int64_t(enabled ? 1500 : 0));
        if (!enabled) return;
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功保存\"收银设置\"，对下一笔销售生效"));
        page.onCommand(cmd::CounterRules); // the same again
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未修改任何\"收银设置\""));
        fill = [](CCounterRulesDlg& d) { d.floatEdit()->setText(QStringLiteral("1")); };
        page.onCommand(cmd::CounterRules); // typed, then cancelled
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"收银设置\"操作"));
        QCOMPARE(stored(fx.core()).usual_float, int64_t(1500));
    }

    // The store that cannot be read or written is said so, and nothing opens or changes.
    void storeFailures() {
        CShopView page(*fx.shell);
        int asked = 0;
        page.setDialogRunner([&](QDialog& d) {
            ++asked;
            auto* dlg = qobject_cast<CCounterRulesDlg*>(&d);
            dlg->rateEdit()->setText(QStringLiteral("9"));
            fx.core().exec_sql("DROP TABLE Setting");
            dlg->save();
            return dlg->result();
        });
        page.onCommand(cmd::CounterRules);
        QCOMPARE(asked, 1);
        QCOMPARE(fx.shell->failures.size(), 1);
        QVERIFY2(fx.shell->failures[0].startsWith(QStringLiteral("未知异常导致\"收银设置\"保存失败")),
                 qPrintable(fx.shell->failures[0]));
        page.onCommand(cmd::CounterRules);
        QCOMPARE(asked, 1);
        QCOMPARE(fx.shell->failures.size(), 2);
        QVERIFY(fx.shell->failures[1].startsWith(QStringLiteral("未知异常导致\"收银设置\"读取失败")));
    }

    // A look at the dialog as the owner sees it: written to /tmp for review.
    void picture() {
        vorn::ShopRules r;
        r.usual_float = 2000;
        r.lowest_rate = 80;
        r.clerk_special = false;
        r.merge_rows = true;
        CCounterRulesDlg dlg(*fx.shell, r);
        dlg.show();
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        // No field squeezed below what its text needs.
        for (QWidget* w : dlg.findChildren<QWidget*>())
            if (w->isVisible() && !w->inherits("QLabel") && !w->inherits("QGroupBox"))
                QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(w->objectName()));
        QVERIFY(dlg.grab().save(QStringLiteral("/tmp/vorn-counterrules.png")));
    }
};

QTEST_MAIN(TestCounterRules)
#include "test_counterrules.moc"

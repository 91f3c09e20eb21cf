// The stock alarm: which codes are low, when the button blinks, and the alarm
// dialog with its list and its limit.
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "goodsfixture.h"
#include "kit/text/gbk.h"
#include "kit/remind/reminder.h"
#include "res/commandids.h"
#include "salealarmdlg.h"
#include "stockalarm.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

QStringList rowTexts(const QTableWidget* list, int row) {
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->item(row, c)->text();
    return out;
}

} // namespace

class TestStockAlarm : public QObject {
    Q_OBJECT

    GoodsFixture fx;

    // n units of a code, the first `sold` of them sold.
    void addUnits(const std::string& code, const QString& name, int n, int sold = 0) {
        std::vector<vorn::SRec> units;
        for (int i = 0; i < n; ++i) {
            vorn::SRec u = GoodsFixture::unit(code, 2.0, 3.0);
            u.FSs_Name = gbk(name);
            if (i < sold) {
                u.FSi_Flag = 1;
                u.FSd_ReaP = 3.0;
                u.FSt_SalT = 1331100000;
            }
            units.push_back(u);
        }
        QCOMPARE(fx.core().insert_srec(units.data(), n), n);
    }

    // The alarm as the main window holds it, on and with this limit.
    std::unique_ptr<BlinkingReminder> makeAlarm(int limit) {
        auto alarm = std::make_unique<BlinkingReminder>(std::make_unique<StockAlarmSource>());
        alarm->setEnabled(true);
        alarm->setLimit(limit);
        return alarm;
    }

    StockAlarmSource& sourceOf(BlinkingReminder& alarm) {
        return dynamic_cast<StockAlarmSource&>(alarm.source());
    }

private slots:
    void init() {
        fx.setUp();
        addUnits("A1", QStringLiteral("康源矿泉水"), 3);
        addUnits("B2", QStringLiteral("金穗大米"), 7);
        addUnits("C3", QStringLiteral("鲜乐酸奶"), 4, 4); // all sold
        addUnits("D4", QStringLiteral("百味薯片"), 6, 4); // 2 left
    }
    void cleanup() { fx.tearDown(); }

    void checkCountsCodesWithStockBelowTheLimit() {
        auto alarm = makeAlarm(5);
        alarm->check(fx.core(), true);
        // A1 (3) and D4 (2 left); B2 has 7, C3 none in stock and so never counts.
        QCOMPARE(alarm->count(), 2);
        QCOMPARE(alarm->blink(), 1);
        QVERIFY(alarm->timerActive());
        // A second check while blinking leaves the blinking running as it is.
        alarm->check(fx.core(), true);
        QCOMPARE(alarm->blink(), 1);

        // A limit of 1 or below: every code in stock has at least one unit.
        for (int limit : {1, 0, -3}) {
            alarm->setLimit(limit);
            alarm->check(fx.core(), true);
            QCOMPARE(alarm->count(), 0);
            QCOMPARE(alarm->blink(), 0);
            QVERIFY(!alarm->timerActive());
        }
        alarm->setLimit(8);
        alarm->check(fx.core(), true);
        QCOMPARE(alarm->count(), 3);
        QVERIFY(alarm->blinking());
    }

    void failedCountStopsTheBlinking() {
        auto alarm = makeAlarm(5);
        alarm->check(fx.core(), true);
        QVERIFY(alarm->blinking());
        QCOMPARE(fx.core().exec_sql("ALTER TABLE Store RENAME TO Store_gone;"), 0);
        alarm->check(fx.core(), true);
        QCOMPARE(alarm->count(), -1);
        QCOMPARE(alarm->blink(), 0);
        QVERIFY(!alarm->timerActive());
    }

    void storedSettingsAreRead() {
        fx.core().set_run_alarm(true);
        fx.core().set_alarm_limit(12);
        BlinkingReminder alarm(std::make_unique<StockAlarmSource>());
        alarm.load(fx.core());
        QVERIFY(alarm.enabled());
        QCOMPARE(alarm.limit(), 12);
        QCOMPARE(alarm.toggleCommand(), vorn::ui::cmd::RunAlarm);
        QCOMPARE(alarm.buttonCommand(), vorn::ui::cmd::Alarm);
        QCOMPARE(alarm.source().toggledText(true), QStringLiteral("启用商品库存报警"));
        QCOMPARE(alarm.source().toggledText(false), QStringLiteral("关闭商品库存报警"));
    }

    void dialogListsTheLowCodes() {
        CSaleAlarmDlg dlg(*fx.shell, 2, 5);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("库存报警"));
        QTableWidget* list = dlg.list();
        QCOMPARE(list->objectName(), QStringLiteral("alarmList"));
        const QStringList captions{QStringLiteral("商品编码"), QStringLiteral("商品名称"),
                                   QStringLiteral("数量")};
        const int widths[] = {128, 192, 64};
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(list->horizontalHeaderItem(c)->text(), captions[c]);
            QCOMPARE(list->horizontalHeader()->sectionSize(c), widths[c]);
        }
        QVERIFY(!list->horizontalHeader()->sectionsMovable());
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        // In the order of the query: grouped by code.
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(rowTexts(list, 0), (QStringList{"A1", QStringLiteral("康源矿泉水"), "3"}));
        QCOMPARE(rowTexts(list, 1), (QStringList{"D4", QStringLiteral("百味薯片"), "2"}));
        QVERIFY(list->item(0, 2)->textAlignment() & Qt::AlignRight);
        QVERIFY(list->item(0, 0)->textAlignment() & Qt::AlignLeft);

        QCOMPARE(dlg.limitEdit()->text(), QStringLiteral("5"));
        QCOMPARE(dlg.limitEdit()->selectedText(), QStringLiteral("5"));
        QCOMPARE(dlg.limitEdit()->maxLength(), 12);
        QVERIFY(dlg.limitEdit()->alignment() & Qt::AlignRight);
    }

    void dialogListsEveryRowTheQueryReturns() {
        // The count handed over is a hint only: a code that fell low since the
        // last check is listed too, and a count of 0 leaves the list empty.
        CSaleAlarmDlg stale(*fx.shell, 1, 8);
        QCOMPARE(stale.list()->rowCount(), 3);
        QCOMPARE(rowTexts(stale.list(), 1), (QStringList{"B2", QStringLiteral("金穗大米"), "7"}));
        CSaleAlarmDlg none(*fx.shell, 0, 8);
        QCOMPARE(none.list()->rowCount(), 0);
        CSaleAlarmDlg failed(*fx.shell, -1, 8);
        QCOMPARE(failed.list()->rowCount(), 0);
    }

    void savingStoresAnyInteger() {
        for (const char* typed : {"8", " 12 ", "-3", "0", "2147483647"}) {
            CSaleAlarmDlg dlg(*fx.shell, 2, 5);
            dlg.limitEdit()->setText(QString::fromLatin1(typed));
            dlg.save();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            const int expected = QString::fromLatin1(typed).trimmed().toInt();
            QCOMPARE(dlg.limit(), expected);
            QCOMPARE(fx.core().get_alarm_limit(), expected);
        }
        QVERIFY(fx.boxes.shown.isEmpty());
    }

    void savingRefusesTextThatIsNoInteger() {
        fx.core().set_alarm_limit(5);
        for (const char* typed : {"", "abc", "5x", "1.5", "99999999999"}) {
            CSaleAlarmDlg dlg(*fx.shell, 2, 5);
            dlg.show();
            dlg.limitEdit()->setText(QString::fromLatin1(typed));
            dlg.save();
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.result(), 0);
            QCOMPARE(dlg.limit(), 5);
            QCOMPARE(dlg.limitEdit()->selectedText(), QString::fromLatin1(typed));
        }
        QCOMPARE(fx.core().get_alarm_limit(), 5);
        QCOMPARE(fx.boxes.shown.size(), 5);
        QCOMPARE(fx.boxes.shown.first(), QStringLiteral("请输入一个整数。"));
        QVERIFY(fx.shell->statuses.isEmpty());
    }

    void enterSavesAndEscapeIsIgnored() {
        CSaleAlarmDlg dlg(*fx.shell, 2, 5);
        dlg.show();
        QTest::keyClick(dlg.limitEdit(), Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        dlg.limitEdit()->setText(QStringLiteral("9"));
        QTest::keyClick(dlg.list(), Qt::Key_Return);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(fx.core().get_alarm_limit(), 9);
    }

    void buttonOpensTheDialogWithTheLastCount() {
        auto alarm = makeAlarm(5);
        alarm->check(fx.core(), true);
        int handedRows = -1;
        sourceOf(*alarm).setDialogRunner([&](QDialog& d) {
            auto& dlg = dynamic_cast<CSaleAlarmDlg&>(d);
            handedRows = dlg.list()->rowCount();
            dlg.limitEdit()->setText(QStringLiteral("3"));
            dlg.save();
            return dlg.result();
        });
        alarm->source().openDialog(*fx.shell, *alarm);
        QCOMPARE(handedRows, 2);
        QCOMPARE(alarm->limit(), 3);
        QCOMPARE(fx.core().get_alarm_limit(), 3);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("修改商品库存报警下限"));

        // Closed without saving: no message, nothing changed.
        fx.shell->statuses.clear();
        sourceOf(*alarm).setDialogRunner([](QDialog& d) {
            auto& dlg = dynamic_cast<CSaleAlarmDlg&>(d);
            dlg.limitEdit()->setText(QStringLiteral("40"));
            dlg.reject();
            return dlg.result();
        });
        alarm->source().openDialog(*fx.shell, *alarm);
        QCOMPARE(alarm->limit(), 3);
        QCOMPARE(fx.core().get_alarm_limit(), 3);
        QVERIFY(fx.shell->statuses.isEmpty());
    }
};

QTEST_MAIN(TestStockAlarm)
#include "test_stockalarm.moc"

// The stock alarm: which codes are low, when the button blinks, and the alarm
// dialog with its list and its limit.
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "goodsfixture.h"
#include "kit/text/gbk.h"
#include "kit/remind/reminder.h"
#include "kit/sheet/sheetwriter.h"
#include "res/commandids.h"
#include "salealarmdlg.h"
#include "stockalarm.h"
#include "vorn/alarmlimits.h"

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

    QString supplierName(int id) {
        std::vector<vorn::SPRec> all(static_cast<size_t>(fx.core().get_sprec_count(nullptr)));
        fx.core().select_sprec(all.data(), nullptr);
        for (const vorn::SPRec& s : all)
            if (s.FSPi_Id == id) return fromGbk(s.FSPs_Name);
        return {};
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
        // A1 (3), D4 (2 left) and C3 (sold out, 0 left); B2 has 7.
        QCOMPARE(alarm->count(), 3);
        QCOMPARE(alarm->blink(), 1);
        QVERIFY(alarm->timerActive());
        // A second check while blinking leaves the blinking running as it is.
        alarm->check(fx.core(), true);
        QCOMPARE(alarm->blink(), 1);

        // A limit of 1 leaves only the sold-out code; 0 or below, nothing.
        const struct {
            int limit, count;
        } cases[] = {{1, 1}, {0, 0}, {-3, 0}, {8, 4}};
        for (const auto& c : cases) {
            alarm->setLimit(c.limit);
            alarm->check(fx.core(), true);
            QCOMPARE(alarm->count(), c.count);
            QCOMPARE(alarm->blinking(), c.count > 0);
            QCOMPARE(alarm->timerActive(), c.count > 0);
        }
    }

    void ownLimitOfACodeWinsOverTheShopLimit() {
        auto alarm = makeAlarm(5);
        vorn::AlarmLimits limits(fx.core());
        QVERIFY(limits.set("B2", 10)); // 7 in stock: now low
        QVERIFY(limits.set("A1", 2));  // 3 in stock: no longer low
        alarm->check(fx.core(), true);
        QCOMPARE(alarm->count(), 3); // B2, C3, D4
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
        const QStringList captions{QStringLiteral("商品编码"), QStringLiteral("商品名称"), QStringLiteral("供应商"),
                                   QStringLiteral("数量"), QStringLiteral("下限")};
        QCOMPARE(list->columnCount(), captions.size());
        for (int c = 0; c < captions.size(); ++c)
            QCOMPARE(list->horizontalHeaderItem(c)->text(), captions[c]);
        QVERIFY(!list->horizontalHeader()->sectionsMovable());
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        // By supplier, then code; the sold-out C3 with 0 left.
        const QString supplier = supplierName(1);
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(rowTexts(list, 0), (QStringList{"A1", QStringLiteral("康源矿泉水"), supplier, "3", "5"}));
        QCOMPARE(rowTexts(list, 1), (QStringList{"C3", QStringLiteral("鲜乐酸奶"), supplier, "0", "5"}));
        QCOMPARE(rowTexts(list, 2), (QStringList{"D4", QStringLiteral("百味薯片"), supplier, "2", "5"}));
        QVERIFY(list->item(0, 3)->textAlignment() & Qt::AlignRight);
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
        QCOMPARE(stale.list()->rowCount(), 4);
        QCOMPARE(rowTexts(stale.list(), 1), (QStringList{"B2", QStringLiteral("金穗大米"), supplierName(1), "7", "8"}));
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
        QCOMPARE(handedRows, 3);
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

    void dialogGivesTheChosenCodeItsOwnLimit() {
        CSaleAlarmDlg dlg(*fx.shell, 3, 5);
        // Nothing chosen: nothing changes.
        dlg.setOwnLimit();
        dlg.clearOwnLimit();
        QCOMPARE(fx.shell->statuses, (QStringList{QStringLiteral("未选择任何商品，未设定单品报警下限"),
                                                  QStringLiteral("未选择任何商品，未恢复统一报警下限")}));
        dlg.list()->setCurrentCell(0, 0); // A1, 3 in stock
        QCOMPARE(dlg.ownLimitEdit()->text(), QStringLiteral("5"));
        const struct {
            const char* typed;
            int rows;           // listed after the change
            const char* shown;  // A1's limit cell, empty when no longer listed
        } cases[] = {{"9", 3, "单品 9"}, {"2", 2, ""}};
        for (const auto& c : cases) {
            dlg.list()->setCurrentCell(0, 0);
            dlg.ownLimitEdit()->setText(QString::fromLatin1(c.typed));
            const QString code = dlg.list()->item(0, 0)->text();
            dlg.setOwnLimit();
            QCOMPARE(fx.shell->statusText(), QStringLiteral("成功设定商品\"%1\"的报警下限为%2").arg(code, c.typed));
            QCOMPARE(dlg.list()->rowCount(), c.rows);
            const bool listed = rowTexts(dlg.list(), 0).first() == "A1";
            QCOMPARE(listed, *c.shown != 0);
            if (listed) QCOMPARE(dlg.list()->item(0, 4)->text(), QString::fromUtf8(c.shown));
        }
        std::vector<vorn::AlarmLimitRec> own;
        QCOMPARE(vorn::AlarmLimits(fx.core()).select(own), 1);
        QCOMPARE(own[0].limit, 2);

        // Text that is no integer is refused and nothing is stored.
        dlg.ownLimitEdit()->setText(QStringLiteral("x1"));
        dlg.setOwnLimit();
        QCOMPARE(fx.boxes.shown.size(), 1);
        QCOMPARE(vorn::AlarmLimits(fx.core()).select(own), 1);
        QCOMPARE(own[0].limit, 2);

        // Cleared again, A1 is below the shop's 5 again.
        vorn::AlarmLimits(fx.core()).set("A1", 9);
        dlg.reload();
        dlg.list()->setCurrentCell(0, 0);
        dlg.clearOwnLimit();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功恢复商品\"A1\"的统一报警下限"));
        QCOMPARE(vorn::AlarmLimits(fx.core()).select(own), 0);
        QCOMPARE(dlg.list()->item(0, 4)->text(), QStringLiteral("5"));
    }

    void purchaseListGroupsBySupplier() {
        auto line = [](const char* code, const char* supplier, int in, int limit) {
            vorn::AlarmLine l;
            l.code = code;
            l.name = gbk(QStringLiteral("品") + QString::fromLatin1(code));
            l.supplier_name = gbk(QString::fromUtf8(supplier));
            l.in_stock = in;
            l.limit = limit;
            return l;
        };
        // Out of supplier order on purpose: the list still groups.
        const std::vector<vorn::AlarmLine> low{line("A", "海天", 2, 5), line("B", "清泉", 0, 3),
                                               line("C", "海天", 0, 4), line("D", "", 3, 2)};
        const auto rows = purchaseListRows(low);
        // Per supplier: its line, its codes (to order: limit - stock, at least 1), its sum.
        const struct {
            QString first, second;
            double order; // last cell, -1 for none
        } want[] = {
            {QStringLiteral("海天"), {}, -1},    {QStringLiteral("海天"), "A", 3},
            {QStringLiteral("海天"), "C", 4},    {QStringLiteral("海天"), QStringLiteral("合计"), 7},
            {QStringLiteral("清泉"), {}, -1},    {QStringLiteral("清泉"), "B", 3},
            {QStringLiteral("清泉"), QStringLiteral("合计"), 3},
            {QStringLiteral("未指定"), {}, -1}, {QStringLiteral("未指定"), "D", 1},
            {QStringLiteral("未指定"), QStringLiteral("合计"), 1},
        };
        QCOMPARE(rows.size(), std::size(want));
        for (size_t i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i][0].text, want[i].first);
            if (want[i].order < 0) {
                QCOMPARE(rows[i].size(), size_t(1));
                continue;
            }
            QCOMPARE(rows[i].size(), size_t(purchaseListHeadings().size()));
            QCOMPARE(rows[i][1].text, want[i].second);
            QCOMPARE(rows[i].back().number, want[i].order);
        }
    }

    void purchaseListExportsToAFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("buy.csv"));
        setExportPathPrompt([&](QWidget*, const QString& title, const QString&) {
            return title == QStringLiteral("导出补货单") ? path : QString();
        });
        CSaleAlarmDlg dlg(*fx.shell, 3, 5);
        dlg.exportPurchaseList();
        setExportPathPrompt({});
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        // Heading, the supplier's line, A1 C3 D4, its sum.
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[0].startsWith(QStringLiteral("供应商,商品编码")));
        QVERIFY(lines[3].contains(QStringLiteral("C3,鲜乐酸奶,0,5,5")));
        QVERIFY(lines[5].endsWith(QStringLiteral("合计,,,,10")));
        QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("已导出3条补货单记录")));
    }
};

QTEST_MAIN(TestStockAlarm)
#include "test_stockalarm.moc"

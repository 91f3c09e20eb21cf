// The reminder dialog the blinking reminders share, driven by a view of its own:
// the rows are read only when the last check found something, bold rows stay
// bold, and the limit goes through the view's rule before it is stored.
#include <QFont>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

#include "kit/remind/reminderdlg.h"
#include "storefixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

struct Calls {
    int reads = 0;
    std::vector<int> readLimits;
    std::vector<int> stored;
};

ReminderView view(Calls& calls, bool grid) {
    ReminderView v;
    v.objectName = QStringLiteral("testReminder");
    v.title = QStringLiteral("测试提醒");
    v.listName = QStringLiteral("testList");
    v.before = QStringLiteral("少于");
    v.after = QStringLiteral("时提醒");
    v.columns = {{QStringLiteral("编号"), 70, Qt::AlignLeft | Qt::AlignVCenter},
                 {QStringLiteral("数量"), 50, Qt::AlignRight | Qt::AlignVCenter}};
    v.limitChars = 3;
    v.editWidth = 40;
    v.gridLines = grid;
    v.rows = [&calls](vorn::Core&, int limit) {
        ++calls.reads;
        calls.readLimits.push_back(limit);
        return std::vector<ReminderRow>{{{QStringLiteral("A"), QString::number(limit)}, false},
                                        {{QStringLiteral("B"), QStringLiteral("1")}, true}};
    };
    v.refusal = [](int limit) { return limit > 50 ? QStringLiteral("至多50") : QString(); };
    // 13 stands for a limit the store does not take (a full disk).
    v.store = [&calls](vorn::Core&, int limit) {
        if (limit == 13) return false;
        calls.stored.push_back(limit);
        return true;
    };
    v.storeFailure = QStringLiteral("未知异常导致\"测试提醒\"设置失败，放弃该次\"设置\"操作");
    return v;
}

} // namespace

class TestReminderDlg : public QObject {
    Q_OBJECT

    StoreFixture fx;

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void rowsOnlyAfterACount_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("rows");
        QTest::newRow("something to remind of") << 2 << 2;
        QTest::newRow("nothing") << 0 << 0;
        QTest::newRow("failed check") << -1 << 0;
    }
    void rowsOnlyAfterACount() {
        QFETCH(int, count);
        QFETCH(int, rows);
        Calls calls;
        CReminderDlg dlg(*fx.shell, view(calls, true), count, 7);
        QCOMPARE(dlg.objectName(), QStringLiteral("testReminder"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("测试提醒"));
        QCOMPARE(dlg.list()->objectName(), QStringLiteral("testList"));
        QCOMPARE(dlg.list()->columnCount(), 2);
        QCOMPARE(dlg.list()->horizontalHeaderItem(1)->text(), QStringLiteral("数量"));
        QCOMPARE(dlg.list()->rowCount(), rows);
        QCOMPARE(calls.reads, rows > 0 ? 1 : 0);
        if (rows == 0) return;
        QCOMPARE(calls.readLimits, std::vector<int>{7});
        QCOMPARE(dlg.list()->item(0, 1)->text(), QStringLiteral("7"));
        QVERIFY(dlg.list()->item(0, 1)->textAlignment() & Qt::AlignRight);
        QVERIFY(!dlg.list()->item(0, 0)->font().bold());
        QVERIFY(dlg.list()->item(1, 0)->font().bold() && dlg.list()->item(1, 1)->font().bold());
    }

    void gridOrColumnLines() {
        Calls calls;
        for (bool grid : {true, false}) {
            CReminderDlg dlg(*fx.shell, view(calls, grid), 0, 1);
            QCOMPARE(dlg.list()->showGrid(), grid);
        }
    }

    void limitEditShowsAStoredLimitWhole() {
        Calls calls;
        CReminderDlg dlg(*fx.shell, view(calls, true), 0, 123456);
        QCOMPARE(dlg.limitEdit()->text(), QStringLiteral("123456"));
        QCOMPARE(dlg.limitEdit()->maxLength(), 6);
        QCOMPARE(CReminderDlg(*fx.shell, view(calls, true), 0, 5).limitEdit()->maxLength(), 3);
    }

    void savingGoesThroughTheRule_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("failure"); // reported through the shell
        QTest::addColumn<int>("boxes");       // "请输入一个整数" boxes
        QTest::newRow("allowed") << QStringLiteral(" 12 ") << true << QString() << 0;
        QTest::newRow("at the rule's end") << QStringLiteral("50") << true << QString() << 0;
        QTest::newRow("refused by the rule") << QStringLiteral("51") << false << QStringLiteral("至多50") << 0;
        QTest::newRow("not stored") << QStringLiteral("13") << false
                                    << QStringLiteral("未知异常导致\"测试提醒\"设置失败，放弃该次\"设置\"操作") << 0;
        QTest::newRow("no integer") << QStringLiteral("1.5") << false << QString() << 1;
    }
    void savingGoesThroughTheRule() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, failure);
        QFETCH(int, boxes);
        Calls calls;
        CReminderDlg dlg(*fx.shell, view(calls, true), 0, 5);
        dlg.show();
        dlg.limitEdit()->setText(typed);
        QTest::keyClick(dlg.limitEdit(), Qt::Key_Return);
        QCOMPARE(dlg.result(), accepted ? int(QDialog::Accepted) : 0);
        QCOMPARE(dlg.isVisible(), !accepted);
        const int value = typed.trimmed().toInt();
        QCOMPARE(dlg.limit(), accepted ? value : 5);
        QCOMPARE(calls.stored, accepted ? std::vector<int>{value} : std::vector<int>{});
        QCOMPARE(fx.shell->failures, failure.isEmpty() ? QStringList() : QStringList{failure});
        QCOMPARE(static_cast<int>(fx.boxes.shown.size()), boxes);
        if (!accepted) QCOMPARE(dlg.limitEdit()->selectedText(), typed);
    }

    void escapeDoesNotClose() {
        Calls calls;
        CReminderDlg dlg(*fx.shell, view(calls, true), 0, 5);
        dlg.show();
        QTest::keyClick(dlg.list(), Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        QVERIFY(calls.stored.empty());
    }
};

QTEST_MAIN(TestReminderDlg)
#include "test_reminderdlg.moc"

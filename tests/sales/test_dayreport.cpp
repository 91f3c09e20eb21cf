// 日结 and 班次记录 from the journal tab: a day of two cashiers' shifts in the
// dialog, on paper and in the exported sheet; who may see a day; the list of
// past shifts grouped by day opening a shift's 交班单 or a day's 日结. The
// dialogs are looked at.
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QtTest>

#include "dayreportdlg.h"
#include "kit/page/appstate.h"
#include "kit/print/escpos.h"
#include "kit/sheet/sheetwriter.h"
#include "kit/text/clock.h"
#include "pastshiftsdlg.h"
#include "pricing.h"
#include "salecounter.h"
#include "salefixture.h"
#include "shiftsheet.h"
#include "vorn/journal.h"
#include "vorn/shifts.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

const QDate kDay(2026, 12, 7);
int64_t at(int h, int m, QDate d = kDay) {
    return QDateTime(d, QTime(h, m)).toSecsSinceEpoch();
}

} // namespace

class TestDayReport : public QObject {
    Q_OBJECT

    SaleFixture fx;

    bool sell(const std::string& cashier, int64_t when, const std::string& code, std::vector<vorn::Payment> pay) {
        SaleList list;
        if (addToList(fx.core(), list, code, 1, kNoMember, fx.shell().st.types).status != AddStatus::Added)
            return false;
        SaleParty party;
        party.cashier = cashier;
        party.payments = std::move(pay);
        std::vector<ReceiptLine> lines;
        return writeSale(fx.core(), list, when, party, 0, lines).sold == 1;
    }

    // admin 09:00-13:00, float 50.0: 10.0 in cash, counted 59.0 (short 1.0).
    // bob 13:00-, float 50.0: 20.0 by 支付宝 and 30.0 in cash, still open.
    // The day before: a sale of admin's that the day must not count.
    void twoCashiers() {
        vorn::ShopRules rules;
        rules.usual_float = 500;
        vorn::Shifts shifts(fx.core());
        QCOMPARE(shifts.set_rules(rules), 1);
        fx.stock("A", 2, 10.0);
        fx.stock("B", 1, 20.0);
        fx.stock("C", 1, 30.0);
        QVERIFY(sell("admin", at(18, 0, kDay.addDays(-1)), "A", {{vorn::kPayCash, 100}}));
        QVERIFY(shifts.close_shift(shifts.current_shift("admin"), 600, at(19, 0, kDay.addDays(-1))) == 1);
        QVERIFY(sell("admin", at(9, 0), "A", {{vorn::kPayCash, 100}}));
        QCOMPARE(shifts.close_shift(shifts.current_shift("admin"), 590, at(13, 0)), 1);
        QVERIFY(sell("bob", at(13, 0), "B", {{vorn::kPayAlipay, 200}}));
        QVERIFY(sell("bob", at(14, 0), "C", {{vorn::kPayCash, 300}}));
    }

    void asUser(const char* name, int auth) {
        fx.shell().st.currentUser.FUs_Name = name;
        fx.shell().st.currentUser.FUi_Auth = auth;
    }

private slots:
    void init() {
        fx.setUp();
        setNowForTests(at(20, 0));
    }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    void dayOverTwoCashiers() {
        twoCashiers();
        CDayReportDlg dlg(fx.shell(), kDay);
        QVERIFY(dlg.loaded());
        QCOMPARE(int(dlg.day().shifts.size()), 2);
        QCOMPARE(dlg.day().open_shifts, 1);
        const vorn::ShiftFigures& f = dlg.day().figures;
        QCOMPARE(f.sales, 3);
        QCOMPARE(f.sales_amount, int64_t(600));
        QCOMPARE(f.by_method[vorn::kPayCash], int64_t(400));
        QCOMPARE(f.by_method[vorn::kPayAlipay], int64_t(200));
        QCOMPARE(f.cash_float, int64_t(1000));
        QCOMPARE(f.expected, int64_t(1400));
        const QStringList lines = dlg.text()->plainText().split(QLatin1Char('\n'));
        const int w = kSheetScreenWidth;
        auto pair = [w](const QString& l, const QString& v) {
            return l + QString(w - escPosCells(l) - escPosCells(v), QLatin1Char(' ')) + v;
        };
        for (const QString& want :
             {QStringLiteral("日结单"), pair(QStringLiteral("日期"), QStringLiteral("2026-12-07")),
              pair(QStringLiteral("班次"), QStringLiteral("2个(未交班1个)")),
              pair(QStringLiteral("admin"), QStringLiteral("09:00-13:00")),
              pair(QStringLiteral("  应有60.0"), QStringLiteral("实点59.0 短款 1.0元")),
              pair(QStringLiteral("bob"), QStringLiteral("13:00-")),
              pair(QStringLiteral("  应有80.0"), QStringLiteral("未交班")),
              pair(QStringLiteral("销售"), QStringLiteral("3笔 3件")), pair(QStringLiteral("支付宝"), QStringLiteral("20.0")),
              pair(QStringLiteral("应有现金"), QStringLiteral("140.0")),
              pair(QStringLiteral("实点现金"), QStringLiteral("未交班")),
              pair(QStringLiteral("报损"), QStringLiteral("0件 成本0.0"))})
            QVERIFY2(lines.contains(want), qPrintable(want + QStringLiteral("\n--\n") + lines.join('\n')));

        // Another day in the dialog: only the evening sale and its shift.
        dlg.dateEdit()->setDate(kDay.addDays(-1));
        QCOMPARE(dlg.day().figures.sales, 1);
        QCOMPARE(dlg.day().open_shifts, 0);
        QVERIFY(dlg.text()->plainText().contains(QStringLiteral("无差额")));
    }

    void dayExported() {
        twoCashiers();
        vorn::DayReport day;
        std::vector<vorn::ShiftReport> reports;
        QCOMPARE(loadDay(fx.core(), 20261207, day, reports), 1);
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("day.csv"));
        QString error;
        QVERIFY2(writeDaySheet(path, day, reports, {}, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList rows = QString::fromUtf8(f.readAll()).remove(QChar(0xfeff)).split(QStringLiteral("\r\n"),
                                                                                     Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0], daySheetHeadings().join(QLatin1Char(',')));
        const QStringList headings = daySheetHeadings();
        const int amount = int(headings.indexOf(QStringLiteral("销售金额(元)")));
        const int counted = int(headings.indexOf(QStringLiteral("实点现金(元)")));
        const int difference = int(headings.indexOf(QStringLiteral("差额(元)")));
        struct Want {
            QString who, amount, counted, difference;
        };
        const Want want[] = {{QStringLiteral("admin"), QStringLiteral("10.0"), QStringLiteral("59.0"), QStringLiteral("-1.0")},
                             {QStringLiteral("bob"), QStringLiteral("50.0"), QString(), QString()},
                             {QString(), QStringLiteral("60.0"), QString(), QString()}};
        for (int i = 0; i < 3; ++i) {
            const QStringList cells = rows[i + 1].split(QLatin1Char(','));
            QCOMPARE(cells.size(), headings.size());
            QCOMPARE(cells[1], want[i].who);
            QCOMPARE(cells[amount], want[i].amount);
            QCOMPARE(cells[counted], want[i].counted);
            QCOMPARE(cells[difference], want[i].difference);
        }
        QCOMPARE(rows[3].section(QLatin1Char(','), 0, 0), QStringLiteral("全天"));
    }

    void dayPrintedAsPdf() {
        twoCashiers();
        CDayReportDlg dlg(fx.shell(), kDay);
        dlg.onPrint();
        const QString status = fx.shell().statusText();
        QVERIFY2(status.startsWith(QStringLiteral("成功打印2026-12-07的日结单：日结单已保存为PDF文件")), qPrintable(status));
        const QString path = status.section(QLatin1Char('"'), 1, 1);
        QFile f(path);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY(f.read(4) == "%PDF");
    }

    void whoMayCashUp_data() {
        QTest::addColumn<int>("auth");
        QTest::addColumn<bool>("may");
        QTest::newRow("administrator") << 0 << true;
        QTest::newRow("shop owner") << 1 << true;
        QTest::newRow("salesperson") << 2 << false;
    }
    void whoMayCashUp() {
        QFETCH(int, auth);
        QFETCH(bool, may);
        twoCashiers();
        asUser("bob", auth);
        QCOMPARE(mayCashUpDay(fx.shell()), may);
        int shown = 0;
        dayCashUp(fx.shell(), [&](QDialog&) { return ++shown, int(QDialog::Rejected); });
        QCOMPARE(shown, may ? 1 : 0);
        const QString s = fx.shell().statusText();
        QVERIFY2(may ? s == QStringLiteral("成功查看2026-12-07的日结")
                     : s.startsWith(QStringLiteral("未")) && s.contains(QStringLiteral("任何")),
                 qPrintable(s));
    }

    void pastShiftsByDay() {
        twoCashiers();
        QStringList opened;
        CPastShiftsDlg dlg(fx.shell(), kDay.addDays(-6), kDay, [&](QDialog& d) {
            opened << d.metaObject()->className();
            return int(QDialog::Rejected);
        });
        QVERIFY(dlg.loaded());
        QTreeWidget* tree = dlg.tree();
        // Newest day first, its shifts in order.
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* today = tree->topLevelItem(0);
        QCOMPARE(today->text(0), QStringLiteral("2026-12-07  2个班次"));
        QCOMPARE(today->childCount(), 2);
        const QStringList first{QStringLiteral("admin"), QStringLiteral("09:00"), QStringLiteral("13:00"),
                                QStringLiteral("50.0"), QStringLiteral("59.0")};
        for (int c = 0; c < first.size(); ++c)
            QCOMPARE(today->child(0)->text(c), first[c]);
        QCOMPARE(today->child(1)->text(2), QStringLiteral("未交班"));
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("2026-12-06  1个班次"));

        tree->setCurrentItem(today->child(1));
        dlg.onOpen();
        tree->setCurrentItem(today);
        dlg.onOpen();
        QCOMPARE(opened, QStringList({QStringLiteral("vorn::ui::CShiftSheetDlg"), QStringLiteral("vorn::ui::CDayReportDlg")}));
        QCOMPARE(fx.shell().statusText(), QStringLiteral("成功查看2026-12-07的日结"));

        // A salesperson sees the shifts but not a whole day's takings.
        asUser("bob", 2);
        dlg.onOpen();
        QCOMPARE(opened.size(), 2);
        QVERIFY(fx.shell().statusText().startsWith(QStringLiteral("未")));

        // A span of one day before the shifts: nothing listed.
        dlg.fromEdit()->setDate(kDay.addDays(-10));
        dlg.toEdit()->setDate(kDay.addDays(-9));
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(!dlg.openButton()->isEnabled());
    }

    void dialogsFit() {
        twoCashiers();
        CDayReportDlg day(fx.shell(), kDay);
        CPastShiftsDlg past(fx.shell(), kDay.addDays(-6), kDay, [](QDialog&) { return 0; });
        vorn::ShiftReport r;
        QCOMPARE(vorn::Shifts(fx.core()).shift_report(day.day().shifts.front().id, r), 1);
        CShiftSheetDlg sheet(fx.shell(), r);
        const std::pair<QDialog*, QString> dialogs[] = {{&day, QStringLiteral("/tmp/vorn-dayreport.png")},
                                                        {&past, QStringLiteral("/tmp/vorn-pastshifts.png")},
                                                        {&sheet, QStringLiteral("/tmp/vorn-shiftsheetdlg.png")}};
        for (const auto& [dlg, png] : dialogs) {
            dlg->show();
            QVERIFY(QTest::qWaitForWindowExposed(dlg));
            QVERIFY(dlg->width() <= 1024 && dlg->height() <= 768);
            QVERIFY(dlg->grab().save(png));
        }
        // Every line of the day's sheet is seen whole, without scrolling sideways.
        QVERIFY(day.text()->width() <= day.scroller()->viewport()->width());
    }
};

QTEST_MAIN(TestDayReport)
#include "test_dayreport.moc"

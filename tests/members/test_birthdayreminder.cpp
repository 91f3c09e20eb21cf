// The birthday reminder with a store: the check and its blinking, the date watch,
// and the reminder dialog with its member list, today's birthdays in bold and
// the lead of 0 to 25 days.
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <ctime>

#include "birthdayreminder.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/remind/reminder.h"
#include "res/commandids.h"
#include "salebirtalarmdlg.h"
#include "storefixture.h"
#include "vorn/sqltext.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

[[maybe_unused]] const bool kZone = [] {
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    return true;
}();

int64_t at(int y, int m, int d, int hh = 12, int mm = 0) {
    return QDateTime(QDate(y, m, d), QTime(hh, mm)).toSecsSinceEpoch();
}

const QString kRange = QStringLiteral("会员生日提前\"0至25\"天提醒");

} // namespace

class TestBirthdayReminder : public QObject {
    Q_OBJECT

    StoreFixture fx;

    void addMember(const char* code, const QString& name, QDate born) {
        vorn::VIPRec m;
        m.FVs_Code = code;
        m.FVs_Name = gbk(name);
        if (born.isValid()) m.FVt_BirT = vorn::local_time_of(born.year(), born.month(), born.day(), 0, 0, 1);
        m.FVt_CreT = at(2020, 1, 1);
        QCOMPARE(fx.core().insert_viprec(&m, 1), 1);
    }

    // The reminder as the main window holds it: on, lead 5, today May 10 2024.
    std::unique_ptr<BlinkingReminder> makeReminder(int limit = 5) {
        auto r = std::make_unique<BlinkingReminder>(std::make_unique<BirthdaySource>());
        r->setEnabled(true);
        r->setLimit(limit);
        return r;
    }
    static BirthdaySource& sourceOf(BlinkingReminder& r) { return dynamic_cast<BirthdaySource&>(r.source()); }

    static bool rowBold(const QTableWidget* list, int row) {
        bool all = true, any = false;
        for (int c = 0; c < list->columnCount(); ++c) {
            all = all && list->item(row, c)->font().bold();
            any = any || list->item(row, c)->font().bold();
        }
        if (all != any) qWarning("row %d is bold in some cells only", row);
        return all;
    }

private slots:
    // Everything below is worked out in China's time (UTC+8, no summer time):
    // the zone set above must be the one Qt and the C library both apply.
    void initTestCase() {
        QCOMPARE(QDateTime(QDate(2024, 1, 15), QTime(12, 0)).offsetFromUtc(), 8 * 3600);
        QCOMPARE(QDateTime(QDate(2024, 7, 15), QTime(12, 0)).offsetFromUtc(), 8 * 3600);
        const std::time_t epoch = 0;
        std::tm local{};
        QVERIFY(localtime_r(&epoch, &local));
        QCOMPARE(local.tm_hour, 8);
    }
    void init() {
        fx.setUp();
        setNowForTests(at(2024, 5, 10, 9, 30));
        addMember("V001", QStringLiteral("张三"), QDate(1980, 5, 15));
        addMember("V002", QStringLiteral("李四"), QDate(1975, 5, 10)); // today
        addMember("V003", QStringLiteral("王五"), QDate(1990, 5, 16)); // one day late
        addMember("V004", QStringLiteral("赵六"), QDate());            // no birthday
        addMember("V005", QStringLiteral("钱七"), QDate(1950, 5, 12)); // before 1970
    }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    void checkBlinksWhileBirthdaysAreNear() {
        auto r = makeReminder();
        QCOMPARE(sourceOf(*r).window().start.date(), QDate(2024, 5, 10));
        QCOMPARE(sourceOf(*r).window().end.date(), QDate(2024, 5, 15));
        r->check(fx.core(), true);
        QCOMPARE(r->count(), 3);
        QCOMPARE(r->blink(), 1);
        QVERIFY(r->timerActive());
        // Another page active: stops, the count stays.
        r->check(fx.core(), false);
        QCOMPARE(r->blink(), 0);
        QCOMPARE(r->iconName(), QStringLiteral("alarm_201"));
        QCOMPARE(r->count(), 3);
        // A saved lead of 0: only today's.
        r->setLimit(0);
        r->check(fx.core(), true);
        QCOMPARE(r->count(), 1);
        QVERIFY(r->blinking());
        // A failed count stops the blinking like nobody found.
        QCOMPARE(fx.core().exec_sql("ALTER TABLE VIP RENAME TO VIP_gone;"), 0);
        r->check(fx.core(), true);
        QCOMPARE(r->count(), -1);
        QCOMPARE(r->blink(), 0);
        QVERIFY(!r->timerActive());
    }

    void leadBeyondOneMonthEndCountsNobody() {
        // A lead from the store is used unchecked; 60 days from May 10 cross two
        // month ends.
        fx.core().set_birt_alarm_limit(60);
        BlinkingReminder r(std::make_unique<BirthdaySource>());
        r.load(fx.core());
        QCOMPARE(r.limit(), 60);
        r.setEnabled(true);
        QVERIFY(sourceOf(r).condition().empty());
        r.check(fx.core(), true);
        QCOMPARE(r.count(), 0);
        QVERIFY(!r.blinking());
    }

    void dateWatchMovesTheWindow() {
        auto r = makeReminder();
        BirthdaySource& s = sourceOf(*r);
        QVERIFY(!s.dateTick(at(2024, 5, 10, 23, 59)));
        QCOMPARE(s.window().start.date(), QDate(2024, 5, 10));
        QVERIFY(s.dateTick(at(2024, 5, 16, 0, 5)));
        QCOMPARE(s.window().start.date(), QDate(2024, 5, 16));
        QCOMPARE(s.window().end.date(), QDate(2024, 5, 21));
        QCOMPARE(s.window().limit, 5);
        r->check(fx.core(), true);
        QCOMPARE(r->count(), 1); // V003 only
    }

    void dialogListsTheMembersWithTodaysInBold() {
        auto r = makeReminder();
        r->check(fx.core(), true);
        CSaleBirtAlarmDlg dlg(*fx.shell, r->count(), r->limit(), sourceOf(*r).condition());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("会员生日提醒"));
        QTableWidget* list = dlg.list();
        const QStringList captions{QStringLiteral("会员编号"), QStringLiteral("会员名称"),
                                   QStringLiteral("生日")};
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(list->horizontalHeaderItem(c)->text(), captions[c]);
            QCOMPARE(list->horizontalHeader()->sectionSize(c), 128);
        }
        QVERIFY(!list->horizontalHeader()->sectionsMovable());
        QVERIFY(!list->isSortingEnabled());
        QCOMPARE(list->rowCount(), 3);
        const QStringList codes{"V001", "V002", "V005"};
        const QStringList names{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("钱七")};
        const QStringList births{"1980-05-15", "1975-05-10", "1950-05-12"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list->item(i, 0)->text(), codes[i]);
            QCOMPARE(list->item(i, 1)->text(), names[i]);
            QCOMPARE(list->item(i, 2)->text(), births[i]);
            QCOMPARE(rowBold(list, i), i == 1);
        }
        QCOMPARE(list->item(0, 2)->textAlignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QCOMPARE(dlg.limitEdit()->text(), QStringLiteral("5"));
        QCOMPARE(dlg.limitEdit()->selectedText(), QStringLiteral("5"));
        QCOMPARE(dlg.limitEdit()->maxLength(), 2);
    }

    void dialogLoadsOnlyWithACountAndACondition() {
        auto r = makeReminder();
        const std::string cond = sourceOf(*r).condition();
        QCOMPARE(CSaleBirtAlarmDlg(*fx.shell, 0, 5, cond).list()->rowCount(), 0);
        QCOMPARE(CSaleBirtAlarmDlg(*fx.shell, -1, 5, cond).list()->rowCount(), 0);
        QCOMPARE(CSaleBirtAlarmDlg(*fx.shell, 3, 5, std::string()).list()->rowCount(), 0);
        // The count is a hint only: every member the query finds is listed.
        QCOMPARE(CSaleBirtAlarmDlg(*fx.shell, 1, 5, cond).list()->rowCount(), 3);
        // A stored lead longer than the edit takes is shown whole.
        QCOMPARE(CSaleBirtAlarmDlg(*fx.shell, 0, 120, cond).limitEdit()->text(), QStringLiteral("120"));
    }

    void leadOutsideZeroToTwentyFiveIsRefused() {
        fx.core().set_birt_alarm_limit(5);
        for (const char* typed : {"26", "-1", "99"}) {
            CSaleBirtAlarmDlg dlg(*fx.shell, 0, 5, std::string());
            dlg.show();
            dlg.limitEdit()->setText(QString::fromLatin1(typed));
            dlg.save();
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.limit(), 5);
            QCOMPARE(dlg.limitEdit()->selectedText(), QString::fromLatin1(typed));
        }
        QCOMPARE(fx.shell->failures, (QStringList{kRange, kRange, kRange}));
        QCOMPARE(fx.core().get_birt_alarm_limit(), 5);

        CSaleBirtAlarmDlg text(*fx.shell, 0, 5, std::string());
        text.show();
        text.limitEdit()->setText(QStringLiteral("x"));
        text.save();
        QVERIFY(text.isVisible());
        QCOMPARE(fx.boxes.shown, QStringList{QStringLiteral("请输入一个整数。")});
        QCOMPARE(fx.core().get_birt_alarm_limit(), 5);
    }

    void leadFromZeroToTwentyFiveIsSaved() {
        for (int lead : {0, 1, 25}) {
            CSaleBirtAlarmDlg dlg(*fx.shell, 0, 5, std::string());
            dlg.limitEdit()->setText(QString::number(lead));
            dlg.save();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(dlg.limit(), lead);
            QCOMPARE(fx.core().get_birt_alarm_limit(), lead);
        }
        QVERIFY(fx.shell->failures.isEmpty());
    }

    void enterSavesAndEscapeIsIgnored() {
        CSaleBirtAlarmDlg dlg(*fx.shell, 0, 5, std::string());
        dlg.show();
        QTest::keyClick(dlg.limitEdit(), Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        dlg.limitEdit()->setText(QStringLiteral("7"));
        QTest::keyClick(dlg.limitEdit(), Qt::Key_Enter);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(fx.core().get_birt_alarm_limit(), 7);
    }

    void buttonOpensTheDialogAndASavedLeadMovesTheWindow() {
        auto r = makeReminder();
        r->check(fx.core(), true);
        setNowForTests(at(2024, 5, 12, 8, 0)); // the dialog is opened two days later
        int listed = -1;
        sourceOf(*r).setDialogRunner([&](QDialog& d) {
            auto& dlg = dynamic_cast<CSaleBirtAlarmDlg&>(d);
            listed = dlg.list()->rowCount();
            dlg.limitEdit()->setText(QStringLiteral("0"));
            dlg.save();
            return dlg.result();
        });
        r->source().openDialog(*fx.shell, *r);
        QCOMPARE(listed, 3); // the window as it stood, May 10 to 15: the date watch has not run
        QCOMPARE(r->limit(), 0);
        QCOMPARE(fx.core().get_birt_alarm_limit(), 0);
        QCOMPARE(sourceOf(*r).window().start.date(), QDate(2024, 5, 12));
        QCOMPARE(sourceOf(*r).window().end.date(), QDate(2024, 5, 12));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("修改会员生日提醒期限"));
        r->check(fx.core(), true);
        QCOMPARE(r->count(), 1); // V005, born on May 12

        // Closed without saving: nothing said, nothing changed.
        fx.shell->statuses.clear();
        sourceOf(*r).setDialogRunner([](QDialog& d) {
            auto& dlg = dynamic_cast<CSaleBirtAlarmDlg&>(d);
            dlg.limitEdit()->setText(QStringLiteral("9"));
            dlg.reject();
            return dlg.result();
        });
        r->source().openDialog(*fx.shell, *r);
        QCOMPARE(r->limit(), 0);
        QCOMPARE(fx.core().get_birt_alarm_limit(), 0);
        QVERIFY(fx.shell->statuses.isEmpty());
    }
};

QTEST_MAIN(TestBirthdayReminder)
#include "test_birthdayreminder.moc"

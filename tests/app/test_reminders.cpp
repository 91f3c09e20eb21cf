// The stock alarm and the birthday reminder in the real main window: their
// buttons open the dialogs, a saved limit is checked at once, the birthday button
// blinks on the sales counter only and follows the date watch. With
// VORN_SCREENSHOT_DIR set it also writes pictures of both dialogs.
#include <QApplication>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include "birthdayreminder.h"
#include "frame/internetview.h"
#include "frame/look.h"
#include "frame_fixture.h"
#include "kit/text/clock.h"
#include "kit/remind/reminder.h"
#include "res/commandids.h"
#include "salealarmdlg.h"
#include "salebirtalarmdlg.h"
#include "stockalarm.h"
#include "res/tabs.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

QImage pixels(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage();
}

int64_t at(int y, int m, int d, int hh = 12) {
    return QDateTime(QDate(y, m, d), QTime(hh, 0)).toSecsSinceEpoch();
}

void addUnits(AppState& state, const QString& code, const QString& name, int n) {
    std::vector<vorn::SRec> units(static_cast<size_t>(n));
    for (auto& u : units) {
        u.FSs_Code = gbk(code);
        u.FSs_Name = gbk(name);
        u.FSi_Type = 1;
        u.FSi_Supplier = 1;
        u.FSd_RetP = 3.5;
        u.FSt_StoT = at(2024, 3, 1);
    }
    QCOMPARE(state.core.insert_srec(units.data(), n), n);
}

void addMember(AppState& state, const QString& code, const QString& name, QDate born) {
    vorn::VIPRec m;
    m.FVs_Code = gbk(code);
    m.FVs_Name = gbk(name);
    m.FVt_BirT = vorn::local_time_of(born.year(), born.month(), born.day(), 0, 0, 1);
    m.FVt_CreT = at(2020, 1, 1);
    QCOMPARE(state.core.insert_viprec(&m, 1), 1);
}

StockAlarmSource& alarmSource(CMainFrame& frame) {
    return dynamic_cast<StockAlarmSource&>(frame.reminder(cmd::Alarm)->source());
}
BirthdaySource& birthdaySource(CMainFrame& frame) {
    return dynamic_cast<BirthdaySource&>(frame.reminder(cmd::Birthday)->source());
}

// Shows the dialog laid out as the user sees it, and saves a picture of it when
// VORN_SCREENSHOT_DIR names a folder.
bool shoot(QDialog& dlg, const QString& name) {
    dlg.show();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        dlg.layout()->activate();
    }
    const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    return dir.isEmpty() || dlg.grab().save(QDir(dir).filePath(name));
}

} // namespace

class TestFrameReminders : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
    }
    void cleanup() { setNowForTests(0); }

    void alarmDialogSavesTheLimitAndChecksAgain() {
        FrameFixture f;
        QVERIFY(f.create());
        AppState& st = f.frame->state();
        addUnits(st, "A1", QStringLiteral("康源矿泉水"), 3);
        addUnits(st, "B2", QStringLiteral("金穗大米"), 7);
        BlinkingReminder& alarm = *f.frame->reminder(cmd::Alarm);
        st.core.set_alarm_limit(5);
        alarm.setLimit(5);
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        f.ribbon().trigger(cmd::RunAlarm);
        QCOMPARE(alarm.count(), 1);
        QVERIFY(alarm.blinking());

        QStringList listed;
        QString typed = QStringLiteral("2");
        alarmSource(*f.frame).setDialogRunner([&](QDialog& d) {
            auto& dlg = dynamic_cast<CSaleAlarmDlg&>(d);
            listed.clear();
            for (int r = 0; r < dlg.list()->rowCount(); ++r)
                listed << dlg.list()->item(r, 0)->text() + "/" + dlg.list()->item(r, 3)->text();
            dlg.limitEdit()->setText(typed);
            dlg.save();
            return dlg.result();
        });
        f.ribbon().trigger(cmd::Alarm);
        QCOMPARE(listed, QStringList{"A1/3"});
        QCOMPARE(f.frame->statusText(), QStringLiteral("修改商品库存报警下限"));
        QCOMPARE(st.core.get_alarm_limit(), 2);
        QCOMPARE(alarm.limit(), 2);
        // Checked again at once: nothing below 2, the blinking stops.
        QTRY_COMPARE(alarm.count(), 0);
        QCOMPARE(alarm.blink(), 0);
        QCOMPARE(pixels(f.ribbon().commandIcon(cmd::Alarm)), pixels(Ribbon::icon("alarm_201")));

        typed = QStringLiteral("10");
        f.ribbon().trigger(cmd::Alarm);
        QVERIFY(listed.isEmpty()); // the last check found nothing
        QTRY_COMPARE(alarm.count(), 2);
        QVERIFY(alarm.blinking());
        QVERIFY(f.messages.shown.isEmpty());
    }

    void alarmButtonNeedsTheAlarmOnAndTheCounter() {
        FrameFixture f;
        QVERIFY(f.create());
        int opened = 0;
        alarmSource(*f.frame).setDialogRunner([&](QDialog& d) {
            ++opened;
            d.reject();
            return d.result();
        });
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        f.frame->onCommand(cmd::Alarm); // the alarm is off
        QCOMPARE(opened, 0);
        f.ribbon().trigger(cmd::RunAlarm);
        f.frame->selectTab(tabs::Goods);
        QVERIFY(!f.frame->isEnabled(cmd::Alarm));
        QVERIFY(!f.frame->isEnabled(cmd::RunAlarm));
        f.frame->onCommand(cmd::Alarm);
        QCOMPARE(opened, 0);
        f.frame->selectTab(tabs::Counter);
        const QString before = f.frame->statusText();
        f.ribbon().trigger(cmd::Alarm);
        QCOMPARE(opened, 1);
        QCOMPARE(f.frame->statusText(), before); // closed without saving: nothing said
    }

    void aToggleTheStoreRefusesIsNotMade() {
        FrameFixture f;
        QVERIFY(f.create());
        AppState& st = f.frame->state();
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        BlinkingReminder& alarm = *f.frame->reminder(cmd::Alarm);
        const bool before = alarm.enabled();
        // The settings row refuses every change, as a read-only file would.
        QCOMPARE(st.core.exec_sql("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON main.Addition "
                                  "BEGIN SELECT RAISE(ABORT, 'no'); END;"),
                 0);
        f.ribbon().trigger(cmd::RunAlarm);
        QCOMPARE(alarm.enabled(), before);
        QCOMPARE(st.core.get_run_alarm(), before);
        QVERIFY(f.frame->statusText().contains(QStringLiteral("未知异常导致")));
        QCOMPARE(f.messages.shown.size(), 1);

        QCOMPARE(st.core.exec_sql("DROP TRIGGER refuse;"), 0);
        f.ribbon().trigger(cmd::RunAlarm);
        QCOMPARE(alarm.enabled(), !before);
        QCOMPARE(st.core.get_run_alarm(), !before);
    }

    void birthdayBlinksOnTheCounterAndFollowsTheDate() {
        setNowForTests(at(2024, 3, 30));
        FrameFixture f;
        QVERIFY(f.create());
        AppState& st = f.frame->state();
        addMember(st, "V001", QStringLiteral("张三"), QDate(1950, 3, 31));
        addMember(st, "V002", QStringLiteral("李四"), QDate(1988, 4, 5));
        BlinkingReminder& reminder = *f.frame->reminder(cmd::Birthday);
        st.core.set_birt_alarm_limit(5);
        reminder.setLimit(5);
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        QCOMPARE(reminder.blink(), 0); // off
        QVERIFY(!f.frame->isEnabled(cmd::Birthday));
        f.ribbon().trigger(cmd::RunBirthday);
        QCOMPARE(reminder.count(), 1); // March 30 to April 4
        QCOMPARE(reminder.blink(), 1);
        QVERIFY(f.ribbon().isCommandChecked(cmd::RunBirthday));
        QVERIFY(f.ribbon().isCommandEnabled(cmd::Birthday));

        QSignalSpy ticks(&reminder, &BlinkingReminder::iconChanged);
        QTRY_COMPARE_WITH_TIMEOUT(ticks.count(), 1, 3000);
        QCOMPARE(ticks.at(0).at(0).toInt(), cmd::Birthday);
        QCOMPARE(ticks.at(0).at(1).toString(), QStringLiteral("alarm_203"));
        QCOMPARE(pixels(f.ribbon().commandIcon(cmd::Birthday)), pixels(Ribbon::icon("alarm_203")));
        // The stock alarm's button is not touched.
        QCOMPARE(pixels(f.ribbon().commandIcon(cmd::Alarm)), pixels(Ribbon::icon("alarm_201")));

        // Another page stops it at once; coming back starts it again.
        f.frame->selectTab(tabs::Members);
        flush();
        QCOMPARE(reminder.blink(), 0);
        QCOMPARE(pixels(f.ribbon().commandIcon(cmd::Birthday)), pixels(Ribbon::icon("alarm_201")));
        f.frame->selectTab(tabs::Counter);
        QCOMPARE(reminder.blink(), 1);

        // Over midnight the window moves: April 1 to 6 finds the other member...
        setNowForTests(at(2024, 4, 1, 0));
        f.frame->dateWatchTick();
        QCOMPARE(birthdaySource(*f.frame).window().start.date(), QDate(2024, 4, 1));
        QCOMPARE(reminder.count(), 1);
        QVERIFY(reminder.blinking());
        // ...and April 7 to 12 finds nobody.
        setNowForTests(at(2024, 4, 7, 0));
        f.frame->dateWatchTick();
        QCOMPARE(reminder.count(), 0);
        QCOMPARE(reminder.blink(), 0);

        f.ribbon().trigger(cmd::RunBirthday);
        QVERIFY(!reminder.enabled());
        QCOMPARE(f.frame->statusText(), QStringLiteral("关闭会员生日提醒"));
    }

    void birthdayDialogThroughTheButton() {
        setNowForTests(at(2024, 3, 30));
        FrameFixture f;
        QVERIFY(f.create());
        {
            AppState& st = f.frame->state();
            addMember(st, "V001", QStringLiteral("张三"), QDate(1950, 3, 31));
            addMember(st, "V002", QStringLiteral("李四"), QDate(1988, 3, 30)); // today
            addMember(st, "V003", QStringLiteral("王五"), QDate(1990, 4, 20));
            st.core.set_birt_alarm_limit(5);
            st.core.set_run_birt_alarm(true);
        } // the state goes with the window
        f.frame.reset();
        flush();
        QVERIFY(f.create()); // reads the lead and computes the window from it
        BlinkingReminder& reminder = *f.frame->reminder(cmd::Birthday);
        QCOMPARE(reminder.limit(), 5);
        QCOMPARE(birthdaySource(*f.frame).window().end.date(), QDate(2024, 4, 4));
        QVERIFY(f.loginAsAdmin()); // opens the sales counter, which checks
        f.frame->selectTab(tabs::Counter);
        QTRY_COMPARE(reminder.count(), 2);

        QStringList typed{QStringLiteral("26"), QStringLiteral("0")};
        QStringList rows;
        QList<bool> bold;
        QStringList statusAfterRefusal;
        birthdaySource(*f.frame).setDialogRunner([&](QDialog& d) {
            auto& dlg = dynamic_cast<CSaleBirtAlarmDlg&>(d);
            for (int r = 0; r < dlg.list()->rowCount(); ++r) {
                rows << dlg.list()->item(r, 0)->text() + "/" + dlg.list()->item(r, 2)->text();
                bold << dlg.list()->item(r, 1)->font().bold();
            }
            for (const QString& t : typed) {
                dlg.limitEdit()->setText(t);
                dlg.save();
                if (dlg.result() != QDialog::Accepted) statusAfterRefusal << f.frame->statusText();
            }
            return dlg.result();
        });
        f.ribbon().trigger(cmd::Birthday);
        QCOMPARE(rows, (QStringList{"V001/1950-03-31", "V002/1988-03-30"}));
        QCOMPARE(bold, (QList<bool>{false, true}));
        const QString range = QStringLiteral("会员生日提前\"0至25\"天提醒");
        QCOMPARE(statusAfterRefusal, QStringList{range});
        QCOMPARE(f.messages.shown, QStringList{range + QStringLiteral("。")});
        QCOMPARE(f.frame->statusText(), QStringLiteral("修改会员生日提醒期限"));
        QCOMPARE(f.frame->state().core.get_birt_alarm_limit(), 0);
        QCOMPARE(birthdaySource(*f.frame).window().end.date(), QDate(2024, 3, 30));
        QTRY_COMPARE(reminder.count(), 1); // today's only
        QVERIFY(reminder.blinking());
    }

    // Last: the program's look stays applied for the rest of the run.
    void dialogPictures() {
        applyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        setNowForTests(at(2024, 5, 10));
        FrameFixture f;
        QVERIFY(f.create());
        AppState& st = f.frame->state();
        const QStringList goods{QStringLiteral("康源矿泉水 550ml"), QStringLiteral("金穗东北大米 5kg"),
                                QStringLiteral("鲜乐原味酸奶"), QStringLiteral("雅洁去屑洗发水"),
                                QStringLiteral("百味烧烤味薯片")};
        for (int i = 0; i < goods.size(); ++i)
            addUnits(st, QStringLiteral("69012345%1").arg(i, 5, 10, QLatin1Char('0')), goods[i], i + 1);
        const QStringList names{QStringLiteral("张伟"), QStringLiteral("王芳"), QStringLiteral("李娜"),
                                QStringLiteral("刘洋")};
        const QDate births[] = {QDate(1980, 5, 10), QDate(1992, 5, 12), QDate(1965, 5, 13),
                                QDate(2001, 5, 15)};
        for (int i = 0; i < names.size(); ++i)
            addMember(st, QStringLiteral("VIP%1").arg(1001 + i), names[i], births[i]);
        st.core.set_alarm_limit(5);
        st.core.set_run_alarm(true);
        st.core.set_birt_alarm_limit(7);
        st.core.set_run_birt_alarm(true);
        f.frame.reset(); // st goes with it
        flush();
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        QTRY_COMPARE(f.frame->reminder(cmd::Alarm)->count(), 4);
        QTRY_COMPARE(f.frame->reminder(cmd::Birthday)->count(), 4);

        QStringList shown;
        auto shootAndClose = [&](const char* file) {
            return [&, file](QDialog& d) {
                const bool saved = shoot(d, QString::fromLatin1(file));
                const auto* list = d.findChild<QTableWidget*>();
                // All four rows, and every column in view: nothing cut at the right.
                if (saved && list && list->rowCount() == 4 &&
                    list->horizontalHeader()->length() <= list->viewport()->width())
                    shown << QString::fromLatin1(file);
                d.reject();
                return d.result();
            };
        };
        alarmSource(*f.frame).setDialogRunner(shootAndClose("stock-alarm.png"));
        birthdaySource(*f.frame).setDialogRunner(shootAndClose("birthday-reminder.png"));
        f.ribbon().trigger(cmd::Alarm);
        f.ribbon().trigger(cmd::Birthday);
        QCOMPARE(shown, (QStringList{"stock-alarm.png", "birthday-reminder.png"}));
    }
};

QTEST_MAIN(TestFrameReminders)
#include "test_reminders.moc"

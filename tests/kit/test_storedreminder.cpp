// A reminder kept as two shop settings: the settings and sentences it is
// given are what it answers with, and its dialog's end decides whether the
// limit, the status bar and the next check follow.
#include <QLineEdit>
#include <QtTest>

#include "kit/remind/reminderdlg.h"
#include "kit/remind/storedreminder.h"
#include "storefixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

struct Store {
    bool on = true;
    int limit = 4;
    std::vector<bool> switched;
};

class TestSource : public StoredReminderSource {
public:
    explicit TestSource(Store& store) : StoredReminderSource(settings(store)) {}
    int count(vorn::Core&, int) override { return 0; }
    int made = 0;

protected:
    std::unique_ptr<CReminderDlg> makeDialog(Shell& shell, const BlinkingReminder& reminder) override {
        ++made;
        ReminderView v;
        v.title = QStringLiteral("测试");
        v.store = [](vorn::Core&, int) { return true; };
        return std::make_unique<CReminderDlg>(shell, v, reminder.count(), reminder.limit());
    }

private:
    static StoredReminder settings(Store& store) {
        StoredReminder s;
        s.toggle = 901;
        s.button = 902;
        s.enabled = [&store](vorn::Core&) { return store.on; };
        s.limit = [&store](vorn::Core&) { return store.limit; };
        s.setEnabled = [&store](vorn::Core&, bool on) {
            store.switched.push_back(on);
            return true;
        };
        s.switchedOn = QStringLiteral("开");
        s.switchedOff = QStringLiteral("关");
        s.limitSaved = QStringLiteral("改了");
        return s;
    }
};

} // namespace

class TestStoredReminder : public QObject {
    Q_OBJECT

    StoreFixture fx;

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void answersWithItsSettings() {
        Store store;
        TestSource source(store);
        vorn::Core& core = fx.shell->st.core;
        QCOMPARE(source.toggleCommand(), 901);
        QCOMPARE(source.buttonCommand(), 902);
        QVERIFY(source.storedEnabled(core));
        QCOMPARE(source.storedLimit(core), 4);
        QVERIFY(source.storeEnabled(core, false));
        QCOMPARE(store.switched, std::vector<bool>{false});
        QCOMPARE(source.toggledText(true), QStringLiteral("开"));
        QCOMPARE(source.toggledText(false), QStringLiteral("关"));
    }

    void settingsOfCoreAreReadAndWritten() {
        vorn::Core& core = fx.shell->st.core;
        const StoredReminder s = StoredReminder::ofSettings(
            903, 904, &vorn::Core::get_run_birt_alarm, &vorn::Core::get_birt_alarm_limit,
            &vorn::Core::set_run_birt_alarm, {QStringLiteral("开"), QStringLiteral("关"), QStringLiteral("改了")});
        QCOMPARE(s.toggle, 903);
        QCOMPARE(s.button, 904);
        QCOMPARE((QStringList{s.switchedOn, s.switchedOff, s.limitSaved}),
                 (QStringList{QStringLiteral("开"), QStringLiteral("关"), QStringLiteral("改了")}));
        for (const bool on : {true, false}) {
            QVERIFY(s.setEnabled(core, on));
            QCOMPARE(core.get_run_birt_alarm(), on);
            QCOMPARE(s.enabled(core), on);
        }
        for (const int limit : {3, 17}) {
            QVERIFY(core.set_birt_alarm_limit(limit));
            QCOMPARE(s.limit(core), limit);
        }
        QVERIFY(!core.get_run_alarm()); // the other setting is left alone
    }

    void aSavedLimitIsTakenAndSaid_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("closed") << false;
    }
    void aSavedLimitIsTakenAndSaid() {
        QFETCH(bool, save);
        Store store;
        auto owned = std::make_unique<TestSource>(store);
        TestSource& source = *owned;
        BlinkingReminder reminder(std::move(owned));
        reminder.load(fx.shell->st.core);
        QCOMPARE(reminder.limit(), 4);
        QString shown;
        source.setDialogRunner([save, &shown](QDialog& d) -> int {
            auto& dlg = static_cast<CReminderDlg&>(d);
            shown = dlg.limitEdit()->text();
            if (!save) return QDialog::Rejected;
            dlg.limitEdit()->setText(QStringLiteral("9"));
            dlg.save();
            return dlg.result();
        });
        const QStringList before = fx.shell->statuses;
        source.openDialog(*fx.shell, reminder);
        QCOMPARE(source.made, 1);
        QCOMPARE(shown, QStringLiteral("4"));
        QCOMPARE(reminder.limit(), save ? 9 : 4);
        QCOMPARE(fx.shell->statuses, save ? before + QStringList{QStringLiteral("改了")} : before);
    }
};

QTEST_MAIN(TestStoredReminder)
#include "test_storedreminder.moc"

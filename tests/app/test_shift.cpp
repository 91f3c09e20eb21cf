// The main window asks about an open shift before the program closes: 取消
// keeps the window, 稍后 closes it with the shift left open, 现在交班 runs the
// 交班 dialog and closes once the shift is handed over (its 交班单 as a PDF
// beside the store). 开班 and 开钱箱 are on the counter tab, 日结 and 班次记录
// on the journal tab.
#include <QDir>
#include <QLineEdit>
#include <QtTest>

#include "frame_fixture.h"
#include "kit/page/appstate.h"
#include "res/commandids.h"
#include "shiftcounter.h"
#include "shiftdlg.h"
#include "vorn/shifts.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

class TestShift : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void closingWithTheShiftOpen_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("cancel") << int(CShiftLeaveDlg::Cancel) << false << true;
        QTest::newRow("later") << int(CShiftLeaveDlg::Later) << true << true;
        QTest::newRow("hand over") << int(CShiftLeaveDlg::HandOverNow) << true << false;
    }
    void closingWithTheShiftOpen() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, stillOpen);
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        vorn::Shifts shifts(f.frame->state().core);
        const std::string admin = gbk(kAdmin);
        const int64_t shift = shifts.open_shift(admin, 1765000000, 500);
        QVERIFY(shift > 0);
        // 开班 and 开钱箱 on the counter, 日结 and 班次记录 on the journal tab.
        for (int id : {cmd::OpenShift, cmd::OpenDrawer, cmd::DayCashUp, cmd::PastShifts})
            QVERIFY2(f.ribbon().hasCommand(id), qPrintable(QString::number(id)));
        QStringList asked;
        f.frame->state().extension<ShiftDialogs>().runner = [&](QDialog& d) {
            asked << d.windowTitle();
            if (qobject_cast<CShiftLeaveDlg*>(&d)) return answer;
            auto* dlg = qobject_cast<CShiftDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            dlg->countedEdit()->setText(QStringLiteral("50"));
            dlg->onOk();
            return dlg->result();
        };
        QCOMPARE(f.frame->close(), closes);
        QCOMPARE(asked.size(), answer == CShiftLeaveDlg::HandOverNow ? 2 : 1);
        vorn::ShiftRecord rec;
        QCOMPARE(shifts.get_shift(shift, rec), 1);
        QCOMPARE(rec.closed == 0, stillOpen);
        if (!stillOpen) {
            QCOMPARE(rec.counted, int64_t(500));
            QCOMPARE(QDir(f.path(QStringLiteral("receipts"))).entryList({QStringLiteral("*.pdf")}).size(), 1);
        }
        if (!closes) QVERIFY(f.frame->isVisible());
    }
};

QTEST_MAIN(TestShift)
#include "test_shift.moc"

// The shift's paper and the counter's shift commands: the 交班单 of a scripted
// shift (lines, ESC/POS bytes, PDF, printed at the hand-over), 开班 opening a
// shift or correcting its float, 开钱箱 counted with the shift (and refused
// without a thermal printer), and the question when a cashier leaves with the
// shift open. The dialogs are looked at.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include "kit/page/appstate.h"
#include "kit/print/escpos.h"
#include "kit/print/rawprinter.h"
#include "kit/print/receiptprinter.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "receiptlayout.h"
#include "receiptprint.h"
#include "salecounter.h"
#include "salefixture.h"
#include "shiftcounter.h"
#include "shiftdlg.h"
#include "shiftsheet.h"
#include "vorn/journal.h"
#include "vorn/shifts.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

const int64_t kMorning = QDateTime(QDate(2026, 12, 7), QTime(9, 30)).toSecsSinceEpoch();
const int64_t kEvening = QDateTime(QDate(2026, 12, 7), QTime(17, 30)).toSecsSinceEpoch();

QByteArray gbkBytes(const QString& s) {
    const std::string g = gbk(s);
    return QByteArray(g.data(), qsizetype(g.size()));
}

} // namespace

class TestShiftSheet : public QObject {
    Q_OBJECT

    SaleFixture fx;

    bool sell(const std::string& code, int n, std::vector<vorn::Payment> payments) {
        SaleList list;
        if (addToList(fx.core(), list, code, n, kNoMember, fx.shell().st.types).status != AddStatus::Added)
            return false;
        SaleParty party;
        party.cashier = "admin";
        party.payments = std::move(payments);
        std::vector<ReceiptLine> lines;
        return writeSale(fx.core(), list, kMorning, party, 0, lines).sold == n;
    }

    // Float 50.0; 2 x 10.0 paid 25.0 in cash (5.0 change); 20.0 as 微信 10.0 +
    // 现金 10.0; one drawer opening. Cash taken 30.0, expected 80.0.
    int64_t scriptedShift() {
        vorn::ShopRules rules;
        rules.usual_float = 500;
        vorn::Shifts shifts(fx.core());
        if (shifts.set_rules(rules) != 1) return -1;
        fx.stock("A", 2, 10.0);
        fx.stock("B", 1, 20.0);
        if (!sell("A", 2, {{vorn::kPayCash, 250}})) return -1;
        if (!sell("B", 1, {{vorn::kPayWeChat, 100}, {vorn::kPayCash, 100}})) return -1;
        const int64_t shift = shifts.current_shift("admin");
        return shifts.count_drawer_open(shift, "admin", kMorning + 60) == 1 ? shift : -1;
    }

    vorn::ShiftReport handedOver(int64_t counted) {
        const int64_t shift = scriptedShift();
        vorn::Shifts shifts(fx.core());
        vorn::ShiftReport r;
        if (shift <= 0 || shifts.close_shift(shift, counted, kEvening) != 1) return r;
        shifts.shift_report(shift, r);
        return r;
    }

    void useDevicePrinter(const QString& path) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        ReceiptPrinterSettings s;
        s.kind = ReceiptPrinterSettings::Kind::Device;
        s.devicePath = path;
        QString why;
        QVERIFY2(saveReceiptPrinter(s, receiptPrinterIniPath(), &why), qPrintable(why));
    }

    static QByteArray fileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    DialogRunner& leaveRunner() { return fx.shell().st.extension<ShiftDialogs>().runner; }

private slots:
    void init() {
        fx.setUp();
        setNowForTests(kEvening);
    }
    void cleanup() {
        QVERIFY(waitForRawSends(10000));
        setNowForTests(0);
        fx.tearDown();
    }

    // ---- the sheet ------------------------------------------------------------------

    void sheetLines_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("value");
        QTest::newRow("cashier") << "收银员" << "admin";
        QTest::newRow("opened") << "开班" << "2026-12-07 09:30";
        QTest::newRow("closed") << "交班" << "2026-12-07 17:30";
        QTest::newRow("sales") << "销售" << "2笔 3件";
        QTest::newRow("amount") << "销售金额" << "40.0";
        QTest::newRow("returns") << "退货" << "0笔 0件";
        QTest::newRow("cash") << "现金" << "30.0";
        QTest::newRow("wechat") << "微信" << "10.0";
        QTest::newRow("alipay") << "支付宝" << "0.0";
        QTest::newRow("float") << "备用金" << "50.0";
        QTest::newRow("taken") << "现金收入" << "30.0";
        QTest::newRow("expected") << "应有现金" << "80.0";
        QTest::newRow("counted") << "实点现金" << "78.5";
        QTest::newRow("difference") << "差额" << "短款 1.5元";
        QTest::newRow("drawer") << "开钱箱" << "1次";
    }
    void sheetLines() {
        QFETCH(QString, label);
        QFETCH(QString, value);
        const vorn::ShiftReport r = handedOver(785);
        for (int width : {kReceiptChars58mm, kShiftSheetPdfWidth, kReceiptChars80mm}) {
            const ShiftSheet sheet = shiftSheet(r, width, kEvening);
            QCOMPARE(sheet.title, QStringLiteral("交班单"));
            // The label at the left, the value ending at the edge, blanks between.
            const QString want = label + QString(width - escPosCells(label) - escPosCells(value), QLatin1Char(' ')) + value;
            QVERIFY2(sheet.lines.contains(want), qPrintable(sheet.lines.join(QLatin1Char('\n'))));
            for (const QString& line : sheet.lines)
                QVERIFY2(escPosCells(line) <= width, qPrintable(line));
        }
    }

    void differenceNamed_data() {
        QTest::addColumn<qint64>("counted");
        QTest::addColumn<QString>("named");
        QTest::newRow("short") << qint64(785) << "短款 1.5元";
        QTest::newRow("even") << qint64(800) << "无差额";
        QTest::newRow("long") << qint64(812) << "长款 1.2元";
    }
    void differenceNamed() {
        QFETCH(qint64, counted);
        QFETCH(QString, named);
        const QStringList lines = shiftSheet(handedOver(counted), 32, kEvening).lines;
        QVERIFY2(lines.filter(QStringLiteral("差额")).value(0).endsWith(named), qPrintable(lines.join('\n')));
    }

    void openShiftSheetSaysSo() {
        QVERIFY(scriptedShift() > 0);
        vorn::ShiftReport r;
        vorn::Shifts shifts(fx.core());
        QCOMPARE(shifts.shift_report(shifts.current_shift("admin"), r), 1);
        const QStringList lines = shiftSheet(r, 32, kEvening).lines;
        QVERIFY(lines.filter(QStringLiteral("交班")).value(0).endsWith(QStringLiteral("未交班")));
        QVERIFY(lines.filter(QStringLiteral("差额")).isEmpty());
    }

    void escPosBytes() {
        const vorn::ShiftReport r = handedOver(785);
        const ShiftSheet sheet = shiftSheet(r, kReceiptChars58mm, kEvening);
        const QByteArray bytes = shiftSheetEscPos(sheet);
        // Initialise, Chinese mode, centred double-height title.
        QVERIFY(bytes.startsWith(QByteArray("\x1b\x40\x1c\x26\x1b\x61\x01", 7)));
        QVERIFY(bytes.contains(gbkBytes(QStringLiteral("交班单")) + '\n'));
        for (const QString& line : sheet.lines)
            QVERIFY(bytes.contains(gbkBytes(line) + '\n'));
        // Fed past the cutter and cut; a report opens no drawer.
        QVERIFY(bytes.endsWith(QByteArray("\x1b\x64\x04\x1d\x56\x01", 6)));
        QVERIFY(!bytes.contains(QByteArray("\x1b\x70", 2)));
    }

    void pdfWritten() {
        const ShiftSheet sheet = shiftSheet(handedOver(785), kShiftSheetPdfWidth, kEvening);
        const SheetPrintOutcome first = writeShiftSheetPdf(sheet, QStringLiteral("交班单-test"));
        QVERIFY2(first.ok, qPrintable(first.error));
        QVERIFY(fileBytes(first.pdfPath).startsWith("%PDF"));
        // A second of the same name keeps the first.
        const SheetPrintOutcome second = writeShiftSheetPdf(sheet, QStringLiteral("交班单-test"));
        QVERIFY(second.ok && second.pdfPath != first.pdfPath);
        QVERIFY(QFile::exists(first.pdfPath));
        // The picture of the sheet as the PDF draws it, for looking at.
        const ReceiptLayout layout = shiftSheetLayout(sheet);
        QImage img(kReceiptPdfBodyWidth + 2 * kReceiptPdfSideMargin, layout.height + 2 * kReceiptPdfEndMargin,
                   QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.translate(kReceiptPdfSideMargin, kReceiptPdfEndMargin);
        drawReceipt(p, layout);
        p.end();
        QVERIFY(img.save(QStringLiteral("/tmp/vorn-shiftsheet.png")));
    }

    void handOverPrintsTheSheet() {
        QVERIFY(scriptedShift() > 0);
        const QString thermal = QDir::current().absoluteFilePath(QStringLiteral("lp0"));
        useDevicePrinter(thermal);
        handOverAtCounter(fx.shell(), [](QDialog& d) {
            auto& dlg = static_cast<CShiftDlg&>(d);
            dlg.countedEdit()->setText(QStringLiteral("78.5"));
            dlg.onOk();
            return dlg.result();
        });
        QCOMPARE(fx.shell().statusText(),
                 QStringLiteral("成功交班，应有现金80.0元，实点现金78.5元，短款 1.5元；交班单已送往小票打印机\"%1\"")
                     .arg(thermal));
        QVERIFY(waitForRawSends(10000));
        const QByteArray printed = fileBytes(thermal);
        QVERIFY(printed.contains(gbkBytes(QStringLiteral("交班单"))));
        QVERIFY(printed.contains(gbkBytes(QStringLiteral("短款 1.5元"))));
    }

    // ---- 开班 --------------------------------------------------------------------

    void openShift_data() {
        QTest::addColumn<bool>("withSale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("status");
        QTest::addColumn<qint64>("floatAfter"); // -1: no shift open
        QTest::newRow("opens") << false << "120" << true << "成功开班，备用金120.0元" << qint64(1200);
        QTest::newRow("cancelled") << false << "120" << false << "放弃该次\"开班\"操作" << qint64(-1);
        QTest::newRow("not an amount") << false << "abc" << true << "放弃该次\"开班\"操作" << qint64(-1);
        QTest::newRow("corrects") << true << "60" << true << "成功将本班备用金改为60.0元" << qint64(600);
        QTest::newRow("same float") << true << "50" << true << "未改动任何备用金：本班备用金仍为50.0元"
                                    << qint64(500);
    }
    void openShift() {
        QFETCH(bool, withSale);
        QFETCH(QString, typed);
        QFETCH(bool, confirm);
        QFETCH(QString, status);
        QFETCH(qint64, floatAfter);
        if (withSale) QVERIFY(scriptedShift() > 0);
        openShiftAtCounter(fx.shell(), [&](QDialog& d) {
            auto& dlg = static_cast<COpenShiftDlg&>(d);
            // The float shown first: the shift's own, else the shop's usual one.
            if (d.findChild<QLineEdit*>()->text() != (withSale ? QStringLiteral("50.0") : QStringLiteral("0.0")))
                return int(QDialog::Rejected);
            dlg.floatEdit()->setText(typed);
            if (!confirm) return int(QDialog::Rejected);
            dlg.onOk();
            return dlg.result();
        });
        QCOMPARE(fx.shell().statusText(), status);
        vorn::Shifts shifts(fx.core());
        const int64_t shift = shifts.current_shift("admin");
        if (floatAfter < 0) {
            QCOMPARE(shift, int64_t(0));
            return;
        }
        vorn::ShiftRecord rec;
        QCOMPARE(shifts.get_shift(shift, rec), 1);
        QCOMPARE(rec.cash_float, int64_t(floatAfter));
    }

    void openedShiftTakesTheSales() {
        openShiftAtCounter(fx.shell(), [](QDialog& d) {
            auto& dlg = static_cast<COpenShiftDlg&>(d);
            dlg.floatEdit()->setText(QStringLiteral("100"));
            dlg.onOk();
            return dlg.result();
        });
        const int64_t shift = vorn::Shifts(fx.core()).current_shift("admin");
        fx.stock("A", 1, 10.0);
        QVERIFY(sell("A", 1, {{vorn::kPayCash, 100}}));
        QCOMPARE(vorn::Shifts(fx.core()).current_shift("admin"), shift);
        vorn::ShiftReport r;
        QCOMPARE(vorn::Shifts(fx.core()).shift_report(shift, r), 1);
        QCOMPARE(r.figures.expected, int64_t(1100));
    }

    // ---- 开钱箱 -------------------------------------------------------------------

    void drawerWithoutThermalPrinter() {
        openDrawerAtCounter(fx.shell());
        const QString s = fx.shell().statusText();
        QVERIFY2(s.startsWith(QStringLiteral("未")) && s.contains(QStringLiteral("任何")), qPrintable(s));
        QCOMPARE(vorn::Shifts(fx.core()).current_shift("admin"), int64_t(0));
    }

    void drawerOpenedAndCounted() {
        const QString thermal = QDir::current().absoluteFilePath(QStringLiteral("lp0"));
        useDevicePrinter(thermal);
        for (int i = 0; i < 2; ++i) {
            openDrawerAtCounter(fx.shell());
            QVERIFY(waitForRawSends(10000));
            QTRY_VERIFY2(fx.shell().statusText().startsWith(QStringLiteral("成功打开钱箱")),
                         qPrintable(fx.shell().statusText()));
            fx.shell().showStatus(QString());
        }
        // Two pulses on pin 2 went out, and nothing else.
        EscPosDoc one;
        one.init().drawerPulse();
        QCOMPARE(fileBytes(thermal), one.bytes() + one.bytes());
        // The first opening opened a shift with the usual float; both are counted.
        vorn::Shifts shifts(fx.core());
        vorn::ShiftReport r;
        QCOMPARE(shifts.shift_report(shifts.current_shift("admin"), r), 1);
        QCOMPARE(r.figures.drawer_opens, 2);
        QVERIFY(shiftSheet(r, 32, kEvening).lines.contains(QStringLiteral("开钱箱") + QString(23, ' ') +
                                                          QStringLiteral("2次")));
    }

    // ---- leaving with the shift open ------------------------------------------------

    void leaveCheck_data() {
        QTest::addColumn<int>("why");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("confirmHandOver");
        QTest::addColumn<bool>("mayGo");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<QString>("status");
        const int sw = int(Leaving::SwitchUser);
        const int cl = int(Leaving::Close);
        QTest::newRow("later") << sw << int(CShiftLeaveDlg::Later) << false << true << true
                               << "未交接任何班次：本班稍后交班";
        QTest::newRow("cancel switch") << sw << int(CShiftLeaveDlg::Cancel) << false << false << true
                                       << "放弃该次\"切换用户\"操作";
        QTest::newRow("cancel close") << cl << int(CShiftLeaveDlg::Cancel) << false << false << true
                                      << "放弃该次\"退出\"操作";
        QTest::newRow("hand over") << cl << int(CShiftLeaveDlg::HandOverNow) << true << true << false
                                   << "成功交班";
        QTest::newRow("hand over cancelled") << sw << int(CShiftLeaveDlg::HandOverNow) << false << false << true
                                             << "放弃该次\"交班\"操作";
    }
    void leaveCheck() {
        QFETCH(int, why);
        QFETCH(int, answer);
        QFETCH(bool, confirmHandOver);
        QFETCH(bool, mayGo);
        QFETCH(bool, stillOpen);
        QFETCH(QString, status);
        QVERIFY(scriptedShift() > 0);
        QStringList seen;
        leaveRunner() = [&](QDialog& d) {
            if (auto* ask = qobject_cast<CShiftLeaveDlg*>(&d)) {
                seen << (ask->questionLabel()->text().contains(QStringLiteral("\"admin\"")) ? QStringLiteral("ask")
                                                                                          : QStringLiteral("?"));
                return answer;
            }
            auto* dlg = qobject_cast<CShiftDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            seen << QStringLiteral("交班");
            if (!confirmHandOver) return int(QDialog::Rejected);
            dlg->countedEdit()->setText(QStringLiteral("80"));
            dlg->onOk();
            return dlg->result();
        };
        QCOMPARE(shiftLeaveCheck(fx.shell(), nullptr, Leaving(why)), mayGo);
        QCOMPARE(seen.size(), answer == CShiftLeaveDlg::HandOverNow ? 2 : 1);
        QCOMPARE(seen.front(), QStringLiteral("ask"));
        QCOMPARE(vorn::Shifts(fx.core()).current_shift("admin") > 0, stillOpen);
        QVERIFY2(fx.shell().statusText().startsWith(status), qPrintable(fx.shell().statusText()));
    }

    void leaveWithoutShiftAsksNothing() {
        int asked = 0;
        leaveRunner() = [&](QDialog&) { return ++asked, int(QDialog::Rejected); };
        for (Leaving why : {Leaving::SwitchUser, Leaving::Close, Leaving::Tab})
            QVERIFY(shiftLeaveCheck(fx.shell(), nullptr, why));
        QVERIFY(scriptedShift() > 0);
        // Another tab of the same program is no leaving of the counter.
        QVERIFY(shiftLeaveCheck(fx.shell(), nullptr, Leaving::Tab));
        QCOMPARE(asked, 0);
    }

    // ---- looked at ------------------------------------------------------------------

    void dialogsFit() {
        QVERIFY(scriptedShift() > 0);
        COpenShiftDlg open(fx.shell());
        CShiftLeaveDlg leave(QStringLiteral("admin"), Leaving::Close);
        const std::pair<QDialog*, QString> dialogs[] = {{&open, QStringLiteral("/tmp/vorn-openshift.png")},
                                                        {&leave, QStringLiteral("/tmp/vorn-shiftleave.png")}};
        for (const auto& [dlg, png] : dialogs) {
            dlg->show();
            QVERIFY(QTest::qWaitForWindowExposed(dlg));
            QVERIFY(dlg->width() <= 1024 && dlg->height() <= 768);
            for (QLabel* l : dlg->findChildren<QLabel*>())
                if (l->isVisible() && !l->text().isEmpty() && !l->wordWrap())
                    QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
            QVERIFY(dlg->grab().save(png));
        }
    }
};

QTEST_MAIN(TestShiftSheet)
#include "test_shiftsheet.moc"

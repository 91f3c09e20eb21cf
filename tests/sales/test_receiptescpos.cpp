// The receipt as an ESC/POS byte stream at 58 mm and 80 mm, checked byte for
// byte against streams written out here line by line; long names and wide
// numbers at the width; the drawer pulse; and the counter with a thermal
// printer that refuses, answers or is not set up right: the sale always stays.
#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/print/rawprinter.h"
#include "kit/print/receiptprinter.h"
#include "paymentdlg.h"
#include "receiptdata.h"
#include "receiptescpos.h"
#include "receiptprint.h"
#include "res/commandids.h"
#include "salefixture.h"
#include "saleinputdlg.h"
#include "saleprintdlg.h"
#include "saleview.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

const QString kSold = QStringLiteral("销售结算成功");

qint64 at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s)).toSecsSinceEpoch();
}

ReceiptData sampleSale() {
    ReceiptData d;
    d.shopName = QStringLiteral("好邻居便利店");
    d.shopPhone = QStringLiteral("010-88886666");
    d.shopAddress = QStringLiteral("北京市海淀区学院路38号");
    d.printAddition = QStringLiteral("凭小票七日内可退换，食品类商品除外。");
    d.cashier = QStringLiteral("张敏");
    d.lines = {
        ReceiptLine{QStringLiteral("农夫山泉天然饮用水550ml"), 3, 1.8, -0.3, 5.4},
        ReceiptLine{QStringLiteral("特级东北五常稻花香大米真空包装家庭实惠装"), 1, 89.9, -10.0, 89.9},
        ReceiptLine{QStringLiteral("康师傅红烧牛肉面"), 5, 4.5, 0.0, 22.5},
        ReceiptLine{QStringLiteral("蒙牛纯牛奶"), 2, 3.5, -0.4, 7.0},
        ReceiptLine{QStringLiteral("可乐"), 12, 3.0, 0.0, 36.0},
    };
    d.paid = 200.0;
    d.memberCode = QStringLiteral("VIP000128");
    return d;
}

QString sp(int n) {
    return QString(n, QLatin1Char(' '));
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray gbkLine(const QString& text) {
    const std::string s = gbk(text);
    return QByteArray(s.data(), qsizetype(s.size())) + '\n';
}

// The stream as a printer must get it: the commands written out as bytes, the
// shop name between them, then the lines.
QByteArray stream(const QString& title, const QStringList& lines, bool drawer) {
    QByteArray out = bytes({0x1B, 0x40, 0x1C, 0x26, 0x1B, 0x61, 0x01, 0x1D, 0x21, 0x01, 0x1C, 0x21, 0x08});
    out += gbkLine(title);
    out += bytes({0x1D, 0x21, 0x00, 0x1C, 0x21, 0x00, 0x1B, 0x61, 0x00});
    for (const QString& l : lines)
        out += gbkLine(l);
    out += bytes({0x1B, 0x64, 0x04, 0x1D, 0x56, 0x01});
    if (drawer) out += bytes({0x1B, 0x70, 0x00, 0x19, 0xFA});
    return out;
}

// The printed lines of a stream, decoded.
QStringList textLines(const QByteArray& stream) {
    QStringList out;
    for (const QByteArray& line : stream.split('\n'))
        out << fromGbk(std::string_view(line.constData(), size_t(line.size())));
    return out;
}

void writeSettings(const ReceiptPrinterSettings& s) {
    QString why;
    QVERIFY2(saveReceiptPrinter(s, receiptPrinterIniPath(), &why), qPrintable(why));
}

ReceiptPrinterSettings networkPrinter(quint16 port, bool drawer = false) {
    ReceiptPrinterSettings s;
    s.kind = ReceiptPrinterSettings::Kind::Network;
    s.address = QStringLiteral("127.0.0.1:%1").arg(port);
    s.openDrawer = drawer;
    return s;
}

quint16 closedPort() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost)) return 0;
    const quint16 port = s.serverPort();
    s.close();
    return port;
}

// A network printer: every job it got, one per connection.
class Printer : public QObject {
public:
    Printer() {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                auto* job = new QByteArray;
                connect(s, &QTcpSocket::readyRead, this, [s, job] { *job += s->readAll(); });
                connect(s, &QTcpSocket::disconnected, this, [this, s, job] {
                    *job += s->readAll();
                    jobs << *job;
                    delete job;
                    s->deleteLater();
                });
            }
        });
    }
    QTcpServer server;
    QList<QByteArray> jobs;
};

const QByteArray kPulse = bytes({0x1B, 0x70, 0x00, 0x19, 0xFA});

} // namespace

class TestReceiptEscPos : public QObject {
    Q_OBJECT

    SaleFixture fx;
    std::unique_ptr<CSaleView> page;
    bool printIt = true;

    int runDialog(QDialog& d) {
        if (auto* p = qobject_cast<CPaymentDlg*>(&d)) {
            p->edit()->setText(QStringLiteral("10"));
            p->onOk();
            return p->result();
        }
        if (auto* p = qobject_cast<CSalePrintDlg*>(&d)) {
            printIt ? p->onPrint() : p->onOk();
            return p->result();
        }
        return QDialog::Rejected;
    }
    void open() {
        page = std::make_unique<CSaleView>(fx.shell());
        page->setDialogRunner([this](QDialog& d) { return runDialog(d); });
        page->initialUpdate();
    }
    void sell(const QString& code) {
        page->inputPanel()->codeEdit()->setText(code);
        page->inputPanel()->quantityEdit()->setText(QStringLiteral("1"));
        page->addToList();
        page->checkout();
    }
    QString status() const { return fx.store.shell->statusText(); }

private slots:
    void init() {
        fx.setUp();
        printIt = true;
        setNowForTests(at(2026, 12, 7, 9, 31, 2));
    }
    void cleanup() {
        QVERIFY(waitForRawSends(10000));
        page.reset();
        setNowForTests(0);
        fx.tearDown();
    }

    // ---- the stream --------------------------------------------------------------

    void receiptAt58mm() {
        const QStringList lines = {
            QStringLiteral("联系电话:010-88886666"),
            QStringLiteral("地址:北京市海淀区学院路38号"),
            QStringLiteral("日期:2026-12-07  收银员:张敏"),
            QStringLiteral("商品名称") + sp(2) + QStringLiteral("数量") + sp(5) + QStringLiteral("单价") +
                sp(5) + QStringLiteral("金额"),
            QStringLiteral("农夫山泉天然饮用水550ml"),
            sp(13) + QStringLiteral("3") + sp(6) + QStringLiteral("1.8") + sp(6) + QStringLiteral("5.4"),
            QStringLiteral("特级东北五常稻花香大米真空包装家"),
            QStringLiteral("庭实惠装"),
            sp(13) + QStringLiteral("1") + sp(5) + QStringLiteral("89.9") + sp(5) + QStringLiteral("89.9"),
            QStringLiteral("康师傅红烧牛肉面"),
            sp(13) + QStringLiteral("5") + sp(6) + QStringLiteral("4.5") + sp(5) + QStringLiteral("22.5"),
            QStringLiteral("蒙牛纯牛奶"),
            sp(13) + QStringLiteral("2") + sp(6) + QStringLiteral("3.5") + sp(6) + QStringLiteral("7.0"),
            QStringLiteral("可乐") + sp(8) + QStringLiteral("12") + sp(6) + QStringLiteral("3.0") + sp(5) +
                QStringLiteral("36.0"),
            QStringLiteral("小计") + sp(6) + QStringLiteral("23件") + sp(8) + QStringLiteral("合计:160.8"),
            QStringLiteral("大写:壹佰陆拾圆捌角整"),
            QStringLiteral("---------交易时刻:09:31---------"),
            QStringLiteral("应收金额:160.8"),
            QStringLiteral("折    扣:-10.7"),
            QStringLiteral("现    金:200.0"),
            QStringLiteral("找    零:39.2"),
            QStringLiteral("会员编号:VIP000128"),
            QStringLiteral("本次积分:160"),
            QStringLiteral("-----------谢谢惠顾！-----------"),
            QStringLiteral("凭小票七日内可退换，食品类商品除"),
            QStringLiteral("外。"),
        };
        QCOMPARE(receiptEscPosText(sampleSale(), now(), kReceiptChars58mm).body, lines);
        const QByteArray got = receiptEscPos(sampleSale(), now(), kReceiptChars58mm, false);
        QCOMPARE(got, stream(QStringLiteral("好邻居便利店"), lines, false));
        for (const QString& l : lines)
            QVERIFY2(gbk(l).size() <= 32, qPrintable(l));

        // Kept to be looked at when asked for.
        const QString keep = qEnvironmentVariable("VORN_ESCPOS_DIR");
        if (!keep.isEmpty()) {
            QFile f(QDir(keep).filePath(QStringLiteral("receipt-58mm.bin")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(got);
        }
    }

    void receiptAt80mm() {
        const QStringList lines = {
            QStringLiteral("联系电话:010-88886666"),
            QStringLiteral("地址:北京市海淀区学院路38号"),
            QStringLiteral("日期:2026-12-07  收银员:张敏"),
            QStringLiteral("商品名称") + sp(18) + QStringLiteral("数量") + sp(5) + QStringLiteral("单价") +
                sp(5) + QStringLiteral("金额"),
            QStringLiteral("农夫山泉天然饮用水550ml") + sp(6) + QStringLiteral("3") + sp(6) +
                QStringLiteral("1.8") + sp(6) + QStringLiteral("5.4"),
            QStringLiteral("特级东北五常稻花香大米真空包装家庭实惠装"),
            sp(29) + QStringLiteral("1") + sp(5) + QStringLiteral("89.9") + sp(5) + QStringLiteral("89.9"),
            QStringLiteral("康师傅红烧牛肉面") + sp(13) + QStringLiteral("5") + sp(6) +
                QStringLiteral("4.5") + sp(5) + QStringLiteral("22.5"),
            QStringLiteral("蒙牛纯牛奶") + sp(19) + QStringLiteral("2") + sp(6) + QStringLiteral("3.5") +
                sp(6) + QStringLiteral("7.0"),
            QStringLiteral("可乐") + sp(24) + QStringLiteral("12") + sp(6) + QStringLiteral("3.0") + sp(5) +
                QStringLiteral("36.0"),
            QStringLiteral("小计") + sp(22) + QStringLiteral("23件") + sp(8) + QStringLiteral("合计:160.8"),
            QStringLiteral("大写:壹佰陆拾圆捌角整"),
            QStringLiteral("-----------------交易时刻:09:31-----------------"),
            QStringLiteral("应收金额:160.8"),
            QStringLiteral("折    扣:-10.7"),
            QStringLiteral("现    金:200.0"),
            QStringLiteral("找    零:39.2"),
            QStringLiteral("会员编号:VIP000128"),
            QStringLiteral("本次积分:160"),
            QStringLiteral("-------------------谢谢惠顾！-------------------"),
            QStringLiteral("凭小票七日内可退换，食品类商品除外。"),
        };
        QCOMPARE(receiptEscPosText(sampleSale(), now(), kReceiptChars80mm).body, lines);
        const QByteArray got = receiptEscPos(sampleSale(), now(), kReceiptChars80mm, false);
        QCOMPARE(got, stream(QStringLiteral("好邻居便利店"), lines, false));
        for (const QString& l : lines)
            QVERIFY2(gbk(l).size() <= 48, qPrintable(l));

        const QString keep = qEnvironmentVariable("VORN_ESCPOS_DIR");
        if (!keep.isEmpty()) {
            QFile f(QDir(keep).filePath(QStringLiteral("receipt-80mm.bin")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(got);
        }
    }

    void longNamesWrapAtTheWidth() {
        ReceiptData d = sampleSale();
        // 31 cells of name fill a 58 mm line but for one; the next character is
        // Chinese and must not be cut in two.
        const QString name = QStringLiteral("X") + QStringLiteral("特级东北五常稻花香大米真空包装") +
                             QStringLiteral("家庭实惠装特级东北五常稻花香大米真空包装家庭实惠装");
        d.lines = {ReceiptLine{name, 1, 2.5, 0.0, 2.5}};
        for (int width : {kReceiptChars58mm, kReceiptChars80mm}) {
            const EscPosReceiptText text = receiptEscPosText(d, now(), width);
            const qsizetype first = text.body.indexOf(
                QStringLiteral("X特级东北五常稻花香大米真空包装") +
                (width == kReceiptChars80mm ? QStringLiteral("家庭实惠装特级东") : QString()));
            QVERIFY2(first > 0, qPrintable(text.body.join(QLatin1Char('|'))));
            QString joined;
            qsizetype i = first;
            for (; i < text.body.size() && joined.size() < name.size(); ++i) {
                QVERIFY2(gbk(text.body[i]).size() <= size_t(width), qPrintable(text.body[i]));
                QVERIFY(!text.body[i].isEmpty());
                joined += text.body[i];
            }
            QCOMPARE(joined, name);
            QCOMPARE(i - first, width == kReceiptChars58mm ? 3 : 2);
            // The numbers follow on a line of their own.
            QCOMPARE(text.body[i].trimmed(), QStringLiteral("1      2.5      2.5"));
        }
        // The shop name wraps too, every piece centred by the printer.
        d.shopName = QStringLiteral("好邻居便利店（学院路旗舰店）二十四小时营业");
        QCOMPARE(
            receiptEscPosText(d, now(), kReceiptChars58mm).title,
            QStringList({QStringLiteral("好邻居便利店（学院路旗舰店）二十"), QStringLiteral("四小时营业")}));
    }

    void numbersWiderThanTheirColumns() {
        ReceiptData d = sampleSale();
        d.lines = {ReceiptLine{QStringLiteral("金条"), 123456789, 99999999.9, 0.0, 999999999.9}};
        d.paid = 1e9;
        for (int width : {kReceiptChars58mm, kReceiptChars80mm}) {
            const EscPosReceiptText text = receiptEscPosText(d, now(), width);
            for (const QString& l : text.body)
                QVERIFY2(gbk(l).size() <= size_t(width), qPrintable(l));
            const QString all = text.body.join(QLatin1Char('\n'));
            for (const char* shown :
                 {"123456789", "99999999.9", "999999999.9", "123456789件", "合计:999999999.9"})
                QVERIFY2(all.contains(QString::fromUtf8(shown)), shown);
        }
        // At 58 mm the three numbers no longer share a line: each ends at its column.
        const QStringList body = receiptEscPosText(d, now(), kReceiptChars58mm).body;
        const qsizetype name = body.indexOf(QStringLiteral("金条"));
        QVERIFY(name > 0);
        QCOMPARE(body[name + 1], sp(5) + QStringLiteral("123456789"));
        QCOMPARE(body[name + 2], sp(13) + QStringLiteral("99999999.9"));
        QCOMPARE(body[name + 3], sp(21) + QStringLiteral("999999999.9"));
    }

    void withoutMemberOrAddition() {
        ReceiptData d = sampleSale();
        d.memberCode.clear();
        d.printAddition.clear();
        const QStringList body = receiptEscPosText(d, now(), kReceiptChars58mm).body;
        QCOMPARE(body.mid(body.size() - 3),
                 QStringList({QStringLiteral("会员编号:"), QStringLiteral("本次积分:0"),
                              QStringLiteral("-----------谢谢惠顾！-----------")}));
        // A shop text of several lines keeps them; none of it is lost.
        d.printAddition = QStringLiteral("退换请保留小票\r\n谢谢");
        const QStringList more = receiptEscPosText(d, now(), kReceiptChars58mm).body;
        QCOMPARE(more.mid(more.size() - 2),
                 QStringList({QStringLiteral("退换请保留小票"), QStringLiteral("谢谢")}));
    }

    void drawerPulseOnlyWhenChosen() {
        const QByteArray without = receiptEscPos(sampleSale(), now(), kReceiptChars58mm, false);
        const QByteArray with = receiptEscPos(sampleSale(), now(), kReceiptChars58mm, true);
        QVERIFY(!without.contains(QByteArray("\x1bp", 2)));
        QCOMPARE(with, without + kPulse);
        QCOMPARE(with.count(QByteArray("\x1bp", 2)), 1);
    }

    // ---- at the counter ----------------------------------------------------------

    void refusedPrinterKeepsTheSale() {
        const quint16 port = closedPort();
        QVERIFY(port != 0);
        writeSettings(networkPrinter(port));
        fx.stock("R", 2, 3.0);
        open();
        sell(QStringLiteral("R"));
        // The sale is written whatever the printer does.
        QCOMPARE(fx.count("FSi_Flag=1"), 1);
        QTRY_VERIFY(status().startsWith(QStringLiteral("小票未打印：")));
        QVERIFY2(status().contains(QStringLiteral("拒绝连接")), qPrintable(status()));
        QVERIFY(status().contains(QStringLiteral("127.0.0.1:%1").arg(port)));
        QVERIFY(fx.shell().statuses.contains(kSold));
        // No box interrupts the cashier, and nothing went to a PDF instead.
        QVERIFY(fx.boxes().shown.isEmpty());
        QVERIFY(!QDir(QStringLiteral("receipts")).exists());
        QCOMPARE(fx.count("FSi_Flag=1"), 1);
        QCOMPARE(fx.count("FSi_Flag=0"), 1);
    }

    void printerBackOnRetriesWithTheDrawer() {
        const quint16 port = closedPort();
        writeSettings(networkPrinter(port, true));
        fx.stock("R", 2, 3.0);
        open();
        sell(QStringLiteral("R"));
        QTRY_VERIFY(status().startsWith(QStringLiteral("小票未打印：")));

        // The printer is switched on at that port; "打印小票" prints the sale,
        // and since its drawer never opened, opens it now ...
        Printer printer;
        printer.server.close();
        QVERIFY(printer.server.listen(QHostAddress::LocalHost, port));
        fx.shell().runGlobal(cmd::PrintReceipt);
        QTRY_COMPARE(printer.jobs.size(), 1);
        QVERIFY(printer.jobs[0].endsWith(kPulse));
        QVERIFY(textLines(printer.jobs[0])
                    .contains(QStringLiteral("小计") + sp(7) + QStringLiteral("1件") + sp(10) +
                              QStringLiteral("合计:3.0")));
        QTRY_COMPARE(status(), receiptPrintedText(QStringLiteral("127.0.0.1:%1").arg(port)));
        // ... but a further reprint of the same sale does not.
        fx.shell().runGlobal(cmd::PrintReceipt);
        QTRY_COMPARE(printer.jobs.size(), 2);
        QVERIFY(!printer.jobs[1].contains(QByteArray("\x1bp", 2)));
        // The next sale opens it again.
        setNowForTests(now() + 60);
        sell(QStringLiteral("R"));
        QTRY_COMPARE(printer.jobs.size(), 3);
        QVERIFY(printer.jobs[2].endsWith(kPulse));
        QCOMPARE(fx.count("FSi_Flag=1"), 2);
    }

    void drawerOpensForASaleWithoutReceipt() {
        Printer printer;
        writeSettings(networkPrinter(printer.server.serverPort(), true));
        fx.stock("R", 2, 3.0);
        open();
        printIt = false;
        sell(QStringLiteral("R"));
        // Only the pulse goes out: no text, no cut.
        QTRY_COMPARE(printer.jobs.size(), 1);
        QCOMPARE(printer.jobs[0], bytes({0x1B, 0x40}) + kPulse);
        // Printing that sale's receipt afterwards does not open the drawer again.
        fx.shell().runGlobal(cmd::PrintReceipt);
        QTRY_COMPARE(printer.jobs.size(), 2);
        QVERIFY(!printer.jobs[1].contains(QByteArray("\x1bp", 2)));

        // Without the drawer option a sale without receipt sends nothing.
        QVERIFY(waitForRawSends(10000));
        writeSettings(networkPrinter(printer.server.serverPort(), false));
        setNowForTests(now() + 60);
        sell(QStringLiteral("R"));
        QVERIFY(waitForRawSends(10000));
        QCoreApplication::processEvents();
        QCOMPARE(printer.jobs.size(), 2);
        QCOMPARE(fx.count("FSi_Flag=1"), 2);
    }

    void printedReceiptLeavesTheSaleSentence() {
        Printer printer;
        ReceiptPrinterSettings s = networkPrinter(printer.server.serverPort());
        s.width = kReceiptChars80mm;
        writeSettings(s);
        fx.core().set_shop_name(gbk(QStringLiteral("好邻居")).c_str());
        fx.stock("R", 1, 3.0);
        open();
        sell(QStringLiteral("R"));
        QTRY_COMPARE(printer.jobs.size(), 1);
        QVERIFY(waitForRawSends(10000));
        QCoreApplication::processEvents();
        QCOMPARE(status(), kSold);
        const QStringList printed = textLines(printer.jobs[0]);
        QVERIFY(printed.contains(QStringLiteral("日期:2026-12-07  收银员:admin")));
        QVERIFY(printed.contains(QStringLiteral("-----------------交易时刻:09:31-----------------")));
        QVERIFY(!printer.jobs[0].contains(QByteArray("\x1bp", 2)));
        QVERIFY(!QDir(QStringLiteral("receipts")).exists());
    }

    void unusableSettingsAreSaid() {
        ReceiptPrinterSettings s;
        s.kind = ReceiptPrinterSettings::Kind::Device;
        writeSettings(s); // no path
        fx.stock("R", 1, 3.0);
        open();
        sell(QStringLiteral("R"));
        QCOMPARE(fx.count("FSi_Flag=1"), 1);
        QVERIFY2(status().contains(QStringLiteral("请输入打印机的设备路径")), qPrintable(status()));

        // The printing call says so in the status bar and in its outcome.
        fx.shell().statuses.clear();
        const PrintOutcome out = printReceipt(fx.shell(), sampleSale(), now());
        QVERIFY(!out.ok);
        QCOMPARE(out.error, QStringLiteral("请输入打印机的设备路径，例如 /dev/usb/lp0"));
        QCOMPARE(fx.shell().statuses, QStringList({receiptNotPrintedText(out.error)}));
        QVERIFY(out.pdfPath.isEmpty());
        QVERIFY(!QDir(QStringLiteral("receipts")).exists());
    }

    void missingDeviceIsSaid() {
        ReceiptPrinterSettings s;
        s.kind = ReceiptPrinterSettings::Kind::Device;
        s.devicePath = QDir::current().absoluteFilePath(QStringLiteral("lp0"));
        writeSettings(s);
        fx.stock("R", 1, 3.0);
        open();
        sell(QStringLiteral("R"));
        QTRY_VERIFY(status().startsWith(QStringLiteral("小票未打印：")));
        QVERIFY(status().contains(QStringLiteral("找不到打印机设备")));
        QVERIFY(!QFile::exists(s.devicePath));
        QCOMPARE(fx.count("FSi_Flag=1"), 1);

        // With a file standing in for the printer, the retry goes there.
        {
            QFile f(s.devicePath);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        fx.shell().runGlobal(cmd::PrintReceipt);
        QTRY_COMPARE(status(), receiptPrintedText(s.devicePath));
        QFile f(s.devicePath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().endsWith(bytes({0x1B, 0x64, 0x04, 0x1D, 0x56, 0x01})));
    }
};

QTEST_MAIN(TestReceiptEscPos)
#include "test_receiptescpos.moc"

// ESC/POS documents byte for byte, line wrapping at a printer's width, printer
// addresses, the receipt printer's test page, and sending raw bytes: to a TCP
// listener, to a plain file and a FIFO standing in for the device, to a closed
// port and to paths that are missing.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "kit/print/escpos.h"
#include "kit/text/gbk.h"
#include "kit/print/rawprinter.h"
#include "kit/print/receiptprinter.h"

using namespace vorn::ui;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray gbkBytes(const QString& text) {
    const std::string s = gbk(text);
    return QByteArray(s.data(), qsizetype(s.size()));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Everything one client sends, until it closes.
class Listener : public QObject {
public:
    Listener() {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                ++connections;
                connect(s, &QTcpSocket::readyRead, this, [this, s] { received += s->readAll(); });
                connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    received += s->readAll();
                    ++closed;
                    s->deleteLater();
                });
            }
        });
    }
    quint16 port() const { return server.serverPort(); }

    QTcpServer server;
    QByteArray received;
    int connections = 0;
    int closed = 0;
};

// A port on this machine that nobody listens on.
quint16 closedPort() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost)) return 0;
    const quint16 port = s.serverPort();
    s.close();
    return port;
}

QByteArray pattern(int size) {
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char((i * 7 + i / 251) & 0xFF);
    return out;
}

} // namespace

class TestEscPos : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }
    void cleanup() {
        QVERIFY(waitForRawSends(10000));
        dir.reset();
    }

    // ---- the document ------------------------------------------------------------

    void commandsAreTheirBytes() {
        EscPosDoc doc;
        doc.init().chineseMode().align(EscPosDoc::Align::Center).doubleHeight(true);
        doc.doubleHeight(false).align(EscPosDoc::Align::Right).align(EscPosDoc::Align::Left);
        doc.feed(3).cut(EscPosDoc::Cut::Full).cut(EscPosDoc::Cut::Partial).drawerPulse();
        doc.drawerPulse(1, 50, 100).chineseMode(false).feed(300).raw(bytes({0x10, 0x04, 0x01}));
        const QByteArray expected = bytes({0x1B, 0x40,                         // ESC @
                                           0x1C, 0x26,                         // FS &
                                           0x1B, 0x61, 0x01,                   // ESC a 1
                                           0x1D, 0x21, 0x01, 0x1C, 0x21, 0x08, // GS ! 1, FS ! 8
                                           0x1D, 0x21, 0x00, 0x1C, 0x21, 0x00, // both off
                                           0x1B, 0x61, 0x02, 0x1B, 0x61, 0x00, // right, left
                                           0x1B, 0x64, 0x03,                   // ESC d 3
                                           0x1D, 0x56, 0x00, 0x1D, 0x56, 0x01, // GS V 0, GS V 1
                                           0x1B, 0x70, 0x00, 25,   250,        // ESC p 0 25 250
                                           0x1B, 0x70, 0x01, 50,   100,        // ESC p 1 50 100
                                           0x1C, 0x2E,                         // FS .
                                           0x1B, 0x64, 0xFF,                   // a feed of 300 is 255
                                           0x10, 0x04, 0x01});
        QCOMPARE(doc.bytes(), expected);
    }

    void textIsGbkAndNeverACommand() {
        EscPosDoc doc;
        doc.text(QStringLiteral("店A")).line(QStringLiteral("价1.5")).line();
        QCOMPARE(doc.bytes(), bytes({0xB5, 0xEA, 'A', 0xBC, 0xDB, '1', '.', '5', 0x0A, 0x0A}));

        // A name with ESC, GS and a line break in it prints blanks, never a cut.
        EscPosDoc evil;
        evil.line(QStringLiteral("A\x1b"
                                 "d\x1dV\x01\nB\x7f"));
        QCOMPARE(evil.bytes(), QByteArray("A d V  B \n"));

        // Characters GBK cannot hold print as '?', the rest as it is.
        EscPosDoc emoji;
        emoji.text(QStringLiteral("茶") + QString::fromUcs4(U"\U0001F375") + QStringLiteral("x"));
        QCOMPARE(emoji.bytes(), gbkBytes(QStringLiteral("茶")) + "?x");
    }

    void cellsAreGbkBytes() {
        QCOMPARE(escPosCells(QStringLiteral("可乐550ml")), 9);
        QCOMPARE(escPosCells(QString()), 0);
        QCOMPARE(escPosCells(QString::fromUcs4(U"\U0001F375")), 2);
    }

    void wrapsAtTheWidthNeverInsideACharacter() {
        // An odd start: the sixteenth Chinese character no longer fits 32 cells.
        const QString name = QStringLiteral("A特级东北五常稻花香大米真空包装家庭实惠装");
        const QStringList lines = wrapCells(name, 32);
        QCOMPARE(lines, QStringList({QStringLiteral("A特级东北五常稻花香大米真空包装"),
                                     QStringLiteral("家庭实惠装")}));
        for (const QString& l : lines)
            QVERIFY(escPosCells(l) <= 32);

        // Words stay whole; the blank where a line ends goes.
        QCOMPARE(wrapCells(QStringLiteral("Coca Cola Zero 330ml"), 10),
                 QStringList({QStringLiteral("Coca Cola"), QStringLiteral("Zero 330ml")}));
        // A word longer than a line is cut where the line is full.
        QCOMPARE(wrapCells(QStringLiteral("ABCDEFGHIJKLM"), 5),
                 QStringList({QStringLiteral("ABCDE"), QStringLiteral("FGHIJ"), QStringLiteral("KLM")}));
        // Chinese and Latin mixed: "天然" no longer fits after "550ml ".
        QCOMPARE(wrapCells(QStringLiteral("水550ml 天然"), 8),
                 QStringList({QStringLiteral("水550ml"), QStringLiteral("天然")}));
        // Breaks are kept, empty lines too; an empty text is one empty line.
        QCOMPARE(wrapCells(QStringLiteral("一\n\n二"), 8),
                 QStringList({QStringLiteral("一"), QString(), QStringLiteral("二")}));
        QCOMPARE(wrapCells(QString(), 8), QStringList({QString()}));
        // Leading blanks of the first line are the text's own.
        QCOMPARE(wrapCells(QStringLiteral("  价"), 8), QStringList({QStringLiteral("  价")}));
    }

    // ---- addresses ---------------------------------------------------------------

    void printerAddresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("ip and port") << "192.168.1.100:9100" << true << "192.168.1.100" << 9100;
        QTest::newRow("default port") << " printer.local " << true << "printer.local" << 9100;
        QTest::newRow("other port") << "10.0.0.5:515" << true << "10.0.0.5" << 515;
        QTest::newRow("bracketed v6") << "[fe80::1]:9101" << true << "fe80::1" << 9101;
        QTest::newRow("bare v6") << "::1" << true << "::1" << 9100;
        QTest::newRow("empty") << "  " << false << "" << 0;
        QTest::newRow("no host") << ":9100" << false << "" << 0;
        QTest::newRow("no port after colon") << "10.0.0.5:" << false << "" << 0;
        QTest::newRow("port zero") << "10.0.0.5:0" << false << "" << 0;
        QTest::newRow("port too big") << "10.0.0.5:65536" << false << "" << 0;
        QTest::newRow("port letters") << "10.0.0.5:91a" << false << "" << 0;
        QTest::newRow("blank in host") << "my printer:9100" << false << "" << 0;
        QTest::newRow("two colons") << "a:1:2" << false << "" << 0;
        QTest::newRow("open bracket") << "[::1:9100" << false << "" << 0;
    }
    void printerAddresses() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, host);
        QFETCH(int, port);
        QString gotHost = QStringLiteral("unchanged");
        quint16 gotPort = 1;
        QString why;
        QCOMPARE(parsePrinterAddress(text, gotHost, gotPort, &why), ok);
        if (ok) {
            QCOMPARE(gotHost, host);
            QCOMPARE(int(gotPort), port);
            QCOMPARE(why, QString());
        } else {
            QVERIFY(!why.isEmpty());
            QCOMPARE(gotHost, QStringLiteral("unchanged"));
            QCOMPARE(int(gotPort), 1);
        }
    }

    void targetsDescribeThemselves() {
        QCOMPARE(RawTarget::deviceAt(QStringLiteral("/dev/usb/lp0")).describe(),
                 QStringLiteral("/dev/usb/lp0"));
        QCOMPARE(RawTarget::network(QStringLiteral("10.0.0.5")).describe(), QStringLiteral("10.0.0.5:9100"));
        QCOMPARE(RawTarget::network(QStringLiteral("::1"), 9101).describe(), QStringLiteral("[::1]:9101"));
    }

    // ---- the test page -----------------------------------------------------------

    void testPageFitsTheWidth() {
        for (int width : {kReceiptChars58mm, kReceiptChars80mm}) {
            for (bool drawer : {false, true}) {
                ReceiptPrinterSettings s;
                s.kind = ReceiptPrinterSettings::Kind::Network;
                s.address = QStringLiteral("10.0.0.5");
                s.width = width;
                s.openDrawer = drawer;
                const QByteArray page = receiptTestPage(s, 1765000000);
                QVERIFY(page.startsWith(bytes({0x1B, 0x40, 0x1C, 0x26})));
                QByteArray ruler;
                for (int i = 1; i <= width; ++i)
                    ruler.append(char('0' + i % 10));
                QVERIFY(page.contains("\n" + ruler + "\n"));
                QVERIFY(!page.contains(ruler + "1"));
                QVERIFY(page.contains(gbkBytes(QStringLiteral("打印机:10.0.0.5:9100\n"))));
                QVERIFY(page.contains(gbkBytes(paperWidthName(width))));
                const QByteArray cut = bytes({0x1B, 0x64, 0x04, 0x1D, 0x56, 0x01});
                const QByteArray pulse = bytes({0x1B, 0x70, 0x00, 25, 250});
                QCOMPARE(page.endsWith(cut + pulse), drawer);
                QCOMPARE(page.endsWith(cut), !drawer);
                // Every printed line keeps to the width.
                for (const QByteArray& line : page.split('\n'))
                    if (!line.contains('\x1b') && !line.contains('\x1d'))
                        QVERIFY2(line.size() <= width, line);
            }
        }
    }

    // ---- sending -----------------------------------------------------------------

    void sendsEveryByteToATcpListener() {
        Listener printer;
        // More than one socket buffer, so the write waits for the reader.
        const QByteArray data = pattern(3 * 1024 * 1024 + 17);
        std::optional<SendResult> got;
        QObject context; // the callbacks go with this function's locals
        sendRawAsync(&context, RawTarget::network(QStringLiteral("127.0.0.1"), printer.port()), data,
                     [&got](const SendResult& r) { got = r; });
        QTRY_VERIFY_WITH_TIMEOUT(got.has_value() && printer.closed == 1, 15000);
        QVERIFY2(got->ok, qPrintable(got->error));
        QCOMPARE(got->written, qint64(data.size()));
        QCOMPARE(printer.connections, 1);
        QCOMPARE(printer.received.size(), data.size());
        QVERIFY(printer.received == data);
    }

    void sendsInTheOrderAsked() {
        Listener printer;
        QStringList done;
        QObject context;
        for (const char* part : {"first|", "second|", "third|"})
            sendRawAsync(&context, RawTarget::network(QStringLiteral("localhost"), printer.port()),
                         QByteArray(part), [&done, part](const SendResult& r) {
                             done << QString::fromLatin1(part) + (r.ok ? QString() : r.error);
                         });
        QTRY_VERIFY_WITH_TIMEOUT(done.size() == 3 && printer.closed == 3, 15000);
        QCOMPARE(done, QStringList({"first|", "second|", "third|"}));
        QCOMPARE(printer.received, QByteArray("first|second|third|"));
    }

    void refusedConnectionIsReported() {
        const quint16 port = closedPort();
        QVERIFY(port != 0);
        const SendResult r = sendRaw(RawTarget::network(QStringLiteral("127.0.0.1"), port), "x");
        QVERIFY(!r.ok);
        QCOMPARE(r.written, 0);
        QVERIFY2(r.error.contains(QStringLiteral("拒绝连接")), qPrintable(r.error));
        QVERIFY(r.error.contains(QStringLiteral("127.0.0.1:%1").arg(port)));
    }

    void unknownHostIsReported() {
        const SendResult r = sendRaw(RawTarget::network(QStringLiteral("no-such-printer.invalid")), "x");
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("no-such-printer.invalid")), qPrintable(r.error));
    }

    void writesToAPlainFileInPlaceOfTheDevice() {
        const QString path = dir->filePath(QStringLiteral("lp0"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QByteArray first = pattern(200000);
        const SendResult r = sendRaw(RawTarget::deviceAt(path), first);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.written, qint64(first.size()));
        QVERIFY(readFile(path) == first);
        // A second job follows the first, as on paper.
        std::optional<SendResult> got;
        QObject context;
        sendRawAsync(&context, RawTarget::deviceAt(path), "next", [&got](const SendResult& x) { got = x; });
        QTRY_VERIFY(got.has_value());
        QVERIFY(got->ok);
        QVERIFY(readFile(path) == first + "next");
    }

    void missingDeviceIsReportedAndNotCreated() {
        const QString path = dir->filePath(QStringLiteral("usb/lp9"));
        for (const QString& p : {path, dir->filePath(QStringLiteral("lp9"))}) {
            const SendResult r = sendRaw(RawTarget::deviceAt(p), "x");
            QVERIFY(!r.ok);
            QVERIFY2(r.error.contains(QStringLiteral("找不到打印机设备")), qPrintable(r.error));
            QVERIFY(r.error.contains(p));
            QVERIFY(!QFile::exists(p));
        }
        const SendResult folder = sendRaw(RawTarget::deviceAt(dir->path()), "x");
        QVERIFY(!folder.ok);
        QVERIFY2(folder.error.contains(QStringLiteral("文件夹")), qPrintable(folder.error));
        const SendResult empty = sendRaw(RawTarget::deviceAt(QString()), "x");
        QVERIFY(!empty.ok);
        QVERIFY(!empty.error.isEmpty());
    }

    void deviceWithoutPermissionIsReported() {
        if (geteuid() == 0) QSKIP("root may write any file");
        const QString path = dir->filePath(QStringLiteral("lp0"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        const SendResult r = sendRaw(RawTarget::deviceAt(path), "x");
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("权限")), qPrintable(r.error));
    }

    void printerThatIsOffOrStuck() {
        // A FIFO nobody reads from stands for a printer that is not there ...
        const QString path = dir->filePath(QStringLiteral("fifo"));
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        const SendResult off = sendRaw(RawTarget::deviceAt(path), "x");
        QVERIFY(!off.ok);
        QVERIFY2(off.error.contains(QStringLiteral("未连接或未开机")), qPrintable(off.error));

        // ... and, opened but never read, for one that takes no more bytes: the
        // send gives up at its limit with what got through.
        const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        SendLimits limits;
        limits.totalMs = 300;
        const QByteArray data = pattern(4 * 1024 * 1024);
        const SendResult stuck = sendRaw(RawTarget::deviceAt(path), data, limits);
        ::close(reader);
        QVERIFY(!stuck.ok);
        QVERIFY2(stuck.error.contains(QStringLiteral("未接收数据")), qPrintable(stuck.error));
        QVERIFY(stuck.written > 0 && stuck.written < data.size());
    }

    void resultOfAGoneContextIsDropped() {
        Listener printer;
        bool called = false;
        auto* context = new QObject;
        sendRawAsync(context, RawTarget::network(QStringLiteral("127.0.0.1"), printer.port()), "bytes",
                     [&called](const SendResult&) { called = true; });
        delete context;
        QTRY_COMPARE(printer.received, QByteArray("bytes"));
        QVERIFY(waitForRawSends(10000));
        QCoreApplication::processEvents();
        QVERIFY(!called);
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_MAIN(TestEscPos)
#include "test_escpos.moc"

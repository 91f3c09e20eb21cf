// The receipt printer settings: their round trip through "receiptprinter.ini"
// beside the store, what the dialog checks before it saves, its test page sent
// to a listener, and the shop page's command around it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStyleFactory>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "kit/text/clock.h"
#include "kit/print/rawprinter.h"
#include "kit/print/receiptprinter.h"
#include "receiptprinterdlg.h"
#include "res/commandids.h"
#include "res/vornres.h"
#include "shopview.h"
#include "storefixture.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;
using Kind = ReceiptPrinterSettings::Kind;

namespace {

ReceiptPrinterSettings make(Kind kind, const QString& device, const QString& address, int width,
                            bool drawer) {
    ReceiptPrinterSettings s;
    s.kind = kind;
    s.devicePath = device;
    s.address = address;
    s.width = width;
    s.openDrawer = drawer;
    return s;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The program's look for the picture: Fusion, a Chinese font, the style sheet.
void applyProgramLook() {
    vornInitResources();
    QFile qss(QStringLiteral(":/style/office2010blue.qss"));
    QVERIFY(qss.open(QIODevice::ReadOnly));
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty()) {
        QFont f(chinese.contains(QStringLiteral("WenQuanYi Micro Hei"))
                    ? QStringLiteral("WenQuanYi Micro Hei")
                    : chinese.first());
        f.setPixelSize(12);
        QApplication::setFont(f);
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    qApp->setStyleSheet(QString::fromUtf8(qss.readAll()));
}

// One connection's bytes, until it closes.
class Printer : public QObject {
public:
    Printer() {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { received += s->readAll(); });
                connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    received += s->readAll();
                    ++jobs;
                    s->deleteLater();
                });
            }
        });
    }
    QTcpServer server;
    QByteArray received;
    int jobs = 0;
};

} // namespace

class TestReceiptPrinterDlg : public QObject {
    Q_OBJECT

    StoreFixture fx;
    QString ini() const { return receiptPrinterIniPath(); }

private slots:
    void initTestCase() { applyProgramLook(); }
    void init() {
        fx.setUp();
        setNowForTests(QDateTime(QDate(2026, 12, 7), QTime(9, 31, 2)).toSecsSinceEpoch());
    }
    void cleanup() {
        QVERIFY(waitForRawSends(10000));
        setNowForTests(0);
        fx.tearDown();
    }

    // ---- the file ----------------------------------------------------------------

    void settingsRoundTripThroughTheIni() {
        // Beside the store, in the program's current directory.
        QCOMPARE(QFileInfo(ini()).absoluteDir(), QFileInfo(QStringLiteral("__vorn__")).absoluteDir());
        QVERIFY(QFile::exists(QStringLiteral("__vorn__")));

        // Nothing written yet: the system printer, 58 mm, no drawer.
        QCOMPARE(loadReceiptPrinter(), ReceiptPrinterSettings());
        QCOMPARE(loadReceiptPrinter().kind, Kind::System);

        const QList<ReceiptPrinterSettings> all = {
            make(Kind::Device, QStringLiteral("/dev/usb/lp0"), QString(), kReceiptChars58mm, true),
            make(Kind::Network, QStringLiteral("/dev/usb/lp0"), QStringLiteral("192.168.1.100:9100"),
                 kReceiptChars80mm, false),
            make(Kind::System, QString(), QStringLiteral("printer.local"), kReceiptChars80mm, true),
        };
        for (const ReceiptPrinterSettings& s : all) {
            QString why;
            QVERIFY2(saveReceiptPrinter(s, ini(), &why), qPrintable(why));
            QCOMPARE(loadReceiptPrinter(), s);
        }
        const QByteArray text = readFile(ini());
        QVERIFY(text.contains("[ReceiptPrinter]"));
        QVERIFY(text.contains("Kind=system"));
        QVERIFY(text.contains("Width=48"));
    }

    void oddFileContentsReadAsDefaults() {
        QFile f(ini());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[ReceiptPrinter]\nKind=laser\nWidth=40\nOpenDrawer=maybe\nDevice= /dev/usb/lp1 \n");
        f.close();
        const ReceiptPrinterSettings s = loadReceiptPrinter();
        QCOMPARE(s.kind, Kind::System);
        QCOMPARE(s.width, kReceiptChars58mm);
        QVERIFY(!s.openDrawer);
        QCOMPARE(s.devicePath, QStringLiteral("/dev/usb/lp1"));
    }

    void unwritableFileIsReported() {
        QFile blocker(fx.path(QStringLiteral("notafolder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = fx.path(QStringLiteral("notafolder/receiptprinter.ini"));
        QString why;
        QVERIFY(!saveReceiptPrinter(make(Kind::Device, QStringLiteral("/dev/usb/lp0"), {}, 32, false), path,
                                    &why));
        QVERIFY(why.contains(QStringLiteral("notafolder")));
    }

    void problemsOfTheSettings_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("problem"); // a part of the message; empty: usable
        QTest::newRow("system") << int(Kind::System) << ""
                                << ""
                                << "";
        QTest::newRow("device") << int(Kind::Device) << "/dev/usb/lp0"
                                << ""
                                << "";
        QTest::newRow("device empty") << int(Kind::Device) << "  "
                                      << ""
                                      << "设备路径";
        QTest::newRow("the store") << int(Kind::Device) << "__vorn__"
                                   << ""
                                   << "数据文件";
        QTest::newRow("a backup") << int(Kind::Device) << "/home/shop/2026.vorndb"
                                  << ""
                                  << "数据文件";
        QTest::newRow("network") << int(Kind::Network) << ""
                                 << "10.0.0.5:9100"
                                 << "";
        QTest::newRow("network no port") << int(Kind::Network) << ""
                                         << "10.0.0.5"
                                         << "";
        QTest::newRow("network empty") << int(Kind::Network) << ""
                                       << ""
                                       << "网络地址";
        QTest::newRow("bad port") << int(Kind::Network) << ""
                                  << "10.0.0.5:99999"
                                  << "1到65535";
        QTest::newRow("port not a number") << int(Kind::Network) << ""
                                           << "10.0.0.5:lp"
                                           << "1到65535";
    }
    void problemsOfTheSettings() {
        QFETCH(int, kind);
        QFETCH(QString, device);
        QFETCH(QString, address);
        QFETCH(QString, problem);
        const QString got = receiptPrinterProblem(make(Kind(kind), device, address, 32, false));
        if (problem.isEmpty())
            QCOMPARE(got, QString());
        else
            QVERIFY2(got.contains(problem), qPrintable(got));
    }

    // ---- the dialog --------------------------------------------------------------

    void dialogShowsAndSavesTheSettings() {
        QVERIFY(saveReceiptPrinter(make(Kind::Device, QStringLiteral("/dev/usb/lp1"), {}, 48, true)));
        CReceiptPrinterDlg dlg(*fx.shell);
        QVERIFY(dlg.deviceRadio()->isChecked());
        QCOMPARE(dlg.deviceEdit()->text(), QStringLiteral("/dev/usb/lp1"));
        QCOMPARE(dlg.widthCombo()->currentText(), QStringLiteral("80mm(48字)"));
        QVERIFY(dlg.drawerCheck()->isChecked());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("小票打印机"));

        dlg.networkRadio()->setChecked(true);
        dlg.addressEdit()->setText(QStringLiteral(" 192.168.1.100:9100 "));
        dlg.widthCombo()->setCurrentIndex(0);
        dlg.drawerCheck()->setChecked(false);
        dlg.save();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(fx.shell->failures.isEmpty());
        QCOMPARE(loadReceiptPrinter(), make(Kind::Network, QStringLiteral("/dev/usb/lp1"),
                                            QStringLiteral("192.168.1.100:9100"), 32, false));
    }

    void fieldsFollowTheChoice() {
        CReceiptPrinterDlg dlg(*fx.shell);
        QVERIFY(dlg.systemRadio()->isChecked());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 dlg.deviceEdit(), dlg.addressEdit(), dlg.widthCombo(), dlg.drawerCheck(), dlg.testButton()})
            QVERIFY(!w->isEnabled());
        dlg.deviceRadio()->setChecked(true);
        QVERIFY(dlg.deviceEdit()->isEnabled());
        QVERIFY(!dlg.addressEdit()->isEnabled());
        QVERIFY(dlg.widthCombo()->isEnabled() && dlg.drawerCheck()->isEnabled() &&
                dlg.testButton()->isEnabled());
        dlg.networkRadio()->setChecked(true);
        QVERIFY(!dlg.deviceEdit()->isEnabled());
        QVERIFY(dlg.addressEdit()->isEnabled());
    }

    void wrongInputIsRefused_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("no path") << "device"
                                 << ""
                                 << "请输入打印机的设备路径，例如 /dev/usb/lp0";
        QTest::newRow("no address") << "network"
                                    << " "
                                    << "请输入打印机的网络地址，例如 192.168.1.100:9100";
        QTest::newRow("bad port") << "network"
                                  << "10.0.0.5:70000"
                                  << "端口\"70000\"不正确，应为1到65535之间的数字";
        QTest::newRow("no host") << "network"
                                 << ":9100"
                                 << "请在端口前填写打印机的主机名或IP地址";
    }
    void wrongInputIsRefused() {
        QFETCH(QString, radio);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QVERIFY(saveReceiptPrinter(make(Kind::System, {}, {}, 32, false)));
        const QByteArray before = readFile(ini());
        CReceiptPrinterDlg dlg(*fx.shell);
        dlg.findChild<QRadioButton*>(radio)->setChecked(true);
        (radio == QLatin1String("device") ? dlg.deviceEdit() : dlg.addressEdit())->setText(text);
        dlg.save();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(fx.shell->failures, QStringList({message}));
        QCOMPARE(readFile(ini()), before);
    }

    void testPageGoesToThePrinterOnTheForm() {
        Printer printer;
        CReceiptPrinterDlg dlg(*fx.shell);
        dlg.networkRadio()->setChecked(true);
        dlg.addressEdit()->setText(QStringLiteral("127.0.0.1:%1").arg(printer.server.serverPort()));
        dlg.widthCombo()->setCurrentIndex(1);
        dlg.printTestPage();
        QVERIFY(!dlg.testButton()->isEnabled()); // once at a time
        QTRY_VERIFY(dlg.testResult()->text().startsWith(QStringLiteral("测试页已发送")));
        QTRY_COMPARE(printer.jobs, 1);
        QCOMPARE(printer.received, receiptTestPage(dlg.settings(), now()));
        QVERIFY(dlg.testButton()->isEnabled());
        // The test prints; it saves nothing.
        QVERIFY(!QFile::exists(ini()));
        QCOMPARE(dlg.result(), 0);
    }

    void testPageFailuresShowInTheDialog() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        CReceiptPrinterDlg dlg(*fx.shell);
        dlg.networkRadio()->setChecked(true);
        dlg.addressEdit()->setText(QStringLiteral("127.0.0.1:%1").arg(port));
        dlg.printTestPage();
        QTRY_VERIFY(dlg.testResult()->text().startsWith(QStringLiteral("测试页未打印：")));
        QVERIFY(dlg.testResult()->text().contains(QStringLiteral("拒绝连接")));

        dlg.deviceRadio()->setChecked(true);
        dlg.deviceEdit()->setText(fx.path(QStringLiteral("lp7")));
        dlg.printTestPage();
        QTRY_VERIFY(dlg.testResult()->text().contains(QStringLiteral("找不到打印机设备")));

        // What the form cannot use is said at once, nothing sent.
        dlg.deviceEdit()->clear();
        dlg.printTestPage();
        QCOMPARE(dlg.testResult()->text(),
                 QStringLiteral("测试页未打印：请输入打印机的设备路径，例如 /dev/usb/lp0"));
        QVERIFY(fx.shell->failures.isEmpty());
    }

    void pictureOfTheDialog() {
        const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        if (dir.isEmpty()) QSKIP("VORN_SCREENSHOT_DIR not set");
        QVERIFY(saveReceiptPrinter(make(Kind::Network, QStringLiteral("/dev/usb/lp0"),
                                        QStringLiteral("192.168.1.100:9100"), 32, true)));
        CReceiptPrinterDlg dlg(*fx.shell);
        dlg.testResult()->setText(QStringLiteral("测试页已发送到\"192.168.1.100:9100\"，请查看打印效果。"));
        dlg.testResult()->setStyleSheet(QStringLiteral("color: #1d6b2c;"));
        dlg.show();
        QVERIFY(dlg.grab().save(QDir(dir).filePath(QStringLiteral("receipt-printer.png"))));
    }

    // ---- the shop page's command ---------------------------------------------------

    void shopPageCommand() {
        CShopView page(*fx.shell);
        page.initialUpdate();
        QVERIFY(page.isCommandEnabled(cmd::ReceiptPrinter));

        bool save = false;
        int runs = 0;
        page.setDialogRunner([&](QDialog& d) {
            ++runs;
            auto* dlg = qobject_cast<CReceiptPrinterDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            if (!save) {
                dlg->reject();
                return dlg->result();
            }
            dlg->deviceRadio()->setChecked(true);
            dlg->deviceEdit()->setText(QStringLiteral("/dev/usb/lp0"));
            dlg->save();
            return dlg->result();
        });
        QVERIFY(page.onCommand(cmd::ReceiptPrinter));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"小票打印机\"设置操作"));
        QVERIFY(!QFile::exists(ini()));

        save = true;
        QVERIFY(page.onCommand(cmd::ReceiptPrinter));
        QCOMPARE(runs, 2);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("小票打印机设置成功"));
        QCOMPARE(loadReceiptPrinter().kind, Kind::Device);
        QCOMPARE(loadReceiptPrinter().devicePath, QStringLiteral("/dev/usb/lp0"));
    }
};

QTEST_MAIN(TestReceiptPrinterDlg)
#include "test_receiptprinterdlg.moc"

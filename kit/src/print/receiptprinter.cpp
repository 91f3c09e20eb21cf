#include "kit/print/receiptprinter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "kit/print/escpos.h"

namespace vorn::ui {

namespace {

const QString kGroup = QStringLiteral("ReceiptPrinter");
const QString kKind = QStringLiteral("Kind");
const QString kDevice = QStringLiteral("Device");
const QString kAddress = QStringLiteral("Address");
const QString kWidth = QStringLiteral("Width");
const QString kDrawer = QStringLiteral("OpenDrawer");

QString kindName(ReceiptPrinterSettings::Kind kind) {
    switch (kind) {
    case ReceiptPrinterSettings::Kind::Device:
        return QStringLiteral("device");
    case ReceiptPrinterSettings::Kind::Network:
        return QStringLiteral("network");
    case ReceiptPrinterSettings::Kind::System:
        break;
    }
    return QStringLiteral("system");
}

// The store and its backups are files a printer path must never name: the
// printer's bytes are appended to whatever the path is.
bool isStoreFile(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    return name == QLatin1String("__vorn__") || name == QLatin1String(".__vorn__") ||
           name.endsWith(QLatin1String(".vorndb"), Qt::CaseInsensitive) ||
           (info.exists() &&
            info.canonicalFilePath() == QFileInfo(QStringLiteral("__vorn__")).canonicalFilePath());
}

} // namespace

QString receiptPrinterIniPath() {
    return QDir::current().absoluteFilePath(QStringLiteral("receiptprinter.ini"));
}

ReceiptPrinterSettings loadReceiptPrinter(const QString& iniPath) {
    ReceiptPrinterSettings s;
    if (!QFileInfo::exists(iniPath)) return s;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(kGroup);
    const QString kind = ini.value(kKind).toString().trimmed().toLower();
    if (kind == kindName(ReceiptPrinterSettings::Kind::Device))
        s.kind = ReceiptPrinterSettings::Kind::Device;
    else if (kind == kindName(ReceiptPrinterSettings::Kind::Network))
        s.kind = ReceiptPrinterSettings::Kind::Network;
    s.devicePath = ini.value(kDevice).toString().trimmed();
    s.address = ini.value(kAddress).toString().trimmed();
    s.width = ini.value(kWidth).toInt() == kReceiptChars80mm ? kReceiptChars80mm : kReceiptChars58mm;
    const QString drawer = ini.value(kDrawer).toString().trimmed().toLower();
    s.openDrawer = drawer == QLatin1String("true") || drawer == QLatin1String("1");
    ini.endGroup();
    return s;
}

bool saveReceiptPrinter(const ReceiptPrinterSettings& settings, const QString& iniPath, QString* why) {
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(kGroup);
    ini.setValue(kKind, kindName(settings.kind));
    ini.setValue(kDevice, settings.devicePath.trimmed());
    ini.setValue(kAddress, settings.address.trimmed());
    ini.setValue(kWidth, settings.width == kReceiptChars80mm ? kReceiptChars80mm : kReceiptChars58mm);
    ini.setValue(kDrawer, settings.openDrawer);
    ini.endGroup();
    ini.sync();
    if (ini.status() == QSettings::NoError) return true;
    if (why)
        *why = QStringLiteral("无法写入文件\"%1\"，请检查该文件夹的写入权限")
                   .arg(QDir::toNativeSeparators(iniPath));
    return false;
}

QString receiptPrinterProblem(const ReceiptPrinterSettings& settings) {
    switch (settings.kind) {
    case ReceiptPrinterSettings::Kind::System:
        return QString();
    case ReceiptPrinterSettings::Kind::Device: {
        const QString path = settings.devicePath.trimmed();
        if (path.isEmpty()) return QStringLiteral("请输入打印机的设备路径，例如 /dev/usb/lp0");
        if (isStoreFile(path)) return QStringLiteral("\"%1\"是店铺的数据文件，不能作为打印机设备").arg(path);
        return QString();
    }
    case ReceiptPrinterSettings::Kind::Network: {
        QString host;
        quint16 port = 0;
        QString why;
        return parsePrinterAddress(settings.address, host, port, &why) ? QString() : why;
    }
    }
    return QString();
}

RawTarget receiptPrinterTarget(const ReceiptPrinterSettings& settings) {
    if (settings.kind == ReceiptPrinterSettings::Kind::Network) {
        QString host;
        quint16 port = kRawPrinterPort;
        parsePrinterAddress(settings.address, host, port);
        return RawTarget::network(host, port);
    }
    return RawTarget::deviceAt(settings.devicePath.trimmed());
}

QString paperWidthName(int width) {
    return width == kReceiptChars80mm ? QStringLiteral("80mm(48字)") : QStringLiteral("58mm(32字)");
}

QByteArray receiptTestPage(const ReceiptPrinterSettings& settings, int64_t printTime) {
    const int w = settings.width == kReceiptChars80mm ? kReceiptChars80mm : kReceiptChars58mm;
    EscPosDoc doc;
    doc.init().chineseMode().align(EscPosDoc::Align::Center).doubleHeight(true);
    doc.line(QStringLiteral("打印测试页")).doubleHeight(false).align(EscPosDoc::Align::Left);
    auto lines = [&doc, w](const QString& text) {
        for (const QString& l : wrapCells(text, w))
            doc.line(l);
    };
    lines(QStringLiteral("下面的数字应正好排满一行："));
    QString ruler;
    for (int i = 1; i <= w; ++i)
        ruler += QChar(u'0' + i % 10);
    doc.line(ruler);
    lines(QStringLiteral("纸宽:") + paperWidthName(w));
    lines(QStringLiteral("打印机:") + receiptPrinterTarget(settings).describe());
    lines(QStringLiteral("钱箱:") + (settings.openDrawer
                                         ? QStringLiteral("每次销售后打开（本页已发送开钱箱信号）")
                                         : QStringLiteral("不打开")));
    lines(QStringLiteral("时间:") +
          QDateTime::fromSecsSinceEpoch(printTime).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    lines(QStringLiteral("中文、English、12345 都应清晰可辨。"));
    doc.line(QString(w, QLatin1Char('-')));
    doc.feed(4).cut(EscPosDoc::Cut::Partial);
    if (settings.openDrawer) doc.drawerPulse();
    return doc.bytes();
}

} // namespace vorn::ui

// Drawing a receipt and where it goes: a PDF beside the store when there is no
// printer, failures reported, the sale untouched.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "fakeshell.h"
#include "kit/text/clock.h"
#include "receiptlayout.h"
#include "receiptprint.h"

using namespace vorn::ui;

namespace {

constexpr int H = kReceiptLineHeight;

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
    };
    d.paid = 200.0;
    d.memberCode = QStringLiteral("VIP000128");
    return d;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The page size of a one-page PDF in points.
QSizeF mediaBox(const QByteArray& pdf) {
    static const QRegularExpression re(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    const auto m = re.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

bool inkIn(const QImage& img, const QRect& area) {
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128) return true;
    return false;
}

QImage render(const ReceiptLayout& layout, int extra = 40) {
    QImage img(layout.width, layout.height + extra, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    drawReceipt(p, layout);
    p.end();
    return img;
}

} // namespace

class TestReceiptPrint : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void writesPdfNamedBySaleTime();
    void neverOverwritesAnEarlierReceipt();
    void pageIsAsLongAsTheReceipt();
    void folderThatCannotBeMadeIsReported();
    void unknownPrinterIsReported();
    void defaultPrinterOrPdf();
    void drawsWrappedNamesAndThePieceLine();
    void textStaysInsideItsBox();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString previous_;
    std::unique_ptr<test::FakeShell> shell_;
};

void TestReceiptPrint::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    previous_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_->path()));
    shell_ = std::make_unique<test::FakeShell>();
    setNowForTests(at(2026, 12, 7, 9, 31, 2));
}

void TestReceiptPrint::cleanup() {
    setNowForTests(0);
    shell_.reset();
    QDir::setCurrent(previous_);
    dir_.reset();
}

void TestReceiptPrint::writesPdfNamedBySaleTime() {
    const PrintOutcome out = printReceiptOn(*shell_, sampleSale(), at(2026, 12, 7, 9, 30, 15), QString());
    QVERIFY(out.ok);
    QVERIFY(out.error.isEmpty());
    QCOMPARE(QFileInfo(out.pdfPath).canonicalFilePath(),
             QFileInfo(QDir(dir_->path()).filePath(QStringLiteral("receipts/20261207-093015.pdf")))
                 .canonicalFilePath());
    const QByteArray pdf = readAll(out.pdfPath);
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(shell_->failures.isEmpty());
    QCOMPARE(shell_->statuses.size(), 1);
    QVERIFY(shell_->statusText().startsWith(QStringLiteral("成功")));
    QVERIFY(shell_->statusText().contains(QDir::toNativeSeparators(out.pdfPath)));

    // Kept for the README picture when asked for.
    const QString keep = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    if (!keep.isEmpty()) {
        QFile::remove(QDir(keep).filePath(QStringLiteral("receipt.pdf")));
        QVERIFY(QFile::copy(out.pdfPath, QDir(keep).filePath(QStringLiteral("receipt.pdf"))));
    }
}

void TestReceiptPrint::neverOverwritesAnEarlierReceipt() {
    const qint64 sale = at(2026, 12, 7, 9, 30, 15);
    const PrintOutcome first = printReceiptOn(*shell_, sampleSale(), sale, QString());
    QVERIFY(first.ok);
    const QByteArray firstBytes = readAll(first.pdfPath);

    ReceiptData other = sampleSale();
    other.lines.resize(1);
    const PrintOutcome second = printReceiptOn(*shell_, other, sale, QString());
    const PrintOutcome third = printReceiptOn(*shell_, other, sale, QString());
    QVERIFY(second.ok && third.ok);
    QCOMPARE(QFileInfo(second.pdfPath).fileName(), QStringLiteral("20261207-093015-2.pdf"));
    QCOMPARE(QFileInfo(third.pdfPath).fileName(), QStringLiteral("20261207-093015-3.pdf"));
    QCOMPARE(readAll(first.pdfPath), firstBytes);
    QVERIFY(readAll(second.pdfPath).startsWith("%PDF"));

    // A sale without a recorded time is named by the moment of printing.
    const PrintOutcome untimed = printReceiptOn(*shell_, other, 0, QString());
    QCOMPARE(QFileInfo(untimed.pdfPath).fileName(), QStringLiteral("20261207-093102.pdf"));
}

void TestReceiptPrint::pageIsAsLongAsTheReceipt() {
    ReceiptData shortSale = sampleSale();
    shortSale.lines.resize(1);
    const PrintOutcome a = printReceiptOn(*shell_, shortSale, at(2026, 12, 7, 9, 0, 0), QString());
    const PrintOutcome b = printReceiptOn(*shell_, sampleSale(), at(2026, 12, 7, 9, 0, 1), QString());
    QVERIFY(a.ok && b.ok);
    const QSizeF pa = mediaBox(readAll(a.pdfPath));
    const QSizeF pb = mediaBox(readAll(b.pdfPath));
    QVERIFY(!pa.isEmpty() && !pb.isEmpty());
    // 80 mm wide (rounded to whole points), as long as the receipt and its two margins.
    const double toPoints = 72.0 / kReceiptPdfDpi;
    QVERIFY(qAbs(pa.width() - 80.0 * 72.0 / 25.4) < 1.0);
    QCOMPARE(pb.width(), pa.width());
    for (const auto& [sale, page] : {std::pair{shortSale, pa}, std::pair{sampleSale(), pb}}) {
        const int units = layoutReceipt(sale, kReceiptPdfBodyWidth).height;
        const double expected = (units + 2 * kReceiptPdfEndMargin) * toPoints;
        QVERIFY2(qAbs(page.height() - expected) < 1.0,
                 qPrintable(QStringLiteral("%1 vs %2").arg(page.height()).arg(expected)));
    }
    QVERIFY(pb.height() > pa.height());
}

void TestReceiptPrint::folderThatCannotBeMadeIsReported() {
    QFile blocker(QStringLiteral("receipts"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const PrintOutcome out = printReceiptOn(*shell_, sampleSale(), at(2026, 12, 7, 9, 30, 15), QString());
    QVERIFY(!out.ok);
    QVERIFY(out.pdfPath.isEmpty());
    QCOMPARE(shell_->failures.size(), 1);
    QCOMPARE(shell_->failures.first(), out.error);
    QVERIFY(out.error.startsWith(QStringLiteral("未知异常导致\"打印小票\"失败")));
    QVERIFY(out.error.contains(QStringLiteral("receipts")));
    QVERIFY(out.error.endsWith(QStringLiteral("放弃该次\"打印小票\"操作")));
    QVERIFY(QFileInfo(QStringLiteral("receipts")).isFile());
}

void TestReceiptPrint::unknownPrinterIsReported() {
    const QString name = QStringLiteral("没有这台打印机-%1").arg(QCoreApplication::applicationPid());
    const PrintOutcome out = printReceiptOn(*shell_, sampleSale(), at(2026, 12, 7, 9, 30, 15), name);
    QVERIFY(!out.ok);
    QVERIFY(out.pdfPath.isEmpty());
    QCOMPARE(shell_->failures.size(), 1);
    QVERIFY(out.error.contains(name));
    QVERIFY(!QDir(QStringLiteral("receipts")).exists());
}

void TestReceiptPrint::defaultPrinterOrPdf() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this machine has a default printer; not printing on it");
    const PrintOutcome out = printReceipt(*shell_, sampleSale(), at(2026, 12, 7, 9, 30, 15));
    QVERIFY(out.ok);
    QCOMPARE(QFileInfo(out.pdfPath).fileName(), QStringLiteral("20261207-093015.pdf"));
    QCOMPARE(QFileInfo(out.pdfPath).dir().dirName(), QStringLiteral("receipts"));
}

void TestReceiptPrint::drawsWrappedNamesAndThePieceLine() {
    ReceiptData d = sampleSale();
    d.lines = {
        ReceiptLine{QStringLiteral("特级东北五常稻花香大米真空包装家庭实惠装"), 12345, 0.1, 0.0, 1234.5}};
    const ReceiptLayout layout = layoutReceipt(d, 370);
    const QImage img = render(layout);
    const ReceiptColumns c = receiptColumns(370);

    // All three lines of the 40-byte name carry text, inside the name column.
    const int top = 5 * H;
    for (int line = 0; line < 3; ++line)
        QVERIFY2(inkIn(img, QRect(0, top + line * H + 4, c.nameRight(), H - 8)),
                 qPrintable(QString::number(line)));
    QVERIFY(!inkIn(img, QRect(c.nameRight() + 1, top + H, c.b - 1, 2 * H))); // quantity: one line only

    // The subtotal's "件" is drawn on the line below "12345".
    int subTop = -1;
    for (const ReceiptBox& b : layout.boxes)
        if (b.text == QStringLiteral("小计")) subTop = b.rect.top();
    QVERIFY(subTop > 0);
    QVERIFY(inkIn(img, QRect(c.nameRight(), subTop + H + 4, c.b, H - 8)));

    // Nothing is drawn below the receipt.
    QVERIFY(!inkIn(img, QRect(0, layout.height + 4, img.width(), img.height())));
}

void TestReceiptPrint::textStaysInsideItsBox() {
    ReceiptLayout layout;
    layout.width = 300;
    layout.height = 3 * H;
    const QString longText =
        QStringLiteral("这是一段很长很长的文字，一行放不下，两行也放不下，三行还是放不下的内容");
    layout.boxes.push_back(ReceiptBox{QRect(0, 0, 100, H), longText, Qt::AlignLeft, BoxText::SingleLine});
    layout.boxes.push_back(ReceiptBox{QRect(0, H, 100, 2 * H), longText, Qt::AlignLeft, BoxText::Wrapped});
    const QImage img = render(layout);
    QVERIFY(inkIn(img, QRect(0, 0, 100, H)));
    QVERIFY(inkIn(img, QRect(0, 2 * H + 4, 100, H - 8))); // the second wrapped line
    QVERIFY(!inkIn(img, QRect(101, 0, 200, img.height())));
    QVERIFY(!inkIn(img, QRect(0, 3 * H + 4, 300, img.height())));
}

QTEST_MAIN(TestReceiptPrint)
#include "test_receiptprint.moc"

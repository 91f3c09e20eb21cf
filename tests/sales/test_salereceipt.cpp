// Receipts with the sale's number and how it was paid: the printed layout and
// the ESC/POS stream gain the "单号:" line, one line per payment method and the
// change, and the "重印" mark when printed again; a sale on record is turned
// back into its receipt from the journal and printed again.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <map>

#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/print/receiptprinter.h"
#include "receiptescpos.h"
#include "receiptlayout.h"
#include "salefixture.h"
#include "salereceipt.h"
#include "vorn/journal.h"

using namespace vorn::ui;
using vorn::ui::test::SaleFixture;

namespace {

const qint64 kPrinted = QDateTime(QDate(2026, 12, 7), QTime(9, 31, 5)).toSecsSinceEpoch();

// 0.1 + 0.2, paid by 0.1 WeChat and 0.2 cash.
ReceiptData splitSale() {
    ReceiptData d;
    d.shopName = QStringLiteral("好邻居便利店");
    d.shopPhone = QStringLiteral("010-88886666");
    d.shopAddress = QStringLiteral("学院路38号");
    d.cashier = QStringLiteral("张敏");
    d.lines = {ReceiptLine{QStringLiteral("口香糖"), 1, 0.1, 0.0, 0.1},
               ReceiptLine{QStringLiteral("火柴"), 1, 0.2, 0.0, 0.2}};
    d.paid = 0.3;
    d.number = QStringLiteral("20261207-0001");
    d.payments = {{QStringLiteral("微信"), 1}, {QStringLiteral("现金"), 2}};
    return d;
}

// The full-width single lines of a layout, top to bottom.
QStringList singleLines(const ReceiptLayout& l) {
    QStringList out;
    for (const ReceiptBox& b : l.boxes)
        if (b.mode == BoxText::SingleLine && b.rect.left() == 0 && b.rect.width() == l.width) out << b.text;
    return out;
}

// A line as the printer gets it: GBK and a line feed.
QByteArray gbkLine(const QString& text) {
    const std::string s = gbk(text);
    return QByteArray(s.data(), qsizetype(s.size())) + '\n';
}

// A glyph map of a font: "0001" -> "单", read from its ToUnicode map.
using GlyphMap = std::map<QString, QString>;

GlyphMap glyphMap(const QString& cmap) {
    GlyphMap glyphs;
    auto key = [](int g) { return QStringLiteral("%1").arg(g, 4, 16, QLatin1Char('0')); };
    auto chars = [](const QString& hex) {
        QString out;
        for (int i = 0; i + 4 <= hex.size(); i += 4)
            out += QChar(hex.mid(i, 4).toInt(nullptr, 16));
        return out;
    };
    static const QRegularExpression listed(
        QStringLiteral("<([0-9A-Fa-f]{4})>\\s*<([0-9A-Fa-f]{4})>\\s*\\[([^\\]]*)\\]"));
    static const QRegularExpression range(
        QStringLiteral("<([0-9A-Fa-f]{4})>\\s*<([0-9A-Fa-f]{4})>\\s*<([0-9A-Fa-f]+)>"));
    static const QRegularExpression pair(QStringLiteral("<([0-9A-Fa-f]{4})>\\s*<([0-9A-Fa-f]+)>"));
    static const QRegularExpression each(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (const QString& part : cmap.split(QStringLiteral("beginbf")).mid(1)) {
        const QString body = part.section(QStringLiteral("endbf"), 0, 0);
        if (body.startsWith(QStringLiteral("range"))) {
            for (auto m = listed.globalMatch(body); m.hasNext();) {
                const auto r = m.next();
                int g = r.captured(1).toInt(nullptr, 16);
                for (auto u = each.globalMatch(r.captured(3)); u.hasNext(); ++g)
                    glyphs[key(g)] = chars(u.next().captured(1));
            }
            // The plain ranges, once the listed ones are out of the way.
            QString plain = body;
            plain.remove(listed);
            for (auto m = range.globalMatch(plain); m.hasNext();) {
                const auto r = m.next();
                const int from = r.captured(1).toInt(nullptr, 16), to = r.captured(2).toInt(nullptr, 16);
                const int first = r.captured(3).toInt(nullptr, 16);
                for (int g = from; g <= to; ++g)
                    glyphs[key(g)] = QString(QChar(first + g - from));
            }
        } else {
            for (auto m = pair.globalMatch(body); m.hasNext();) {
                const auto r = m.next();
                glyphs[r.captured(1).toLower()] = chars(r.captured(2));
            }
        }
    }
    return glyphs;
}

// The text a PDF receipt shows, in the order drawn, read back the way a viewer
// does: the objects' streams inflated, and the glyph ids of each "<....> Tj"
// mapped to characters through the ToUnicode map of the font chosen by the
// "Tf" before it. Blanks are drawn by moving on, so they do not appear.
QString pdfText(const QByteArray& pdf) {
    std::map<int, QString> objects; // number -> the object's dictionary
    std::map<int, QByteArray> streams;
    static const QRegularExpression objectStart(QStringLiteral("(\\d+) 0 obj"));
    const QString latin = QString::fromLatin1(pdf);
    for (auto m = objectStart.globalMatch(latin); m.hasNext();) {
        const auto r = m.next();
        const int id = r.captured(1).toInt();
        const qsizetype end = pdf.indexOf("endobj", r.capturedEnd());
        const QByteArray obj = pdf.mid(r.capturedEnd(), end - r.capturedEnd());
        const qsizetype at = obj.indexOf("stream");
        objects[id] = QString::fromLatin1(at < 0 ? obj : obj.left(at));
        if (at < 0) continue;
        qsizetype start = at + 6;
        if (obj.at(start) == '\r') ++start;
        ++start;
        const QByteArray raw = obj.mid(start, obj.lastIndexOf("endstream") - start);
        // qUncompress wants the inflated size first; an upper bound does. Not
        // every stream is compressed (the character maps are not).
        const quint32 room = 1u << 24;
        QByteArray z = raw;
        z.prepend(char(room & 0xff)).prepend(char((room >> 8) & 0xff));
        z.prepend(char((room >> 16) & 0xff)).prepend(char(room >> 24));
        const QByteArray inflated = qUncompress(z);
        streams[id] = inflated.isEmpty() ? raw : inflated;
    }
    // "/F7 7 0 R" in a font resource dictionary, the font's "/ToUnicode 9 0 R".
    std::map<QString, GlyphMap> fonts;
    static const QRegularExpression fontRef(QStringLiteral("/(F\\d+)\\s+(\\d+) 0 R"));
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode\\s+(\\d+) 0 R"));
    for (auto m = fontRef.globalMatch(latin); m.hasNext();) {
        const auto r = m.next();
        const auto u = toUnicode.match(objects[r.captured(2).toInt()]);
        if (u.hasMatch())
            fonts[r.captured(1)] = glyphMap(QString::fromLatin1(streams[u.captured(1).toInt()]));
    }
    QString text;
    static const QRegularExpression op(QStringLiteral("/(F\\d+)\\s+[0-9.]+\\s+Tf|<([0-9A-Fa-f]+)>\\s*Tj"));
    for (const auto& [id, data] : streams) {
        QString font;
        for (auto m = op.globalMatch(QString::fromLatin1(data)); m.hasNext();) {
            const auto r = m.next();
            if (!r.captured(1).isEmpty()) {
                font = r.captured(1);
                continue;
            }
            const QString hex = r.captured(2).toLower();
            for (int i = 0; i + 4 <= hex.size(); i += 4)
                text += fonts[font][hex.mid(i, 4)];
        }
    }
    return text;
}

} // namespace

class TestSaleReceipt : public QObject {
    Q_OBJECT

    SaleFixture fx;

private slots:
    void init() { fx.setUp(); }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    // The same sale in its forms: what each adds to the lines printed today.
    void linesOfNumberPaymentsAndMark_data() {
        QTest::addColumn<bool>("reprint");
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QStringList>("header"); // the lines down to the item header
        QTest::addColumn<QStringList>("paid");   // the lines between the discount and the member
        const QString shop = QStringLiteral("好邻居便利店");
        const QString phone = QStringLiteral("联系电话:010-88886666");
        const QString addr = QStringLiteral("地址:学院路38号");
        const QString date = QStringLiteral("日期:2026-12-07  收银员:张敏");
        const QString number = QStringLiteral("单号:20261207-0001");
        const QString mark = QStringLiteral("**** 重印 ****");
        QTest::newRow("a sale of today")
            << false << true << true << QStringList{shop, phone, addr, date, number}
            << QStringList{"微    信:0.1", "现    金:0.2", "找    零:0.0"};
        QTest::newRow("printed again")
            << true << true << true << QStringList{shop, mark, phone, addr, date, number}
            << QStringList{"微    信:0.1", "现    金:0.2", "找    零:0.0"};
        QTest::newRow("as before the journal")
            << false << false << false << QStringList{shop, phone, addr, date}
            << QStringList{"现    金:0.3", "找    零:0.0"};
    }
    void linesOfNumberPaymentsAndMark() {
        QFETCH(bool, reprint);
        QFETCH(bool, numbered);
        QFETCH(bool, split);
        QFETCH(QStringList, header);
        QFETCH(QStringList, paid);
        ReceiptData d = splitSale();
        d.reprint = reprint;
        if (!numbered) d.number.clear();
        if (!split) d.payments.clear();

        // The printed page and the PDF.
        const ReceiptLayout l = layoutReceipt(d, 370, kPrinted);
        const QStringList lines = singleLines(l);
        QCOMPARE(lines.mid(0, header.size()), header);
        const qsizetype discount = lines.indexOf(QStringLiteral("折    扣:0.0"));
        QVERIFY(discount > 0);
        QCOMPARE(lines.mid(discount + 1, paid.size()), paid);
        QCOMPARE(lines.at(discount + 1 + paid.size()), QStringLiteral("会员编号:"));
        // Each line its own 20 units, none over another.
        for (size_t i = 0; i + 1 < l.boxes.size(); ++i)
            for (size_t j = i + 1; j < l.boxes.size(); ++j)
                QVERIFY(!l.boxes[i].rect.intersects(l.boxes[j].rect));

        // The thermal printer: the same lines (the mark centred), sent in GBK.
        const QStringList esc = receiptEscPosText(d, kPrinted, kReceiptChars58mm).body;
        const QByteArray bytes = receiptEscPos(d, kPrinted, kReceiptChars58mm, false);
        QStringList expected = header.mid(1);
        if (reprint) expected[0] = QString((kReceiptChars58mm - 14) / 2, QLatin1Char(' ')) + expected[0];
        QCOMPARE(esc.mid(0, expected.size()), expected);
        for (const QString& line : expected + paid)
            QVERIFY2(bytes.contains(gbkLine(line)), qPrintable(line));
        const qsizetype escDiscount = esc.indexOf(QStringLiteral("折    扣:0.0"));
        QVERIFY(escDiscount > 0);
        QCOMPARE(esc.mid(escDiscount + 1, paid.size()), paid);
        QCOMPARE(bytes.contains(QByteArray("\xd6\xd8\xd3\xa1")), reprint); // 重印 in GBK
    }

    // Captions of every method line keep to the eight cells of "折    扣".
    void methodCaptionsKeepTheColumn() {
        ReceiptData d = splitSale();
        d.payments = {{QStringLiteral("支付宝"), 5},
                      {QStringLiteral("银行卡"), 10},
                      {QStringLiteral("其他"), 15},
                      {QStringLiteral("未知"), 1}};
        d.changeTenths = 28;
        const QStringList lines = receiptPaymentLines(d, 0.3);
        QCOMPARE(lines, (QStringList{"支 付 宝:0.5", "银 行 卡:1.0", "其    他:1.5", "未    知:0.1",
                                     "找    零:2.8"}));
        for (const QString& line : lines)
            QCOMPARE(receiptCells(line.section(QLatin1Char(':'), 0, 0)), 8);
    }

    // A sale checked out through the journal comes back as its receipt: its
    // lines grouped by price, the number, the payments (parts of one method
    // as one line), the change, cashier, member and points.
    void receiptOfASaleOnRecord() {
        fx.stock("A", 2, 2.5);
        fx.stock("B", 1, 4.0);
        const int member = fx.addMember("M1", QStringLiteral("钱七"), 0);
        fx.core().set_shop_name(gbk(QStringLiteral("好邻居便利店")).c_str());
        fx.core().set_shop_pa(gbk(QStringLiteral("七日内可退换")).c_str());
        std::vector<vorn::SRec> units = fx.units("FSi_Flag=0 ORDER BY FSi_Id");
        QCOMPARE(units.size(), size_t(3));
        const int64_t t = QDateTime(QDate(2026, 12, 7), QTime(18, 5, 9)).toSecsSinceEpoch();
        for (vorn::SRec& u : units) {
            u.FSi_Flag = 1;
            u.FSt_SalT = t;
            u.FSd_ReaP = u.FSs_Code == "A" ? 2.0 : 4.0;
        }
        vorn::CheckoutRequest r;
        r.units = units;
        r.cashier = "admin";
        r.member_id = member;
        r.member_code = "M1";
        r.points = 8;
        r.payments = {
            {vorn::kPayWeChat, 30}, {vorn::kPayCash, 20}, {vorn::kPayWeChat, 10}, {vorn::kPayCash, 30}};
        const vorn::CheckoutResult res = vorn::Journal(fx.core()).checkout(r);
        QCOMPARE(int(res.status), int(vorn::CheckoutStatus::Done));
        vorn::SaleDetail sale;
        QCOMPARE(vorn::Journal(fx.core()).open_sale(res.sale_id, sale), 1);

        const ReceiptData d = receiptOfSale(sale, shopReceiptTexts(fx.core()), true);
        QCOMPARE(d.shopName, QStringLiteral("好邻居便利店"));
        QCOMPARE(d.printAddition, QStringLiteral("七日内可退换"));
        QCOMPARE(d.number, QString::fromStdString(res.number));
        QVERIFY(d.reprint);
        QCOMPARE(d.cashier, QStringLiteral("admin"));
        QCOMPARE(d.memberCode, QStringLiteral("M1"));
        QCOMPARE(d.creditedPoints.value_or(-1), 8);
        QCOMPARE(d.lines.size(), size_t(2));
        QCOMPARE(d.lines[0].name, QStringLiteral("name-A"));
        QCOMPARE(d.lines[0].quantity, 2);
        QCOMPARE(d.lines[0].price, 2.0);
        QCOMPARE(d.lines[0].amount, 4.0);
        QCOMPARE(d.lines[1].amount, 4.0);
        // Sold 1.0 below retail in all: the receipt's discount sum says so.
        QCOMPARE(d.lines[0].discount + d.lines[1].discount, -1.0);
        QCOMPARE(d.payments.size(), size_t(2));
        QCOMPARE(d.payments[0].method, QStringLiteral("微信"));
        QCOMPARE(d.payments[0].amount, int64_t(40));
        QCOMPARE(d.payments[1].method, QStringLiteral("现金"));
        QCOMPARE(d.payments[1].amount, int64_t(50));
        QCOMPARE(d.changeTenths, int64_t(10));
        QCOMPARE(d.paid, 9.0);
        QCOMPARE(receiptTimeOfSale(sale), t);
        const QStringList lines = singleLines(layoutReceipt(d, 370, kPrinted));
        for (const QString& want :
             {QStringLiteral("**** 重印 ****"), QStringLiteral("单号:") + d.number,
              QStringLiteral("折    扣:-1.0"), QStringLiteral("微    信:4.0"), QStringLiteral("现    金:5.0"),
              QStringLiteral("找    零:1.0"), QStringLiteral("本次积分:8")})
            QVERIFY2(lines.contains(want), qPrintable(want));

        // Printed again: with no printer here, a PDF named by the sale's time.
        setNowForTests(kPrinted);
        const ReprintOutcome out = reprintSale(fx.shell(), res.sale_id);
        QVERIFY(out.found);
        QVERIFY(out.printed.ok);
        QCOMPARE(QFileInfo(out.printed.pdfPath).fileName(), QStringLiteral("20261207-180509.pdf"));
        QFile::remove(QStringLiteral("/tmp/vorn-reprint.pdf"));
        QFile::copy(out.printed.pdfPath, QStringLiteral("/tmp/vorn-reprint.pdf")); // to be looked at
        QFile pdf(out.printed.pdfPath);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QString shown = pdfText(pdf.readAll());
        shown.remove(QRegularExpression(QStringLiteral("[\\s*]")));
        for (const QString& want :
             {QStringLiteral("重印"), QStringLiteral("单号:") + d.number, QStringLiteral("微信:4.0"),
              QStringLiteral("现金:5.0"), QStringLiteral("找零:1.0"), QStringLiteral("name-A")})
            QVERIFY2(shown.contains(want), qPrintable(want + QStringLiteral(" in ") + shown));
        // A sale that is not there prints nothing.
        const ReprintOutcome none = reprintSale(fx.shell(), res.sale_id + 100);
        QVERIFY(!none.found);
        QCOMPARE(QDir(QStringLiteral("receipts")).entryList(QDir::Files).size(), 1);
    }
};

QTEST_MAIN(TestSaleReceipt)
#include "test_salereceipt.moc"

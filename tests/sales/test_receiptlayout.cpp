// Where the texts of a receipt go, without a printer.
#include <QDateTime>
#include <QTest>
#include <algorithm>

#include "capitals.h"
#include "kit/text/clock.h"
#include "receiptlayout.h"

using namespace vorn::ui;

namespace {

constexpr int H = kReceiptLineHeight;

ReceiptLine item(const QString& name, int quantity, double price, double discount = 0.0) {
    return ReceiptLine{name, quantity, price, discount, quantity * price};
}

ReceiptData shopData() {
    ReceiptData d;
    d.shopName = QStringLiteral("好邻居便利店");
    d.shopPhone = QStringLiteral("010-88886666");
    d.shopAddress = QStringLiteral("北京市海淀区学院路38号");
    d.cashier = QStringLiteral("张敏");
    return d;
}

const ReceiptBox* find(const ReceiptLayout& l, const QString& text) {
    for (const ReceiptBox& b : l.boxes)
        if (b.text == text) return &b;
    return nullptr;
}

const ReceiptBox* findPrefix(const ReceiptLayout& l, const QString& prefix) {
    for (const ReceiptBox& b : l.boxes)
        if (b.text.startsWith(prefix)) return &b;
    return nullptr;
}

// The boxes of the row that starts at y, left to right.
std::vector<ReceiptBox> rowAt(const ReceiptLayout& l, int y) {
    std::vector<ReceiptBox> row;
    for (const ReceiptBox& b : l.boxes)
        if (b.rect.top() == y) row.push_back(b);
    std::sort(row.begin(), row.end(),
              [](const ReceiptBox& a, const ReceiptBox& b) { return a.rect.left() < b.rect.left(); });
    return row;
}

qint64 at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s)).toSecsSinceEpoch();
}

} // namespace

class TestReceiptLayout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setNowForTests(0); }

    void columnsFollowThePageWidth_data();
    void columnsFollowThePageWidth();
    void cellsAndChunks();
    void headerLines();
    void longNameTakesThreeLines_data();
    void longNameTakesThreeLines();
    void longNumbersAreChunked();
    void subtotalQuantityKeepsPieceInsideItsBox_data();
    void subtotalQuantityKeepsPieceInsideItsBox();
    void subtotalTotalChunks();
    void footerFiguresAndMember();
    void pointsFollowThePrintedTotal();
    void capitalsBoxGrowsWithItsText();
    void emptyPrintAdditionAddsNothing();
    void boxesNeverOverlapAndHoldTheirLines();
};

void TestReceiptLayout::columnsFollowThePageWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::newRow("370: one unit a cell") << 370 << 80 << 50;
    QTest::newRow("384: 58 mm roll at 203 dpi") << 384 << 83 << 52;  // 83.03, 51.89
    QTest::newRow("576: 80 mm roll at 203 dpi") << 576 << 125 << 78; // 124.54, 77.84
    QTest::newRow("4760: A4 at 600 dpi") << 4760 << 1029 << 643;     // 1029.19, 643.24
}

void TestReceiptLayout::columnsFollowThePageWidth() {
    QFETCH(int, width);
    QFETCH(int, a);
    QFETCH(int, b);
    const ReceiptColumns c = receiptColumns(width);
    QCOMPARE(c.a, a);
    QCOMPARE(c.b, b);
    QCOMPARE(c.nameRight(), width - 2 * a - b);
    QCOMPARE(c.quantityRight(), width - 2 * a);
    QCOMPARE(c.priceRight(), width - a);

    // The item boxes sit exactly in these columns.
    ReceiptData d = shopData();
    d.lines.push_back(item(QStringLiteral("矿泉水"), 3, 1.5, -0.3));
    d.lines.push_back(item(QStringLiteral("面包"), 1, 6.8));
    const ReceiptLayout l = layoutReceipt(d, width, at(2026, 12, 7, 9, 30, 15));
    const std::vector<ReceiptBox> row = rowAt(l, 5 * H);
    QCOMPARE(int(row.size()), 4); // the discount is summed, never printed in the block
    QCOMPARE(row[0].rect, QRect(0, 5 * H, width - 2 * a - b, H));
    QCOMPARE(row[1].rect, QRect(width - 2 * a - b, 5 * H, b, H));
    QCOMPARE(row[2].rect, QRect(width - 2 * a, 5 * H, a, H));
    QCOMPARE(row[3].rect, QRect(width - a, 5 * H, a, H));
    QCOMPARE(row[0].text, QStringLiteral("矿泉水"));
    QCOMPARE(row[0].mode, BoxText::Wrapped);
    const QStringList numbers = {QStringLiteral("3"), QStringLiteral("1.5"), QStringLiteral("4.5")};
    for (int i = 1; i < 4; ++i) {
        QCOMPARE(row[size_t(i)].text, numbers[i - 1]);
        QCOMPARE(row[size_t(i)].align, Qt::Alignment(Qt::AlignRight));
        QCOMPARE(row[size_t(i)].mode, BoxText::Lines);
    }
    QCOMPARE(rowAt(l, 6 * H)[0].text, QStringLiteral("面包"));
}

void TestReceiptLayout::cellsAndChunks() {
    QCOMPARE(receiptCells(QStringLiteral("商品名称")), 8);
    QCOMPARE(receiptCells(QStringLiteral("合计:12.5")), 9);
    QCOMPARE(receiptCells(QStringLiteral("😀")), 2); // not GBK: still one wide character
    QCOMPARE(chunkCells(QStringLiteral("123456"), 5), QStringList({"12345", "6"}));
    QCOMPARE(chunkCells(QStringLiteral("12345"), 5), QStringList({"12345"}));
    QCOMPARE(chunkCells(QString(), 5), QStringList({QString()}));
    // A character is never split: "合" (2 cells) does not fit after 4 cells.
    QCOMPARE(chunkCells(QStringLiteral("1234合计"), 5), QStringList({"1234", QStringLiteral("合计")}));
}

void TestReceiptLayout::headerLines() {
    // The date and the time line show the program clock's moment of printing.
    setNowForTests(at(2026, 12, 7, 9, 30, 15));
    const ReceiptLayout l = layoutReceipt(shopData(), 370);
    const QStringList texts = {QStringLiteral("好邻居便利店"), QStringLiteral("联系电话:010-88886666"),
                               QStringLiteral("地址:北京市海淀区学院路38号"),
                               QStringLiteral("日期:2026-12-07  收银员:张敏"),
                               QStringLiteral("    商品名称     数量    单价    金额")};
    for (int i = 0; i < texts.size(); ++i) {
        const ReceiptBox& b = l.boxes[size_t(i)];
        QCOMPARE(b.text, texts[i]);
        QCOMPARE(b.rect, QRect(0, i * H, 370, H));
        QCOMPARE(b.mode, BoxText::SingleLine);
        QCOMPARE(b.align, i == 0 ? Qt::Alignment(Qt::AlignHCenter) : Qt::Alignment(Qt::AlignLeft));
    }
    // The item header is the grid itself: 37 cells; so is the time line.
    QCOMPARE(receiptCells(texts[4]), kReceiptCells);
    const QString timeLine = QStringLiteral("-----------交易时刻:09:30------------");
    QVERIFY(find(l, timeLine));
    QCOMPARE(find(l, timeLine)->align, Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(receiptCells(timeLine), kReceiptCells);

    // Printed again later, the receipt shows the later moment.
    setNowForTests(at(2027, 1, 2, 18, 5, 59));
    const ReceiptLayout again = layoutReceipt(shopData(), 370);
    QVERIFY(find(again, QStringLiteral("日期:2027-01-02  收银员:张敏")));
    QVERIFY(find(again, QStringLiteral("-----------交易时刻:18:05------------")));
}

void TestReceiptLayout::longNameTakesThreeLines_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::newRow("20 Chinese characters, 40 bytes")
        << QStringLiteral("特级东北五常稻花香大米真空包装家庭实惠装") << 3;
    QTest::newRow("8 characters fill one line") << QStringLiteral("农夫山泉天然饮用") << 1;
    QTest::newRow("17 bytes need two") << QStringLiteral("农夫山泉天然饮用1") << 2;
    QTest::newRow("empty name still one line") << QString() << 1;
}

void TestReceiptLayout::longNameTakesThreeLines() {
    QFETCH(QString, name);
    QFETCH(int, lines);
    ReceiptData d = shopData();
    d.lines.push_back(item(name, 2, 49.9));
    d.lines.push_back(item(QStringLiteral("可乐"), 1, 3.0));
    const ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    const std::vector<ReceiptBox> block = rowAt(l, 5 * H);
    QCOMPARE(block[0].text, name);
    QCOMPARE(block[0].lines(), lines);
    QCOMPARE(block[1].lines(), 1);
    // The next block starts below the tallest column.
    QCOMPARE(rowAt(l, (5 + lines) * H).front().text, QStringLiteral("可乐"));
}

void TestReceiptLayout::longNumbersAreChunked() {
    ReceiptData d = shopData();
    ReceiptLine big{QStringLiteral("黄金"), 123456, 123456789.5, 0.0, 0.0};
    big.amount = 12.0;
    d.lines.push_back(big);
    d.lines.push_back(item(QStringLiteral("可乐"), 1, 3.0));
    const ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    const std::vector<ReceiptBox> block = rowAt(l, 5 * H);
    QCOMPARE(block[1].text, QStringLiteral("12345\n6"));
    QCOMPARE(block[1].lines(), 2);
    QCOMPARE(block[2].text, QStringLiteral("12345678\n9.5"));
    QCOMPARE(block[2].lines(), 2);
    QCOMPARE(block[3].text, QStringLiteral("12.0"));
    QCOMPARE(rowAt(l, 7 * H).front().text, QStringLiteral("可乐"));
}

void TestReceiptLayout::subtotalQuantityKeepsPieceInsideItsBox_data() {
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("text");
    QTest::newRow("3 digits") << 123 << QStringLiteral("123件");
    QTest::newRow("4 digits: 件 below") << 1234 << QStringLiteral("1234\n件");
    QTest::newRow("12345: 件 below, inside the box") << 12345 << QStringLiteral("12345\n件");
    QTest::newRow("6 digits") << 123456 << QStringLiteral("12345\n6件");
    QTest::newRow("9 digits") << 123456789 << QStringLiteral("12345\n6789\n件");
    QTest::newRow("0") << 0 << QStringLiteral("0件");
}

void TestReceiptLayout::subtotalQuantityKeepsPieceInsideItsBox() {
    QFETCH(int, quantity);
    QFETCH(QString, text);
    ReceiptData d = shopData();
    if (quantity > 0) d.lines.push_back(item(QStringLiteral("螺丝"), quantity, 0.1));
    const ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    const ReceiptBox* sub = find(l, QStringLiteral("小计"));
    QVERIFY(sub);
    const std::vector<ReceiptBox> row = rowAt(l, sub->rect.top());
    QCOMPARE(int(row.size()), 3);
    const ReceiptColumns c = receiptColumns(370);
    QCOMPARE(row[0].rect, QRect(0, sub->rect.top(), c.nameRight(), H));
    QCOMPARE(row[0].align, Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(row[1].text, text);
    QCOMPARE(row[1].rect.left(), c.nameRight());
    QCOMPARE(row[1].lines(), int(text.count(QLatin1Char('\n'))) + 1);
    QCOMPARE(row[2].rect.left(), c.quantityRight());
    QCOMPARE(row[2].rect.width(), 2 * c.a);
    // The capitals start below the tallest of the three.
    const ReceiptBox* caps = findPrefix(l, QStringLiteral("大写:"));
    QVERIFY(caps);
    QCOMPARE(caps->rect.top(), sub->rect.top() + std::max(row[1].lines(), row[2].lines()) * H);
}

void TestReceiptLayout::subtotalTotalChunks() {
    ReceiptData d = shopData();
    d.lines.push_back(item(QStringLiteral("可乐"), 2, 3.5));
    ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    const ReceiptBox* total = find(l, QStringLiteral("合计:7.0"));
    QVERIFY(total);
    QCOMPARE(total->lines(), 1);
    QCOMPARE(total->align, Qt::Alignment(Qt::AlignRight));

    // 16 cells a line: "合计:" and 11 characters fill the first.
    d.lines = {ReceiptLine{QStringLiteral("地皮"), 1, 0.0, 0.0, 99999999999.9}};
    l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    total = findPrefix(l, QStringLiteral("合计:"));
    QVERIFY(total);
    QCOMPARE(total->text, QStringLiteral("合计:99999999999\n.9"));
    QCOMPARE(total->lines(), 2);
}

void TestReceiptLayout::footerFiguresAndMember() {
    ReceiptData d = shopData();
    d.lines.push_back(item(QStringLiteral("矿泉水"), 3, 1.5, -0.6));
    d.lines.push_back(item(QStringLiteral("面包"), 2, 6.0, -1.0));
    d.paid = 20.0;
    d.memberCode = QStringLiteral("VIP0001");
    const ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    const ReceiptBox* due = find(l, QStringLiteral("应收金额:16.5"));
    QVERIFY(due);
    const QStringList following = {
        QStringLiteral("折    扣:-1.6"), QStringLiteral("现    金:20.0"),
        QStringLiteral("找    零:3.5"),  QStringLiteral("会员编号:VIP0001"),
        QStringLiteral("本次积分:16"),   QStringLiteral("-------------谢谢惠顾！--------------")};
    int y = due->rect.top();
    for (const QString& text : following) {
        y += H;
        const ReceiptBox* b = find(l, text);
        QVERIFY2(b, qPrintable(text));
        QCOMPARE(b->rect, QRect(0, y, 370, H));
        QCOMPARE(b->mode, BoxText::SingleLine);
    }
    QCOMPARE(receiptCells(following.last()), kReceiptCells);
    QCOMPARE(find(l, following.last())->align, Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(find(l, QStringLiteral("合计:16.5"))->lines(), 1);
    QCOMPARE(find(l, QStringLiteral("5件"))->lines(), 1);
    QVERIFY(find(l, capitalsText(16.5)));
    // The time line sits between the capitals and the amount due.
    QVERIFY(findPrefix(l, QStringLiteral("-----------交易时刻:"))->rect.top() == due->rect.top() - H);
}

void TestReceiptLayout::pointsFollowThePrintedTotal() {
    ReceiptData d = shopData();
    d.memberCode = QStringLiteral("VIP0002");
    // 10.1 + 10.2 + 9.7 adds up to 29.999999999999996 and prints as 30.0.
    d.lines = {ReceiptLine{QStringLiteral("甲"), 1, 10.1, 0.0, 10.1},
               ReceiptLine{QStringLiteral("乙"), 1, 10.2, 0.0, 10.2},
               ReceiptLine{QStringLiteral("丙"), 1, 9.7, 0.0, 9.7}};
    QCOMPARE(receiptPoints(d), 30);
    ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    QVERIFY(find(l, QStringLiteral("应收金额:30.0")));
    QVERIFY(find(l, QStringLiteral("本次积分:30")));
    // Otherwise the fraction is dropped.
    d.lines = {ReceiptLine{QStringLiteral("甲"), 1, 29.9, 0.0, 29.9}};
    QCOMPARE(receiptPoints(d), 29);

    // Without a member: an empty code and no points.
    d.memberCode.clear();
    d.paid = 29.9;
    l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    QVERIFY(find(l, QStringLiteral("会员编号:")));
    QVERIFY(find(l, QStringLiteral("本次积分:0")));
    QVERIFY(find(l, QStringLiteral("找    零:0.0")));
}

void TestReceiptLayout::capitalsBoxGrowsWithItsText() {
    ReceiptData d = shopData();
    d.lines.push_back(ReceiptLine{QStringLiteral("房"), 1, 123456789.5, 0.0, 123456789.5});
    ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    const ReceiptBox* caps = find(l, QStringLiteral("大写:壹亿贰仟叁佰肆拾伍万陆仟柒佰捌拾玖圆伍角整"));
    QVERIFY(caps);
    QCOMPARE(caps->lines(), 2); // 51 bytes
    QCOMPARE(caps->rect.width(), 370);
    QCOMPARE(caps->mode, BoxText::Wrapped);
    QCOMPARE(caps->align, Qt::Alignment(Qt::AlignLeft));

    d.lines = {item(QStringLiteral("糖"), 1, 2.5)};
    l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    QCOMPARE(find(l, QStringLiteral("大写:贰圆伍角整"))->lines(), 1);
}

void TestReceiptLayout::emptyPrintAdditionAddsNothing() {
    ReceiptData d = shopData();
    d.lines.push_back(item(QStringLiteral("面包"), 2, 6.0));
    const ReceiptLayout l = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    const ReceiptBox& last = l.boxes.back();
    QVERIFY(last.text.contains(QStringLiteral("谢谢惠顾！")));
    QCOMPARE(l.height, last.rect.bottom() + 1);

    d.printAddition = QStringLiteral("凭小票七日内可退换");
    const ReceiptLayout with = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15));
    QCOMPARE(int(with.boxes.size()), int(l.boxes.size()) + 1);
    QCOMPARE(with.boxes.back().rect, QRect(0, l.height, 370, H));
    QCOMPARE(with.height, l.height + H);

    // 40 bytes: two lines of 37 cells.
    d.printAddition = QStringLiteral("本店会员每消费一元积一分，积分可兑换礼品");
    QCOMPARE(layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15)).boxes.back().lines(), 2);
    // Typed in a multi-line edit: each line of it is a line of the receipt.
    d.printAddition = QStringLiteral("营业时间 8:00-22:00\r\n送货电话 88886666\r\n");
    const ReceiptBox shop = layoutReceipt(d, 370, at(2026, 12, 7, 9, 30, 15)).boxes.back();
    QCOMPARE(shop.text, QStringLiteral("营业时间 8:00-22:00\n送货电话 88886666\n"));
    QCOMPARE(shop.lines(), 3);
    QCOMPARE(shop.mode, BoxText::Wrapped);
}

void TestReceiptLayout::boxesNeverOverlapAndHoldTheirLines() {
    ReceiptData d = shopData();
    d.lines.push_back(item(QStringLiteral("特级东北五常稻花香大米真空包装家庭实惠装"), 12000, 0.5));
    d.lines.push_back(ReceiptLine{QStringLiteral("金条"), 345, 123456789.5, -3.0, 42592592377.5});
    d.lines.push_back(item(QStringLiteral("可乐"), 0, 3.0));
    d.memberCode = QStringLiteral("VIP9");
    d.paid = 1e11;
    d.printAddition = QStringLiteral("谢谢光临\n欢迎再来");
    for (int width : {370, 384, 576}) {
        const ReceiptLayout l = layoutReceipt(d, width, at(2026, 12, 7, 9, 30, 15));
        int bottom = 0;
        for (size_t i = 0; i < l.boxes.size(); ++i) {
            const ReceiptBox& b = l.boxes[i];
            QVERIFY(b.rect.left() >= 0 && b.rect.right() < width);
            QVERIFY(b.rect.height() % H == 0 && b.lines() >= 1);
            if (b.mode == BoxText::Lines) QCOMPARE(int(b.text.count(QLatin1Char('\n'))) + 1, b.lines());
            for (size_t j = i + 1; j < l.boxes.size(); ++j)
                QVERIFY2(!b.rect.intersects(l.boxes[j].rect),
                         qPrintable(b.text + QStringLiteral(" / ") + l.boxes[j].text));
            bottom = std::max(bottom, b.rect.bottom() + 1);
        }
        QCOMPARE(l.height, bottom);
        QCOMPARE(l.width, width);
    }
}

QTEST_GUILESS_MAIN(TestReceiptLayout)
#include "test_receiptlayout.moc"

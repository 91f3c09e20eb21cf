#include "receiptlayout.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <limits>

#include "capitals.h"
#include "kit/text/clock.h"
#include "kit/print/escpos.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

constexpr int H = kReceiptLineHeight;
// Cells per line of the name column: 8 Chinese characters.
constexpr int kNameCells = 16;
// Chunk widths of the numbers: they fill their columns (5, 8 and 8 cells) and
// the subtotal's "合计:" text spans both price columns (16 cells).
constexpr int kQuantityCells = 5;
constexpr int kMoneyCells = 8;
constexpr int kTotalCells = 16;

const QString kItemHeader = QStringLiteral("    商品名称     数量    单价    金额");

int ceilDiv(int n, int d) {
    return (n + d - 1) / d;
}

QString money(double value) {
    return QString::fromStdString(vorn::format_money(value));
}

// Tenths as "%.1f" shows them: 3 -> "0.3", -15 -> "-1.5".
QString tenthsMoney(int64_t tenths) {
    const int64_t whole = (tenths < 0 ? -tenths : tenths);
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(whole / 10)
        .arg(whole % 10);
}

// The shop's own text may come from a multi-line edit: one "\n" per break.
QString normaliseBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Lines a full-width wrapped text needs: each paragraph its cells over 37, at
// least one. For text without breaks this is just its bytes over 37.
int fullWidthLines(const QString& text) {
    int lines = 0;
    for (const QString& para : text.split(QLatin1Char('\n')))
        lines += std::max(1, ceilDiv(receiptCells(para), kReceiptCells));
    return lines;
}

struct Builder {
    ReceiptLayout out;
    int y = 0;

    int add(const QRect& rect, const QString& text, Qt::Alignment align, BoxText mode) {
        out.boxes.push_back(ReceiptBox{rect, text, align, mode});
        return rect.bottom() + 1;
    }
    void line(const QString& text, Qt::Alignment align) {
        y = add(QRect(0, y, out.width, H), text, align, BoxText::SingleLine);
    }
    // Number chunks stacked in a column, right-aligned.
    int stack(int left, int width, const QStringList& chunks) {
        return add(QRect(left, y, width, int(chunks.size()) * H), chunks.join(QLatin1Char('\n')),
                   Qt::AlignRight, BoxText::Lines);
    }
};

double amountSum(const ReceiptData& data) {
    double sum = 0.0;
    for (const ReceiptLine& l : data.lines)
        sum += l.amount;
    return sum;
}

} // namespace

ReceiptColumns receiptColumns(int pageWidth) {
    ReceiptColumns c;
    c.width = pageWidth;
    c.a = int(std::lround(pageWidth * 8.0 / kReceiptCells));
    c.b = int(std::lround(pageWidth * 5.0 / kReceiptCells));
    return c;
}

int receiptCells(const QString& text) {
    // One cell per GBK byte, as fixed-width receipt printers count.
    return escPosCells(text);
}

QStringList chunkCells(const QString& text, int cells) {
    QStringList chunks;
    QString current;
    int used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character and stays in one piece.
        qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        const int w = receiptCells(ch);
        if (used > 0 && used + w > cells) {
            chunks << current;
            current.clear();
            used = 0;
        }
        current += ch;
        used += w;
        i += len - 1;
    }
    chunks << current;
    return chunks;
}

int receiptPoints(const ReceiptData& data) {
    if (data.memberCode.isEmpty()) return 0;
    if (data.creditedPoints) return *data.creditedPoints;
    // Truncate the total as printed: a sum such as 29.999999 shows as 30.0 and
    // must earn 30 points, not 29.
    const double shown = money(amountSum(data)).toDouble();
    const double whole = std::trunc(shown);
    if (!(whole < double(std::numeric_limits<int>::max()))) return std::numeric_limits<int>::max();
    if (!(whole > double(std::numeric_limits<int>::min()))) return std::numeric_limits<int>::min();
    return int(whole);
}

namespace {

// A caption of the footer: eight cells, as "现    金" always printed; three
// characters are spread "支 付 宝".
QString caption(const QString& name) {
    if (name.size() == 2) return name.at(0) + QStringLiteral("    ") + name.at(1);
    if (name.size() == 3)
        return QString(name.at(0)) + QLatin1Char(' ') + name.at(1) + QLatin1Char(' ') + name.at(2);
    return name + QString(std::max(0, 8 - receiptCells(name)), QLatin1Char(' '));
}

} // namespace

QStringList receiptPaymentLines(const ReceiptData& data, double amountTotal) {
    QStringList lines;
    if (data.payments.empty()) {
        lines << QStringLiteral("现    金:") + money(data.paid);
        lines << QStringLiteral("找    零:") + money(data.paid - amountTotal);
        return lines;
    }
    for (const ReceiptPayment& p : data.payments)
        lines << caption(p.method) + QLatin1Char(':') + tenthsMoney(p.amount);
    lines << QStringLiteral("找    零:") + tenthsMoney(data.changeTenths);
    return lines;
}

QString receiptNumberLine(const ReceiptData& data) {
    return data.number.isEmpty() ? QString() : QStringLiteral("单号:") + data.number;
}

QString receiptReprintMark() {
    return QStringLiteral("**** 重印 ****");
}

ReceiptLayout layoutReceipt(const ReceiptData& data, int pageWidth) {
    return layoutReceipt(data, pageWidth, now());
}

ReceiptLayout layoutReceipt(const ReceiptData& data, int pageWidth, int64_t printTime) {
    const ReceiptColumns col = receiptColumns(pageWidth);
    const QDateTime when = QDateTime::fromSecsSinceEpoch(printTime);
    Builder b;
    b.out.width = pageWidth;

    b.line(data.shopName, Qt::AlignHCenter);
    if (data.reprint) b.line(receiptReprintMark(), Qt::AlignHCenter);
    if (!data.title.isEmpty()) b.line(data.title, Qt::AlignHCenter);
    b.line(QStringLiteral("联系电话:") + data.shopPhone, Qt::AlignLeft);
    b.line(QStringLiteral("地址:") + data.shopAddress, Qt::AlignLeft);
    b.line(QStringLiteral("日期:") + when.toString(QStringLiteral("yyyy-MM-dd")) +
               QStringLiteral("  收银员:") + data.cashier,
           Qt::AlignLeft);
    if (!data.number.isEmpty()) b.line(receiptNumberLine(data), Qt::AlignLeft);
    b.line(kItemHeader, Qt::AlignLeft);

    long long quantitySum = 0;
    double discountSum = 0.0;
    double amountTotal = 0.0;
    for (const ReceiptLine& item : data.lines) {
        const int nameLines = std::max(1, ceilDiv(receiptCells(item.name), kNameCells));
        int bottom =
            b.add(QRect(0, b.y, col.nameRight(), nameLines * H), item.name, Qt::AlignLeft, BoxText::Wrapped);
        bottom = std::max(bottom, b.stack(col.nameRight(), col.b,
                                          chunkCells(QString::number(item.quantity), kQuantityCells)));
        bottom =
            std::max(bottom, b.stack(col.quantityRight(), col.a, chunkCells(money(item.price), kMoneyCells)));
        bottom =
            std::max(bottom, b.stack(col.priceRight(), col.a, chunkCells(money(item.amount), kMoneyCells)));
        b.y = bottom;
        quantitySum += item.quantity;
        discountSum += item.discount;
        amountTotal += item.amount;
    }

    // Subtotal row. "件" follows the last chunk of the quantity; when the two
    // no longer fit the column's five cells it goes on a line of its own, and
    // the box grows by that line so nothing is drawn outside it.
    {
        int bottom = b.add(QRect(0, b.y, col.nameRight(), H), QStringLiteral("小计"), Qt::AlignHCenter,
                           BoxText::SingleLine);
        QStringList qty = chunkCells(QString::number(quantitySum), kQuantityCells);
        const QString piece = QStringLiteral("件");
        if (receiptCells(qty.last()) + receiptCells(piece) > kQuantityCells)
            qty << piece;
        else
            qty.last() += piece;
        bottom = std::max(bottom, b.stack(col.nameRight(), col.b, qty));
        bottom =
            std::max(bottom, b.stack(col.quantityRight(), 2 * col.a,
                                     chunkCells(QStringLiteral("合计:") + money(amountTotal), kTotalCells)));
        b.y = bottom;
    }

    const QString capitals = capitalsText(amountTotal);
    b.y = b.add(QRect(0, b.y, pageWidth, std::max(1, ceilDiv(receiptCells(capitals), kReceiptCells)) * H),
                capitals, Qt::AlignLeft, BoxText::Wrapped);

    b.line(QString(11, QLatin1Char('-')) + QStringLiteral("交易时刻:") +
               when.toString(QStringLiteral("HH:mm")) + QString(12, QLatin1Char('-')),
           Qt::AlignHCenter);
    b.line(QStringLiteral("应收金额:") + money(amountTotal), Qt::AlignLeft);
    b.line(QStringLiteral("折    扣:") + money(discountSum), Qt::AlignLeft);
    for (const QString& paid : receiptPaymentLines(data, amountTotal))
        b.line(paid, Qt::AlignLeft);
    b.line(QStringLiteral("会员编号:") + data.memberCode, Qt::AlignLeft);
    b.line(QStringLiteral("本次积分:") + QString::number(receiptPoints(data)), Qt::AlignLeft);
    b.line(QString(13, QLatin1Char('-')) + QStringLiteral("谢谢惠顾！") + QString(14, QLatin1Char('-')),
           Qt::AlignHCenter);

    const QString addition = normaliseBreaks(data.printAddition);
    if (!addition.isEmpty())
        b.y = b.add(QRect(0, b.y, pageWidth, fullWidthLines(addition) * H), addition, Qt::AlignLeft,
                    BoxText::Wrapped);

    b.out.height = b.y;
    return b.out;
}

} // namespace vorn::ui

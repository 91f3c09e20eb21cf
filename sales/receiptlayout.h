// Where every text of a receipt goes, worked out without a printer: the 37-cell
// grid, the header, one block per sold row, the subtotal, the capitals, the
// payment figures and the shop's own text. The printer only draws these boxes.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "receiptdata.h"

namespace vorn::ui {

// Every receipt line is this many device units high; the font is as tall.
inline constexpr int kReceiptLineHeight = 20;
// The receipt is 37 single-byte cells wide (a Chinese character takes two).
inline constexpr int kReceiptCells = 37;

// The four item columns for a page W device units wide.
struct ReceiptColumns {
    int width = 0; // W
    int a = 0;     // round(W x 8/37): width of the unit price and of the amount column
    int b = 0;     // round(W x 5/37): width of the quantity column
    int nameRight() const { return width - 2 * a - b; } // the name column runs from 0 to here
    int quantityRight() const { return width - 2 * a; }
    int priceRight() const { return width - a; } // the amount column runs from here to W
};
ReceiptColumns receiptColumns(int pageWidth);

// How the painter puts a box's text into its rectangle. Lines are always
// kReceiptLineHeight apart, whatever the font's own spacing.
enum class BoxText {
    SingleLine, // one line, vertically centred, ending with "…" when too long
    Wrapped,    // wrapped at words (or anywhere inside an over-long word) to the box width;
                // "\n" starts a new line; text left over ends the last line with "…"
    Lines,      // exactly the lines the text's "\n" make, one per line of the box
};

struct ReceiptBox {
    QRect rect;
    QString text;
    Qt::Alignment align = Qt::AlignLeft; // horizontal alignment inside the box
    BoxText mode = BoxText::SingleLine;
    int lines() const { return rect.height() / kReceiptLineHeight; }
};

struct ReceiptLayout {
    int width = 0;
    int height = 0; // bottom of the lowest box: the height the receipt needs
    std::vector<ReceiptBox> boxes;
};

// The receipt of `data` for a page `pageWidth` device units wide. The header
// date and the time line show printTime (seconds since 1970, local time), the
// moment of printing, so a receipt printed again shows the later time.
ReceiptLayout layoutReceipt(const ReceiptData& data, int pageWidth, int64_t printTime);
// The same at the program clock's now().
ReceiptLayout layoutReceipt(const ReceiptData& data, int pageWidth);

// Width of a text in grid cells: its length in GBK bytes (a character GBK
// cannot hold counts as two).
int receiptCells(const QString& text);
// The text cut from the left into pieces of at most `cells` cells each, never
// splitting a character. An empty text gives one empty piece.
QStringList chunkCells(const QString& text, int cells);
// The payment lines of the footer: one per payment ("微    信:12.5", the
// method's name spread over the eight cells of the other captions), or,
// without payment lines, the amount paid as cash as it always printed; then
// the change.
QStringList receiptPaymentLines(const ReceiptData& data, double amountTotal);
// "单号:20261207-0001", empty when the receipt has no number.
QString receiptNumberLine(const ReceiptData& data);
// The mark of a receipt printed again.
QString receiptReprintMark();

// The points a receipt shows for this sale: what checkout credited where it
// recorded that, else the total, as printed to one decimal, truncated toward
// zero; 0 without a member.
int receiptPoints(const ReceiptData& data);

} // namespace vorn::ui

// The receipt for a thermal ESC/POS printer: the same texts in the same order as
// the printed receipt, reflowed to the paper's characters a line and sent as GBK,
// then the cut and, when the shop wants it, the cash drawer pulse.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "receiptdata.h"

namespace vorn::ui {

class Shell;
struct ReceiptPrinterSettings;

// Cells of the three number columns at the right of an item line; the name
// column takes the rest of the width.
inline constexpr int kEscPosQuantityCells = 6;
inline constexpr int kEscPosPriceCells = 9;
inline constexpr int kEscPosAmountCells = 9;
// Narrower paper than this gets this many characters a line all the same.
inline constexpr int kEscPosMinWidth = 24;
// Lines fed after the receipt so its end passes the cutter.
inline constexpr int kEscPosFeedBeforeCut = 4;

// The receipt's text lines for a printer of `width` characters a line (the
// shop name first, on its own lines since it prints double height and
// centred). printTime (seconds since 1970, local time) is the date of the
// header and the time line.
struct EscPosReceiptText {
    QStringList title; // the shop name's lines
    QStringList body;  // every further line, in order
};
EscPosReceiptText receiptEscPosText(const ReceiptData& data, int64_t printTime, int width);

// The whole byte stream: initialise, Chinese mode, the title centred double
// height, the body, the feed, a partial cut, and the drawer pulse when
// openDrawer.
QByteArray receiptEscPos(const ReceiptData& data, int64_t printTime, int width, bool openDrawer);

// Sends the receipt of data to the ESC/POS printer of settings on the printer
// thread; the counter goes on meanwhile. The outcome reaches the status bar
// once the send has ended: "小票未打印：" and the reason on failure. The drawer
// opens with the first receipt of a sale (saleTime and its content tell sales
// apart), not with every reprint, unless that first receipt did not get out.
// Settings that cannot be used send nothing: the status bar says so at once
// and the reason is returned; empty when the receipt was handed over.
QString sendReceiptEscPos(Shell& shell, const ReceiptData& data, int64_t saleTime,
                          const ReceiptPrinterSettings& settings);

// A sale finished without a receipt: with an ESC/POS printer whose drawer opens
// after each sale, the drawer still opens (the cash goes in either way). The
// sale counts as opened, so printing its receipt later does not open it again.
// Nothing happens for the system printer or without the drawer option.
void openDrawerForSale(Shell& shell, const ReceiptData& data, int64_t saleTime,
                       const ReceiptPrinterSettings& settings);

// The status texts of a send.
QString receiptNotPrintedText(const QString& why);
QString receiptPrintedText(const QString& printer);

} // namespace vorn::ui

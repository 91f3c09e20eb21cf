// Printing a receipt: on the default printer without a dialog, or, where the
// machine has no printer, as a PDF in the folder "receipts" beside the store.
#pragma once

#include <QString>

#include "receiptdata.h"

class QFont;
class QPainter;

namespace vorn::ui {

class Shell;
struct ReceiptLayout;

struct PrintOutcome {
    bool ok = false;
    QString pdfPath; // set when the receipt went to a PDF file instead of a printer
    QString error;   // why it failed, for the status bar
};

// Prints `data` and says in the status bar where it went (or why it failed).
// saleTime (seconds since 1970, local meaning) names the PDF file.
PrintOutcome printReceipt(Shell& shell, const ReceiptData& data, qint64 saleTime);

// As printReceipt, on the printer of that name; an empty name writes the PDF
// (what printReceipt does when the machine has no default printer). Failures
// go to shell.reportFailure; nothing here touches the sale or the store.
PrintOutcome printReceiptOn(Shell& shell, const ReceiptData& data, qint64 saleTime,
                            const QString& printerName);

// The receipt font: "宋体" where installed, else a CJK face with half-width
// Latin, 20 device units high, normal weight.
QFont receiptFont();

// Draws the boxes of a laid-out receipt with the receipt font, the painter's
// origin at the top left of the receipt. Lines are kReceiptLineHeight apart.
// Half-width characters are drawn half as wide as Chinese ones (condensed
// where the font's Latin letters are wider), so lines keep to the grid.
void drawReceipt(QPainter& painter, const ReceiptLayout& layout);

// The PDF receipt page, in its device units (5 a millimetre): the receipt is
// 370 units wide, 37 cells of one half-width character of the 20-unit font,
// so the 37-cell lines fill it exactly; with the margins the page is 80 mm
// wide, and as long as the receipt.
inline constexpr int kReceiptPdfDpi = 127;
inline constexpr int kReceiptPdfBodyWidth = 370;
inline constexpr int kReceiptPdfSideMargin = 15; // 3 mm
inline constexpr int kReceiptPdfEndMargin = 25;  // 5 mm above and below

} // namespace vorn::ui

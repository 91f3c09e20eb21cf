// The paper of a cash-up: "交班单" for one shift, "日结单" for a day over all its
// shifts. The same lines go to a thermal printer (ESC/POS, the paper's
// characters a line), to the system printer or, where the machine has none,
// to a PDF in the receipts folder beside the store, as receipts do.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "vorn/shifts.h"

namespace vorn::ui {

class Shell;
struct ReceiptLayout;

// A cash-up ready to print: its title (printed double height) and the lines
// under it, laid out for `width` characters a line.
struct ShiftSheet {
    QString title;
    QStringList lines;
};

// Characters a line of the PDF and of the system printer's paper: the
// receipt's 37 cells.
inline constexpr int kShiftSheetPdfWidth = 37;

// The 交班单 of a shift. printTime (seconds, local meaning) ends it.
ShiftSheet shiftSheet(const vorn::ShiftReport& report, int width, int64_t printTime);
// The 日结单 of a day; reports holds the figures of each of day.shifts in order
// (a shift missing there is listed by its times alone).
ShiftSheet daySheet(const vorn::DayReport& day, const std::vector<vorn::ShiftReport>& reports, int width,
                    int64_t printTime);

// "短款 1.5元" / "长款 0.3元" / "无差额".
QString cashDifferenceText(int64_t difference);

// The bytes for a thermal printer: initialise, Chinese mode, the title
// centred double height, the lines, the feed and a partial cut.
QByteArray shiftSheetEscPos(const ShiftSheet& sheet);

// The sheet as boxes of the receipt's grid (one line a row), for drawReceipt.
ReceiptLayout shiftSheetLayout(const ShiftSheet& sheet);

struct SheetPrintOutcome {
    bool ok = false;
    QString where; // "PDF文件\"...\"", "打印机\"...\"", "小票打印机\"...\""
    QString pdfPath;
    QString error; // why not, empty on success
};

// Writes the sheet laid out at kShiftSheetPdfWidth as a PDF named after
// `fileStem` in the receipts folder (made where missing).
SheetPrintOutcome writeShiftSheetPdf(const ShiftSheet& sheet, const QString& fileStem);

// Prints a cash-up where the shop's receipts go: the thermal printer of
// 店铺设置 (sent on the printer thread; a failure there reaches the status
// bar later as "<noun>未打印：..."), else the default printer, else a PDF.
// makeSheet lays the sheet out for a given width. Says nothing itself on
// success: the caller ends its operation with one sentence using `where`.
SheetPrintOutcome printShiftSheet(Shell& shell, const std::function<ShiftSheet(int width)>& makeSheet,
                                  const QString& noun, const QString& fileStem);

// The 交班单 of a report printed where receipts go (its PDF named after the
// shift's opening), and the 日结单 of a day with each shift's report.
SheetPrintOutcome printShiftReport(Shell& shell, const vorn::ShiftReport& report);
SheetPrintOutcome printDayReport(Shell& shell, const vorn::DayReport& day,
                                 const std::vector<vorn::ShiftReport>& reports);

// The clause a status sentence ends with: "交班单已保存为PDF文件\"...\"",
// "交班单已送往小票打印机\"...\"", "交班单未打印：..." and so on.
QString sheetOutcomeText(const SheetPrintOutcome& outcome, const QString& noun);

} // namespace vorn::ui

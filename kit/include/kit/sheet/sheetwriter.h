// Writing a table to a spreadsheet file, row by row: CSV (UTF-8 with a byte
// order mark, CRLF line ends, which Excel and WPS open without asking) or XLSX.
// A text cell of a CSV file that a spreadsheet would open as a formula gets an
// apostrophe in front (see guardFormulaText in kit/text/csv.h); XLSX keeps text as
// text by itself.
// The format follows the file's suffix. Rows stream out as they are added, so a
// million rows never sit in memory at once.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace vorn::ui {

struct SheetCell {
    enum class Kind { Text, Number, Money };
    Kind kind = Kind::Text;
    QString text;
    double number = 0.0;

    static SheetCell str(QString t) { return {Kind::Text, std::move(t), 0.0}; }
    // A count or other plain number.
    static SheetCell num(double v) { return {Kind::Number, QString(), v}; }
    // Money: a number shown with one decimal, rounded as the program shows money
    // everywhere (in CSV the text format_money gives).
    static SheetCell money(double v) { return {Kind::Money, QString(), v}; }
};

enum class SheetFormat { Csv, Xlsx };

// XLSX for a name ending in ".xlsx" (any case), CSV for anything else.
SheetFormat sheetFormatFor(const QString& path);

class SheetWriter {
public:
    virtual ~SheetWriter() = default;
    // False once writing failed; error() says why. Rows after a failure are ignored.
    virtual bool addRow(const std::vector<SheetCell>& cells) = 0;
    // A row of column headings: bold in XLSX, where the rows below scroll under
    // it and it counts towards the column widths. A plain row in CSV.
    virtual bool addHeading(const QStringList& names) = 0;
    // Starts a new part of the file under a title, for files that hold several
    // tables (the figures of several charts): in XLSX a worksheet named after
    // the title with the title in bold in its first row; in CSV a blank line
    // (unless nothing came before) and the title on a line of its own.
    virtual bool startSheet(const QString& title) = 0;
    // Completes and closes the file. False (with error()) when it could not be
    // written whole; the partial file is removed then.
    virtual bool finish() = 0;
    QString error() const { return error_; }

protected:
    QString error_;
};

// Opens `path` for writing in the format of its suffix. `sheetName` names the
// worksheet of an XLSX file (ignored for CSV). Null with `error` set when the
// file cannot be created. The file appears only when finish() succeeds; a
// writer dropped before that leaves nothing behind.
std::unique_ptr<SheetWriter> openSheet(const QString& path, const QString& sheetName, QString* error);

// Writes one table: the heading, then `count` rows that rowAt(i, cells) fills
// (cells arrives cleared), reporting progress from 0 to 100 as the rows go out.
// False with `error` when the file could not be written whole; nothing is left
// behind then. Touches no widget, so it may run as a busy-window job.
using SheetRowSource = std::function<void(size_t row, std::vector<SheetCell>& cells)>;
bool writeSheet(const QString& path, const QString& sheetName, const QStringList& heading, size_t count,
                const SheetRowSource& rowAt, const std::function<void(int percent)>& progress,
                QString* error);

// Asks where to export: a save dialog offering "Excel 工作簿 (*.xlsx)" and
// "CSV 文件 (*.csv)", starting at `suggestedName` in the user's documents folder;
// the chosen filter's suffix is added when the name has none. Empty when
// cancelled.
QString askExportPath(QWidget* parent, const QString& title, const QString& suggestedName);

// Test hook: while set, askExportPath shows no dialog and answers what the
// prompt returns (empty = cancelled). An empty function restores the dialog.
using ExportPathPrompt =
    std::function<QString(QWidget* parent, const QString& title, const QString& suggestedName)>;
void setExportPathPrompt(ExportPathPrompt prompt);

// An XLSX worksheet holds at most 1,048,576 rows; a longer table goes on in a
// further worksheet ("商品(2)", ...) that repeats the heading. Tests lower the
// limit to see that happen; 0 restores it.
void setSheetRowLimitForTests(int rows);

} // namespace vorn::ui

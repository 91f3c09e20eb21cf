// Writing a table to a spreadsheet file, row by row: CSV (UTF-8 with a byte
// order mark, CRLF line ends, which Excel and WPS open without asking) or XLSX.
// The format follows the file's suffix. Rows stream out as they are added, so a
// million rows never sit in memory at once.
#pragma once

#include <QString>
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
    // Completes and closes the file. False (with error()) when it could not be
    // written whole; the partial file is removed then.
    virtual bool finish() = 0;
    QString error() const { return error_; }

protected:
    QString error_;
};

// Opens `path` for writing in the format of its suffix. `sheetName` names the
// worksheet of an XLSX file (ignored for CSV). Null with `error` set when the
// file cannot be created.
std::unique_ptr<SheetWriter> openSheet(const QString& path, const QString& sheetName, QString* error);

// Asks where to export: a save dialog offering "Excel 工作簿 (*.xlsx)" and
// "CSV 文件 (*.csv)", starting at `suggestedName` in the user's documents folder;
// the chosen filter's suffix is added when the name has none. Empty when
// cancelled.
QString askExportPath(QWidget* parent, const QString& title, const QString& suggestedName);

} // namespace vorn::ui

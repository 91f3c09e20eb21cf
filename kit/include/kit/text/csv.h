// Comma-separated text as Excel and WPS write it: reading a file's bytes in
// whatever encoding it came in, splitting it into records, and writing records
// back out in a form both programs open correctly.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vorn::ui {

enum class TextEncoding { Utf8, Gbk };

// The encoding of a file's bytes: UTF-8 when they start with the UTF-8 byte
// order mark or are valid UTF-8 throughout (plain ASCII included), GBK otherwise.
TextEncoding detectEncoding(const QByteArray& bytes);

// The bytes as text in that encoding, without a leading byte order mark.
// `ok` (when given) turns false when some bytes are not valid in the encoding;
// those come out as U+FFFD.
QString decodeText(const QByteArray& bytes, TextEncoding encoding, bool* ok = nullptr);

// One record of the file with the 1-based line of the file it starts on (a
// quoted field may hold line breaks, so records and lines differ).
struct CsvRecord {
    QStringList fields;
    int line = 0;
};

// Splits text into records: fields separated by commas, a field in double
// quotes may hold commas, line breaks and doubled quotes ("" for "); records end
// at CRLF, LF or CR. Lines that are empty (or hold only separators and
// spaces) are left out. An unclosed quote runs to the end of the text. A line
// break inside a quoted field comes out as "\n", whichever the file used.
// Every field goes through unguardFormulaText(), so text our own export wrote
// reads back as it was.
std::vector<CsvRecord> parseCsv(const QString& text);

// One record as a CSV line (without the line end): a field is quoted when it
// holds a comma, a quote, a line break or starts or ends with a space.
QString csvLine(const QStringList& fields);

// Text a spreadsheet would run as a formula when it opens the file: one that
// starts with "=", "+", "-", "@", a tab or a line break ("=HYPERLINK(...)" in a
// goods name). Such text goes out with an apostrophe in front, which the
// spreadsheet shows and never runs. Text that starts with an apostrophe gets one
// more, so that reading always takes exactly one off: "'x" -> "''x" -> "'x".
// Only for text cells: numbers are written as numbers.
QString guardFormulaText(const QString& text);
// The reverse: one leading apostrophe before any of those characters (or
// before another apostrophe) is taken off; any other text is left as it is.
QString unguardFormulaText(const QString& text);

// Characters nobody can type into a field of the program: C0 controls (NUL,
// tab, ESC, GS, ...), DEL, C1 controls and the line breaks (CR, LF, U+2028,
// U+2029). A file brings them in easily (a copied cell, a scanner's prefix), and
// the NUL would even cut the statement that stores the text.
bool isControlCharacter(QChar c);

// How a field takes line breaks: a one-line field (a name) has none, a
// multi-line one (a remark, an address) holds them as "\n".
enum class LineBreaks { None, Kept };

// Whether the text holds a control character the field cannot take (with
// LineBreaks::Kept, line breaks are no such character).
bool hasControlCharacters(QStringView text, LineBreaks breaks = LineBreaks::None);
// The kinds of those characters, in the order they first appear, as a user
// reads them: "制表符", "换行", or the usual abbreviation ("ESC", "NUL",
// "GS") or code ("U+0085"); joined with "、".
QString controlCharacterNames(QStringView text, LineBreaks breaks = LineBreaks::None);
// The text as the field can take it: a tab, or a line break of a one-line
// field, becomes one blank so the words on either side stay apart (several in a
// row, one blank); a line break of a multi-line field becomes "\n" (CRLF one);
// every other control character is dropped.
QString withoutControlCharacters(QStringView text, LineBreaks breaks = LineBreaks::None);

} // namespace vorn::ui

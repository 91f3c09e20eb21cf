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
std::vector<CsvRecord> parseCsv(const QString& text);

// One record as a CSV line (without the line end): a field is quoted when it
// holds a comma, a quote, a line break or starts or ends with a space.
QString csvLine(const QStringList& fields);

} // namespace vorn::ui

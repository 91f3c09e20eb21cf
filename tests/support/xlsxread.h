// Reading back what the spreadsheet writer made, for tests: the parts of an
// XLSX file come out through the system's unzip (tests skip without it), and
// the few XML parts a test looks at are read into plain structures.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <vector>

namespace vorn::ui::test {

inline bool haveUnzip() {
    return !QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty();
}

// unzip's answer to the arguments; `ok` false when it failed.
inline QByteArray runUnzip(const QStringList& args, bool* ok = nullptr) {
    QProcess p;
    p.start(QStringLiteral("unzip"), args);
    const bool done = p.waitForFinished(60000);
    if (ok) *ok = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return p.readAllStandardOutput();
}

// The names of the archive's members; empty when it is no zip file.
inline QStringList zipMembers(const QString& file) {
    bool ok = false;
    const QByteArray out = runUnzip({QStringLiteral("-Z1"), file}, &ok);
    if (!ok) return {};
    return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
}

// unzip -t: every member's checksum is right.
inline bool zipIntact(const QString& file) {
    bool ok = false;
    runUnzip({QStringLiteral("-tq"), file}, &ok);
    return ok;
}

inline QByteArray zipMember(const QString& file, const QString& member) {
    return runUnzip({QStringLiteral("-p"), file, member});
}

struct XlsxCell {
    QString type;  // "inlineStr", "s", "n" (written as no type) ...
    int style = 0; // index into cellXfs
    QString value; // the inline text or the <v> number text
};

struct XlsxSheet {
    QMap<int, QMap<int, XlsxCell>> rows; // 1-based row, 0-based column
    QMap<int, double> widths;            // 1-based column -> width
    int frozenRows = 0;

    // Row r (1-based) as texts, up to its last cell.
    QStringList texts(int r) const {
        QStringList out;
        const auto row = rows.value(r);
        for (auto it = row.begin(); it != row.end(); ++it) {
            while (out.size() < it.key())
                out << QString();
            out << it.value().value;
        }
        return out;
    }
    XlsxCell cell(int r, int c) const { return rows.value(r).value(c); }
};

// "AB12" -> column 27 (0-based), row 12.
inline void splitRef(const QString& ref, int& row, int& col) {
    col = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        col = col * 26 + (ref[i].unicode() - 'A' + 1);
    col -= 1;
    row = ref.mid(i).toInt();
}

inline XlsxSheet readSheet(const QString& file, int n) {
    XlsxSheet sheet;
    QXmlStreamReader xml(zipMember(file, QStringLiteral("xl/worksheets/sheet%1.xml").arg(n)));
    int row = 0;
    int col = 0;
    XlsxCell cell;
    bool inCell = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            const auto a = xml.attributes();
            if (name == u"pane" && a.value(QLatin1String("state")) == u"frozen") {
                sheet.frozenRows = a.value(QLatin1String("ySplit")).toInt();
            } else if (name == u"col") {
                for (int c = a.value(QLatin1String("min")).toInt();
                     c <= a.value(QLatin1String("max")).toInt(); ++c)
                    sheet.widths[c] = a.value(QLatin1String("width")).toDouble();
            } else if (name == u"c") {
                splitRef(a.value(QLatin1String("r")).toString(), row, col);
                cell = XlsxCell{};
                cell.type = a.hasAttribute(QLatin1String("t")) ? a.value(QLatin1String("t")).toString()
                                                               : QStringLiteral("n");
                cell.style = a.value(QLatin1String("s")).toInt();
                inCell = true;
            } else if (inCell && (name == u"t" || name == u"v")) {
                cell.value += xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == u"c") {
            sheet.rows[row][col] = cell;
            inCell = false;
        }
    }
    return sheet;
}

// The worksheet names in workbook order.
inline QStringList sheetNames(const QString& file) {
    QStringList names;
    QXmlStreamReader xml(zipMember(file, QStringLiteral("xl/workbook.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"sheet")
            names << xml.attributes().value(QLatin1String("name")).toString();
    }
    return names;
}

// A cell style: whether its font is bold and its number format's code.
struct XlsxStyle {
    bool bold = false;
    QString numFmt; // "General" for the built-in 0
};

inline std::vector<XlsxStyle> readStyles(const QString& file) {
    QXmlStreamReader xml(zipMember(file, QStringLiteral("xl/styles.xml")));
    QMap<int, QString> formats{{0, QStringLiteral("General")}, {2, QStringLiteral("0.00")}};
    std::vector<bool> boldFonts;
    std::vector<XlsxStyle> styles;
    bool inFonts = false;
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const auto name = xml.name();
        if (xml.isStartElement()) {
            const auto a = xml.attributes();
            if (name == u"numFmt")
                formats[a.value(QLatin1String("numFmtId")).toInt()] =
                    a.value(QLatin1String("formatCode")).toString();
            if (name == u"fonts") inFonts = true;
            if (name == u"cellXfs") inCellXfs = true;
            if (inFonts && name == u"font") boldFonts.push_back(false);
            if (inFonts && name == u"b" && !boldFonts.empty()) boldFonts.back() = true;
            if (inCellXfs && name == u"xf") {
                XlsxStyle s;
                const size_t font = a.value(QLatin1String("fontId")).toUInt();
                s.bold = font < boldFonts.size() && boldFonts[font];
                s.numFmt = formats.value(a.value(QLatin1String("numFmtId")).toInt(), QStringLiteral("?"));
                styles.push_back(s);
            }
        } else if (xml.isEndElement()) {
            if (name == u"fonts") inFonts = false;
            if (name == u"cellXfs") inCellXfs = false;
        }
    }
    return styles;
}

} // namespace vorn::ui::test

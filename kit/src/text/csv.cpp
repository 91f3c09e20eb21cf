#include "kit/text/csv.h"

#include <QStringDecoder>
#include <algorithm>

namespace vorn::ui {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

bool startsWithBom(const QByteArray& bytes) { return bytes.startsWith(QByteArrayView(kBom, 3)); }

// A GBK lead byte followed by a byte that can trail it. Anything else above
// 0x7F (a lone 0x80 or 0xFF, a lead byte before ASCII or at the end) is not
// GBK; the system decoder would turn some of these into private-use or euro
// characters without complaint, so we judge the bytes ourselves.
bool isGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool isGbkTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

// User-defined GBK areas decode to the private-use plane; nothing a shop types
// lands there, so such a character means the encoding is the wrong one.
bool isPrivateUse(QChar c) { return c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF; }

QString decodeGbk(QByteArrayView bytes, bool& ok) {
    QStringDecoder dec("GBK", QStringConverter::Flag::Stateless);
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype runStart = 0;
    auto flush = [&](qsizetype end) {
        if (end > runStart) out += dec.decode(bytes.sliced(runStart, end - runStart));
    };
    qsizetype i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
        } else if (isGbkLead(c) && i + 1 < n && isGbkTrail(p[i + 1])) {
            i += 2;
        } else {
            flush(i);
            out += QChar(QChar::ReplacementCharacter);
            ok = false;
            ++i;
            runStart = i;
        }
    }
    flush(n);
    if (dec.hasError()) ok = false;
    for (QChar& ch : out) {
        if (isPrivateUse(ch)) {
            ch = QChar(QChar::ReplacementCharacter);
            ok = false;
        }
    }
    return out;
}

} // namespace

TextEncoding detectEncoding(const QByteArray& bytes) {
    if (startsWithBom(bytes)) return TextEncoding::Utf8;
    QStringDecoder dec(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString ignored = dec.decode(bytes);
    return dec.hasError() ? TextEncoding::Gbk : TextEncoding::Utf8;
}

QString decodeText(const QByteArray& bytes, TextEncoding encoding, bool* ok) {
    // A UTF-8 mark in front of a file read as GBK still is not text: leave it out too.
    QByteArrayView body(bytes);
    if (startsWithBom(bytes)) body = body.sliced(3);
    bool valid = true;
    QString text;
    if (encoding == TextEncoding::Utf8) {
        // Stateless: a sequence cut off at the end of the file counts as invalid. A
        // second mark (files saved twice over) is dropped by the decoder.
        QStringDecoder dec(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        text = dec.decode(body);
        valid = !dec.hasError();
    } else {
        text = decodeGbk(body, valid);
    }
    if (ok) *ok = valid;
    return text;
}

std::vector<CsvRecord> parseCsv(const QString& text) {
    std::vector<CsvRecord> records;
    const QChar* p = text.constData();
    const qsizetype n = text.size();

    CsvRecord current;
    current.line = 1;
    QString field;
    int line = 1;

    auto endField = [&] {
        current.fields.append(unguardFormulaText(field));
        field = QString();
    };
    auto endRecord = [&] {
        endField();
        const bool blank = std::ranges::all_of(current.fields, [](const QString& f) {
            return std::ranges::all_of(f, [](QChar c) { return c.isSpace(); });
        });
        if (!blank) records.push_back(std::move(current));
        current = CsvRecord{};
    };
    auto isBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };

    // Text is copied a run at a time, not a character at a time: large
    // catalogues are read in one go.
    qsizetype i = 0;
    bool fieldStart = true;
    while (i < n) {
        if (fieldStart && p[i] == u'"') {
            // A quoted field runs to the quote not followed by another one.
            ++i;
            while (i < n) {
                qsizetype j = i;
                while (j < n && p[j] != u'"' && !isBreak(p[j])) ++j;
                field.append(p + i, j - i);
                i = j;
                if (i >= n) break;
                if (p[i] == u'"') {
                    if (i + 1 < n && p[i + 1] == u'"') {
                        field.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                // A line break inside a field is kept as one "\n" whatever the file used.
                if (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n') ++i;
                ++i;
                ++line;
                field.append(u'\n');
            }
            fieldStart = false;
            continue;
        }
        fieldStart = false;
        const QChar c = p[i];
        if (c == u',') {
            endField();
            fieldStart = true;
            ++i;
        } else if (isBreak(c)) {
            if (c == u'\r' && i + 1 < n && p[i + 1] == u'\n') ++i;
            ++i;
            endRecord();
            ++line;
            current.line = line;
            fieldStart = true;
        } else {
            // Plain text, also after a closing quote (kept as it stands, as
            // spreadsheet programs do).
            qsizetype j = i;
            while (j < n && p[j] != u',' && !isBreak(p[j])) ++j;
            field.append(p + i, j - i);
            i = j;
        }
    }
    if (!fieldStart || !field.isEmpty() || !current.fields.isEmpty()) endRecord();
    return records;
}

QString csvLine(const QStringList& fields) {
    QString out;
    for (qsizetype k = 0; k < fields.size(); ++k) {
        if (k) out += u',';
        const QString& f = fields[k];
        const bool quote = f.contains(u',') || f.contains(u'"') || f.contains(u'\n') ||
                           f.contains(u'\r') || f.startsWith(u' ') || f.endsWith(u' ');
        if (!quote) {
            out += f;
            continue;
        }
        out += u'"';
        for (QChar c : f) {
            if (c == u'"') out += u'"';
            out += c;
        }
        out += u'"';
    }
    return out;
}

namespace {

// Characters a spreadsheet takes as the start of a formula (a tab or line break
// before one is skipped by some), and the apostrophe that guards them.
bool startsFormula(QChar c) {
    switch (c.unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
    case u'\n':
        return true;
    default:
        return false;
    }
}

constexpr QChar kGuard = u'\'';

bool isLineBreak(QChar c) {
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == 0x2028 || u == 0x2029;
}

const char* const kC0Names[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                  "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                  "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

QString controlName(QChar c) {
    const char16_t u = c.unicode();
    if (u == u'\t') return QStringLiteral("制表符");
    if (isLineBreak(c)) return QStringLiteral("换行");
    if (u < 0x20) return QString::fromLatin1(kC0Names[u]);
    if (u == 0x7F) return QStringLiteral("DEL");
    return QStringLiteral("U+%1").arg(static_cast<int>(u), 4, 16, QChar(u'0')).toUpper();
}

} // namespace

QString guardFormulaText(const QString& text) {
    if (text.isEmpty() || !(startsFormula(text.front()) || text.front() == kGuard)) return text;
    return kGuard + text;
}

QString unguardFormulaText(const QString& text) {
    if (text.size() < 2 || text.front() != kGuard) return text;
    const QChar next = text.at(1);
    return startsFormula(next) || next == kGuard ? text.mid(1) : text;
}

bool isControlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

namespace {

bool unwanted(QChar c, LineBreaks breaks) {
    return isControlCharacter(c) && !(breaks == LineBreaks::Kept && isLineBreak(c));
}

} // namespace

bool hasControlCharacters(QStringView text, LineBreaks breaks) {
    return std::ranges::any_of(text, [breaks](QChar c) { return unwanted(c, breaks); });
}

QString controlCharacterNames(QStringView text, LineBreaks breaks) {
    QStringList names;
    for (QChar c : text) {
        if (!unwanted(c, breaks)) continue;
        const QString name = controlName(c);
        if (!names.contains(name)) names << name;
    }
    return names.join(QChar(u'、'));
}

QString withoutControlCharacters(QStringView text, LineBreaks breaks) {
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (breaks == LineBreaks::Kept && isLineBreak(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += u'\n';
            blank = false;
        } else if (!isControlCharacter(c)) {
            if (blank && !out.isEmpty() && !out.endsWith(u'\n')) out += u' ';
            blank = false;
            out += c;
        } else if (c == u'\t' || isLineBreak(c)) {
            blank = true;
        }
    }
    return out;
}

} // namespace vorn::ui

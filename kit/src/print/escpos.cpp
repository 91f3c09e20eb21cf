#include "kit/print/escpos.h"

#include <algorithm>

#include "kit/text/gbk.h"

namespace vorn::ui {

namespace {

constexpr char ESC = 0x1B;
constexpr char FS = 0x1C;
constexpr char GS = 0x1D;
constexpr char LF = 0x0A;

char byteOf(int value) {
    return static_cast<char>(std::clamp(value, 0, 255));
}

bool isNarrow(QChar c) {
    return c.unicode() < 0x80;
}


QStringList wrapParagraph(const QString& para, int cells) {
    QStringList lines;
    QString line;
    int used = 0;
    auto flush = [&] {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines << line;
        line.clear();
        used = 0;
    };
    auto put = [&](const QString& piece, int w) {
        // A blank that would open a continued line is dropped.
        if (used == 0 && !lines.isEmpty() && piece == QLatin1String(" ")) return;
        line += piece;
        used += w;
    };
    for (const QString& token : lineBreakPieces(para)) {
        const int w = escPosCells(token);
        if (used + w <= cells) {
            put(token, w);
            continue;
        }
        if (token == QLatin1String(" ")) {
            flush();
            continue;
        }
        if (used > 0) flush();
        if (w <= cells) {
            put(token, w);
            continue;
        }
        // A word longer than any line: as many letters as fit, then on.
        for (const QChar c : token) {
            if (used + 1 > cells) flush();
            put(QString(c), 1);
        }
    }
    if (!line.isEmpty() || lines.isEmpty()) flush();
    return lines;
}

} // namespace

QStringList lineBreakPieces(const QString& text) {
    QStringList out;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype j = i + 1;
        if (text[i] == QLatin1Char(' ')) {
        } else if (isNarrow(text[i])) {
            while (j < text.size() && isNarrow(text[j]) && text[j] != QLatin1Char(' '))
                ++j;
        } else if (text[i].isHighSurrogate() && j < text.size() && text[j].isLowSurrogate()) {
            ++j;
        }
        out << text.mid(i, j - i);
        i = j;
    }
    return out;
}

int escPosCells(const QString& text) {
    const int bytes = gbkLength(text);
    if (bytes >= 0) return bytes;
    int cells = 0;
    for (const QChar c : text)
        cells += isNarrow(c) ? 1 : (c.isLowSurrogate() ? 0 : 2);
    return cells;
}

QStringList wrapCells(const QString& text, int cells) {
    cells = std::max(cells, 2);
    QStringList lines;
    for (const QString& para : text.split(QLatin1Char('\n')))
        lines += wrapParagraph(para, cells);
    return lines;
}

EscPosDoc& EscPosDoc::init() {
    bytes_.append(ESC).append('@');
    return *this;
}

EscPosDoc& EscPosDoc::chineseMode(bool on) {
    bytes_.append(FS).append(on ? '&' : '.');
    return *this;
}

EscPosDoc& EscPosDoc::align(Align align) {
    bytes_.append(ESC).append('a').append(static_cast<char>(align));
    return *this;
}

EscPosDoc& EscPosDoc::doubleHeight(bool on) {
    // GS ! serves most printers; some Chinese ones in Chinese mode listen only to
    // FS ! for the two-byte characters, so both are sent.
    bytes_.append(GS).append('!').append(on ? char(0x01) : char(0x00));
    bytes_.append(FS).append('!').append(on ? char(0x08) : char(0x00));
    return *this;
}

EscPosDoc& EscPosDoc::text(const QString& text) {
    QString clean = text;
    for (QChar& c : clean)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    const std::string bytes = gbk(clean);
    if (!bytes.empty() || clean.isEmpty()) {
        bytes_.append(bytes.data(), qsizetype(bytes.size()));
        return *this;
    }
    // Text GBK cannot hold never reaches the store; should some come anyway,
    // what can be printed is, the rest as '?'.
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const qsizetype len = clean.at(i).isHighSurrogate() && i + 1 < clean.size() ? 2 : 1;
        const std::string ch = gbk(clean.mid(i, len));
        if (ch.empty())
            bytes_.append('?');
        else
            bytes_.append(ch.data(), qsizetype(ch.size()));
        i += len - 1;
    }
    return *this;
}

EscPosDoc& EscPosDoc::line(const QString& text) {
    this->text(text);
    bytes_.append(LF);
    return *this;
}

EscPosDoc& EscPosDoc::feed(int lines) {
    bytes_.append(ESC).append('d').append(byteOf(lines));
    return *this;
}

EscPosDoc& EscPosDoc::cut(Cut kind) {
    bytes_.append(GS).append('V').append(static_cast<char>(kind));
    return *this;
}

EscPosDoc& EscPosDoc::drawerPulse(int pin, int onUnits, int offUnits) {
    bytes_.append(ESC)
        .append('p')
        .append(pin == 1 ? char(1) : char(0))
        .append(byteOf(onUnits))
        .append(byteOf(offUnits));
    return *this;
}

EscPosDoc& EscPosDoc::raw(const QByteArray& bytes) {
    bytes_.append(bytes);
    return *this;
}

} // namespace vorn::ui

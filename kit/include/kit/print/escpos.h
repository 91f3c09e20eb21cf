// An ESC/POS document: the command bytes a thermal receipt printer takes, built
// up in order and handed out as one byte array. Nothing here talks to a printer
// (kit/print/rawprinter.h sends the bytes), so a document can be checked byte for byte.
//
// Text goes out as GBK, which the Chinese printers print natively once their
// Chinese character mode is on (chineseMode()). Control characters in a text are
// sent as blanks: a shop name or goods name must never turn into a command.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vorn::ui {

class EscPosDoc {
public:
    enum class Align { Left = 0, Center = 1, Right = 2 };
    enum class Cut { Full = 0, Partial = 1 };

    // ESC @: back to the printer's power-on modes, its buffer cleared.
    EscPosDoc& init();
    // FS & (on) / FS . (off): two-byte GBK characters instead of single-byte code
    // pages. Needed after init() on printers that start in a single-byte mode.
    EscPosDoc& chineseMode(bool on = true);
    // ESC a n: alignment of the lines that follow.
    EscPosDoc& align(Align align);
    // GS ! n and FS ! n: double-height characters, Latin and Chinese alike. The
    // width stays, so a line holds as many characters as before.
    EscPosDoc& doubleHeight(bool on);
    // The text's GBK bytes, no line feed.
    EscPosDoc& text(const QString& text);
    // The text's GBK bytes and a line feed.
    EscPosDoc& line(const QString& text = QString());
    // ESC d n: prints what is buffered and feeds n lines (0 to 255).
    EscPosDoc& feed(int lines);
    // GS V m: cuts the paper at the cutter; feed() first so the last printed
    // line has passed it.
    EscPosDoc& cut(Cut kind);
    // ESC p m t1 t2: a pulse on the cash drawer connector (pin 2 for m = 0, pin 5
    // for m = 1), on for t1 x 2 ms, off for t2 x 2 ms. The defaults open the
    // drawers sold with these printers.
    EscPosDoc& drawerPulse(int pin = 0, int onUnits = 25, int offUnits = 250);
    // Bytes appended as they are (commands this builder has no call for).
    EscPosDoc& raw(const QByteArray& bytes);

    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

// Cells a text takes on a fixed-width printer: its GBK bytes, so a Chinese
// character takes two and a Latin letter one (a character GBK cannot hold
// counts two).
int escPosCells(const QString& text);

// The pieces a line may break between: a word of half-width letters, one
// blank, or one Chinese character (a surrogate pair stays whole). Joined they
// give the text back.
QStringList lineBreakPieces(const QString& text);

// The text broken into lines of at most `cells` cells: between words, at a
// blank (which is dropped there) or between any two Chinese characters, never
// inside a character; a word longer than a line is broken where the line is
// full. Line breaks in the text are kept. An empty text gives one empty line.
QStringList wrapCells(const QString& text, int cells);

} // namespace vorn::ui

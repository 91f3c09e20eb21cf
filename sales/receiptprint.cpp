#include "receiptprint.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "kit/text/clock.h"
#include "kit/print/escpos.h"
#include "kit/print/receiptprinter.h"
#include "kit/page/shell.h"
#include "receiptescpos.h"
#include "receiptlayout.h"

namespace vorn::ui {

namespace {

const QString kFolder = QStringLiteral("receipts");
// Widths are measured in fractions of a unit; a 37-cell line must still count
// as fitting a 37-cell box.
constexpr qreal kSlack = 0.5;

// Text on the receipt grid. The layout counts a half-width character as one
// cell and a Chinese one as two; fonts whose Latin letters are wider than half
// a Chinese character (most CJK faces but 宋体) would push 37-cell lines past
// the edge, so half-width runs are drawn condensed to exactly half.
class GridText {
public:
    GridText(const QFont& font, QPaintDevice* device) : fm_(font, device) {
        const qreal wide = fm_.horizontalAdvance(QStringLiteral("商"));
        const qreal narrow = fm_.horizontalAdvance(QStringLiteral("0"));
        if (wide > 0 && narrow > wide / 2) narrowScale_ = wide / 2 / narrow;
    }

    qreal width(const QString& text) const {
        qreal w = 0;
        forEachRun(text, [&](const QString& run, bool narrow) { w += runWidth(run, narrow); });
        return w;
    }

    QString elided(const QString& text, qreal width) const {
        if (fits(text, width)) return text;
        const QString dots(QChar(0x2026));
        QString kept = text;
        while (!kept.isEmpty() && !fits(kept + dots, width))
            chopChar(kept);
        return kept + dots;
    }

    // Word-wraps to `width`, at most maxLines lines; a word longer than a line
    // is broken anywhere, Chinese text between any two characters. Text left
    // over ends the last line with "…". Each "\n" starts a new line.
    QStringList wrap(const QString& text, qreal width, int maxLines) const {
        QStringList lines;
        const QStringList paras = text.split(QLatin1Char('\n'));
        for (qsizetype pi = 0; pi < paras.size(); ++pi) {
            const QStringList paraLines = wrapParagraph(paras[pi], width);
            for (qsizetype li = 0; li < paraLines.size(); ++li) {
                const bool more = li + 1 < paraLines.size() || pi + 1 < paras.size();
                if (int(lines.size()) + 1 == maxLines && more) {
                    QString rest = paraLines.mid(li).join(QString());
                    for (qsizetype pj = pi + 1; pj < paras.size(); ++pj)
                        rest += QLatin1Char(' ') + paras[pj];
                    lines << elided(rest, width);
                    return lines;
                }
                lines << paraLines[li];
            }
        }
        return lines;
    }

    // One line in a row of the box, vertically centred.
    void draw(QPainter& painter, const QRectF& row, Qt::Alignment align, const QString& text) const {
        const qreal w = width(text);
        qreal x = row.left();
        if (align & Qt::AlignRight)
            x = row.right() - w;
        else if (align & Qt::AlignHCenter)
            x = row.left() + (row.width() - w) / 2;
        const qreal baseline = row.top() + (row.height() - fm_.ascent() - fm_.descent()) / 2 + fm_.ascent();
        forEachRun(text, [&](const QString& run, bool narrow) {
            if (narrow && narrowScale_ < 1.0) {
                painter.save();
                painter.translate(x, baseline);
                painter.scale(narrowScale_, 1.0);
                painter.drawText(QPointF(0, 0), run);
                painter.restore();
            } else {
                painter.drawText(QPointF(x, baseline), run);
            }
            x += runWidth(run, narrow);
        });
    }

private:
    static bool isNarrow(QChar c) { return c.unicode() < 0x80; }

    static void chopChar(QString& s) { s.chop(s.size() >= 2 && s.back().isLowSurrogate() ? 2 : 1); }

    template <class F> static void forEachRun(const QString& text, F&& f) {
        qsizetype start = 0;
        for (qsizetype i = 1; i <= text.size(); ++i) {
            if (i == text.size() || isNarrow(text[i]) != isNarrow(text[start])) {
                f(text.mid(start, i - start), isNarrow(text[start]));
                start = i;
            }
        }
    }

    qreal runWidth(const QString& run, bool narrow) const {
        const qreal w = fm_.horizontalAdvance(run);
        return narrow ? w * narrowScale_ : w;
    }

    bool fits(const QString& text, qreal width) const { return this->width(text) <= width + kSlack; }

    QStringList wrapParagraph(const QString& para, qreal width) const {
        QStringList lines;
        QString line;
        auto flush = [&] {
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            lines << line;
            line.clear();
        };
        for (const QString& token : lineBreakPieces(para)) {
            if (fits(line + token, width)) {
                line += token;
                continue;
            }
            if (token == QLatin1String(" ")) { // a blank where the line ends
                flush();
                continue;
            }
            if (!line.isEmpty() && (fits(token, width) || !isNarrow(token[0]))) flush();
            if (fits(line + token, width)) {
                line += token;
                continue;
            }
            // A word too long for any line: as many letters as fit, then on.
            for (const QChar c : token) {
                if (!line.isEmpty() && !fits(line + c, width)) flush();
                line += c;
            }
        }
        if (!line.isEmpty() || lines.isEmpty()) flush();
        // Blanks carried to the start of a continued line are dropped.
        for (qsizetype i = 1; i < lines.size(); ++i)
            while (lines[i].startsWith(QLatin1Char(' ')))
                lines[i].remove(0, 1);
        return lines;
    }

    QFontMetricsF fm_;
    qreal narrowScale_ = 1.0;
};

QString failureText(const QString& why) {
    return QStringLiteral("未知异常导致\"打印小票\"失败（%1），放弃该次\"打印小票\"操作").arg(why);
}

PrintOutcome fail(Shell& shell, PrintOutcome out, const QString& why) {
    out.ok = false;
    out.error = failureText(why);
    shell.reportFailure(out.error);
    return out;
}

// Where a PDF receipt of a sale at saleTime goes; an earlier receipt of the
// same second keeps its file and the new one gets "-2", "-3", ...
QString pdfPathFor(const QDir& folder, qint64 saleTime) {
    const QString stamp = QDateTime::fromSecsSinceEpoch(saleTime).toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = folder.absoluteFilePath(stamp + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.absoluteFilePath(QStringLiteral("%1-%2.pdf").arg(stamp).arg(n));
    return path;
}

// One page, margins included, in points (72 a inch) from device units.
QPageLayout pdfPage(int bodyHeight) {
    const double toPoints = 72.0 / kReceiptPdfDpi;
    const QSizeF size((kReceiptPdfBodyWidth + 2 * kReceiptPdfSideMargin) * toPoints,
                      (bodyHeight + 2 * kReceiptPdfEndMargin) * toPoints);
    return QPageLayout(QPageSize(size, QPageSize::Point, QStringLiteral("Receipt"), QPageSize::ExactMatch),
                       QPageLayout::Portrait, QMarginsF());
}

bool paint(QPrinter& printer, const ReceiptLayout& layout, QPoint origin) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.translate(origin);
    drawReceipt(painter, layout);
    return painter.end() && printer.printerState() != QPrinter::Error;
}

PrintOutcome printPdf(Shell& shell, const ReceiptData& data, qint64 saleTime, qint64 printTime) {
    PrintOutcome out;
    QDir here = QDir::current();
    if (!here.mkpath(kFolder))
        return fail(shell, out,
                    QStringLiteral("无法创建小票文件夹\"%1\"")
                        .arg(QDir::toNativeSeparators(here.absoluteFilePath(kFolder))));
    out.pdfPath = pdfPathFor(QDir(here.absoluteFilePath(kFolder)), saleTime);

    const ReceiptLayout layout = layoutReceipt(data, kReceiptPdfBodyWidth, printTime);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kReceiptPdfDpi);
    printer.setOutputFileName(out.pdfPath);
    printer.setDocName(QStringLiteral("VornDoc"));
    printer.setCreator(QStringLiteral("Vornmart"));
    // The margins are ours, so the receipt's width does not depend on how the
    // page size rounds; the page is as long as the receipt, like a cut roll.
    printer.setFullPage(true);
    printer.setPageLayout(pdfPage(layout.height));

    if (!paint(printer, layout, QPoint(kReceiptPdfSideMargin, kReceiptPdfEndMargin))) {
        QFile::remove(out.pdfPath);
        return fail(shell, out,
                    QStringLiteral("无法写入小票文件\"%1\"").arg(QDir::toNativeSeparators(out.pdfPath)));
    }
    out.ok = true;
    shell.showStatus(QStringLiteral("成功将1张小票保存为PDF文件\"%1\"（本机没有默认打印机）")
                         .arg(QDir::toNativeSeparators(out.pdfPath)));
    return out;
}

} // namespace

QFont receiptFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("WenQuanYi Micro Hei Mono"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kReceiptLineHeight);
    font.setWeight(QFont::Normal);
    return font;
}

void drawReceipt(QPainter& painter, const ReceiptLayout& layout) {
    painter.save();
    const QFont font = receiptFont();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const GridText grid(font, painter.device());
    for (const ReceiptBox& box : layout.boxes) {
        QStringList lines;
        switch (box.mode) {
        case BoxText::SingleLine: {
            QString text = box.text;
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            lines << grid.elided(text, box.rect.width());
            break;
        }
        case BoxText::Lines:
            lines = box.text.split(QLatin1Char('\n'));
            break;
        case BoxText::Wrapped:
            lines = grid.wrap(box.text, box.rect.width(), std::max(1, box.lines()));
            break;
        }
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QRectF row(box.rect.left(), box.rect.top() + i * kReceiptLineHeight, box.rect.width(),
                             kReceiptLineHeight);
            grid.draw(painter, row, box.align, lines[i]);
        }
    }
    painter.restore();
}

PrintOutcome printReceiptOn(Shell& shell, const ReceiptData& data, qint64 saleTime,
                            const QString& printerName) {
    const qint64 printTime = now();
    if (saleTime <= 0) saleTime = printTime;
    if (printerName.isEmpty()) return printPdf(shell, data, saleTime, printTime);

    PrintOutcome out;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull()) return fail(shell, out, QStringLiteral("找不到打印机\"%1\"").arg(printerName));
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat)
        return fail(shell, out, QStringLiteral("打印机\"%1\"不可用").arg(printerName));
    printer.setDocName(QStringLiteral("VornDoc"));
    // Laid out in the printer's own pixels across its printable width.
    const ReceiptLayout layout = layoutReceipt(data, printer.width(), printTime);
    if (!paint(printer, layout, QPoint()))
        return fail(shell, out, QStringLiteral("打印机\"%1\"打印出错").arg(printerName));
    out.ok = true;
    shell.showStatus(QStringLiteral("成功打印1张小票（打印机\"%1\"）").arg(printerName));
    return out;
}

PrintOutcome printReceipt(Shell& shell, const ReceiptData& data, qint64 saleTime) {
    // The shop may have chosen a thermal printer in 店铺设置. Its receipt goes out
    // on the printer thread and reports in the status bar when it has ended; here
    // ok only says it was handed over, and error says why it was not (settings
    // that cannot be used). Printing never touches the sale.
    const ReceiptPrinterSettings printer = loadReceiptPrinter();
    if (printer.escPos()) {
        PrintOutcome out;
        if (saleTime <= 0) saleTime = now();
        out.error = sendReceiptEscPos(shell, data, saleTime, printer);
        out.ok = out.error.isEmpty();
        return out;
    }
    return printReceiptOn(shell, data, saleTime, QPrinterInfo::defaultPrinter().printerName());
}

} // namespace vorn::ui

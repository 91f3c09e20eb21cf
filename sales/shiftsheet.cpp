#include "shiftsheet.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>
#include <algorithm>

#include "kit/page/shell.h"
#include "kit/print/escpos.h"
#include "kit/print/rawprinter.h"
#include "kit/print/receiptprinter.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "receiptescpos.h"
#include "receiptlayout.h"
#include "receiptprint.h"
#include "vorn/journal.h"

namespace vorn::ui {

namespace {

const QString kFolder = QStringLiteral("receipts");

QString timeText(int64_t seconds, const QString& format = QStringLiteral("yyyy-MM-dd HH:mm")) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString(format);
}

// Names come from one-line edits; a stray break must not shift the columns.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20) c = QLatin1Char(' ');
    return text;
}

struct Out {
    int width;
    QStringList lines;

    // The label at the left and the value ending at the right edge; a value
    // too wide for the label's line goes under it.
    void pair(const QString& label, const QString& value) {
        const int gap = width - escPosCells(label) - escPosCells(value);
        if (gap >= 1) {
            lines << label + QString(gap, QLatin1Char(' ')) + value;
            return;
        }
        lines += wrapCells(label, width);
        for (const QString& piece : wrapCells(value, width))
            lines << QString(std::max(0, width - escPosCells(piece)), QLatin1Char(' ')) + piece;
    }
    void text(const QString& t) { lines += wrapCells(t, width); }
    // A heading centred in dashes across the line.
    void rule(const QString& t = QString()) {
        const int rest = std::max(0, width - escPosCells(t));
        lines << QString(rest / 2, QLatin1Char('-')) + t + QString(rest - rest / 2, QLatin1Char('-'));
    }
};

QString yuan(int64_t tenths) {
    return tenthsText(tenths);
}

void figureLines(Out& o, const vorn::ShiftFigures& f, bool closed) {
    o.rule(QStringLiteral("销售"));
    o.pair(QStringLiteral("销售"), QStringLiteral("%1笔 %2件").arg(f.sales).arg(f.sales_units));
    o.pair(QStringLiteral("销售金额"), yuan(f.sales_amount));
    o.pair(QStringLiteral("优惠"), yuan(f.discount));
    o.pair(QStringLiteral("退货"), QStringLiteral("%1笔 %2件").arg(f.returns).arg(f.returns_units));
    o.pair(QStringLiteral("退款"), yuan(f.returns_amount));
    o.pair(QStringLiteral("积分"), QStringLiteral("+%1").arg(f.points));
    o.pair(QStringLiteral("退货扣减积分"), QString::number(f.points_lost));
    o.rule(QStringLiteral("按付款方式"));
    for (int m = vorn::kPayCash; m <= vorn::kPayOther; ++m)
        o.pair(fromGbk(vorn::pay_method_name(m)), yuan(f.by_method[m]));
    if (f.by_method[vorn::kPayUnknown] != 0)
        o.pair(fromGbk(vorn::pay_method_name(vorn::kPayUnknown)), yuan(f.by_method[vorn::kPayUnknown]));
    o.rule(QStringLiteral("现金"));
    o.pair(QStringLiteral("备用金"), yuan(f.cash_float));
    o.pair(QStringLiteral("现金收入"), yuan(f.cash_taken));
    o.pair(QStringLiteral("现金退款"), yuan(f.cash_refunded));
    o.pair(QStringLiteral("应有现金"), yuan(f.expected));
    if (f.counted_known) {
        o.pair(QStringLiteral("实点现金"), yuan(f.counted));
        o.pair(QStringLiteral("差额"), cashDifferenceText(f.difference));
    } else {
        o.pair(QStringLiteral("实点现金"), closed ? QStringLiteral("未点") : QStringLiteral("未交班"));
    }
    o.pair(QStringLiteral("开钱箱"), QStringLiteral("%1次").arg(f.drawer_opens));
}

} // namespace

QString cashDifferenceText(int64_t difference) {
    if (difference < 0) return QStringLiteral("短款 %1元").arg(tenthsText(-difference));
    if (difference > 0) return QStringLiteral("长款 %1元").arg(tenthsText(difference));
    return QStringLiteral("无差额");
}

ShiftSheet shiftSheet(const vorn::ShiftReport& report, int width, int64_t printTime) {
    Out o{std::max(width, kEscPosMinWidth), {}};
    const vorn::ShiftRecord& s = report.shift;
    o.pair(QStringLiteral("收银员"), oneLine(fromGbk(s.cashier)));
    o.pair(QStringLiteral("开班"), timeText(s.opened));
    o.pair(QStringLiteral("交班"), s.closed > 0 ? timeText(s.closed) : QStringLiteral("未交班"));
    figureLines(o, report.figures, s.closed > 0);
    if (!s.note.empty()) o.text(QStringLiteral("备注: ") + oneLine(fromGbk(s.note)));
    o.rule(QStringLiteral("打印:") + timeText(printTime));
    return {QStringLiteral("交班单"), o.lines};
}

ShiftSheet daySheet(const vorn::DayReport& day, const std::vector<vorn::ShiftReport>& reports, int width,
                    int64_t printTime) {
    Out o{std::max(width, kEscPosMinWidth), {}};
    const QDate date(day.date / 10000, day.date / 100 % 100, day.date % 100);
    o.pair(QStringLiteral("日期"), date.toString(QStringLiteral("yyyy-MM-dd")));
    o.pair(QStringLiteral("班次"), day.open_shifts > 0
                                       ? QStringLiteral("%1个(未交班%2个)").arg(day.shifts.size()).arg(day.open_shifts)
                                       : QStringLiteral("%1个").arg(day.shifts.size()));
    for (size_t i = 0; i < day.shifts.size(); ++i) {
        const vorn::ShiftRecord& s = day.shifts[i];
        const QString span = timeText(s.opened, QStringLiteral("HH:mm")) + QLatin1Char('-') +
                             (s.closed > 0 ? timeText(s.closed, QStringLiteral("HH:mm")) : QString());
        o.pair(oneLine(fromGbk(s.cashier)), span);
        const vorn::ShiftReport* r = i < reports.size() && reports[i].shift.id == s.id ? &reports[i] : nullptr;
        if (!r) continue;
        const vorn::ShiftFigures& f = r->figures;
        QString count = s.closed == 0     ? QStringLiteral("未交班")
                        : f.counted_known ? QStringLiteral("实点%1 %2").arg(yuan(f.counted), cashDifferenceText(f.difference))
                                          : QStringLiteral("未点");
        o.pair(QStringLiteral("  应有%1").arg(yuan(f.expected)), count);
    }
    figureLines(o, day.figures, day.open_shifts == 0);
    o.rule(QStringLiteral("报损"));
    o.pair(QStringLiteral("报损"), QStringLiteral("%1件 成本%2").arg(day.damaged_units).arg(yuan(day.damaged_cost)));
    o.rule(QStringLiteral("打印:") + timeText(printTime));
    return {QStringLiteral("日结单"), o.lines};
}

QByteArray shiftSheetEscPos(const ShiftSheet& sheet) {
    EscPosDoc doc;
    doc.init().chineseMode().align(EscPosDoc::Align::Center).doubleHeight(true).line(sheet.title);
    doc.doubleHeight(false).align(EscPosDoc::Align::Left);
    for (const QString& line : sheet.lines)
        doc.line(line);
    doc.feed(kEscPosFeedBeforeCut).cut(EscPosDoc::Cut::Partial);
    return doc.bytes();
}

ReceiptLayout shiftSheetLayout(const ShiftSheet& sheet) {
    ReceiptLayout layout;
    layout.width = kReceiptPdfBodyWidth;
    int y = 0;
    ReceiptBox title;
    title.rect = QRect(0, y, kReceiptPdfBodyWidth, kReceiptLineHeight);
    title.text = sheet.title;
    title.align = Qt::AlignHCenter;
    layout.boxes.push_back(title);
    y += 2 * kReceiptLineHeight;
    for (const QString& line : sheet.lines) {
        ReceiptBox box;
        box.rect = QRect(0, y, kReceiptPdfBodyWidth, kReceiptLineHeight);
        box.text = line;
        layout.boxes.push_back(box);
        y += kReceiptLineHeight;
    }
    layout.height = y;
    return layout;
}

namespace {

bool paintSheet(QPrinter& printer, const ReceiptLayout& layout, QPoint origin, qreal scale) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.translate(origin);
    painter.scale(scale, scale);
    drawReceipt(painter, layout);
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace

SheetPrintOutcome writeShiftSheetPdf(const ShiftSheet& sheet, const QString& fileStem) {
    SheetPrintOutcome out;
    QDir here = QDir::current();
    if (!here.mkpath(kFolder)) {
        out.error = QStringLiteral("无法创建文件夹\"%1\"").arg(QDir::toNativeSeparators(here.absoluteFilePath(kFolder)));
        return out;
    }
    const QDir folder(here.absoluteFilePath(kFolder));
    out.pdfPath = folder.absoluteFilePath(fileStem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(out.pdfPath); ++n)
        out.pdfPath = folder.absoluteFilePath(QStringLiteral("%1-%2.pdf").arg(fileStem).arg(n));

    const ReceiptLayout layout = shiftSheetLayout(sheet);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kReceiptPdfDpi);
    printer.setOutputFileName(out.pdfPath);
    printer.setDocName(sheet.title);
    printer.setCreator(QStringLiteral("Vornmart"));
    printer.setFullPage(true);
    // The page is as long as the sheet, like a cut roll, and as wide as a receipt.
    const double toPoints = 72.0 / kReceiptPdfDpi;
    const QSizeF size((kReceiptPdfBodyWidth + 2 * kReceiptPdfSideMargin) * toPoints,
                      (layout.height + 2 * kReceiptPdfEndMargin) * toPoints);
    printer.setPageLayout(QPageLayout(QPageSize(size, QPageSize::Point, sheet.title, QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF()));
    if (!paintSheet(printer, layout, QPoint(kReceiptPdfSideMargin, kReceiptPdfEndMargin), 1.0)) {
        QFile::remove(out.pdfPath);
        out.error = QStringLiteral("无法写入文件\"%1\"").arg(QDir::toNativeSeparators(out.pdfPath));
        return out;
    }
    out.ok = true;
    out.where = QStringLiteral("PDF文件\"%1\"").arg(QDir::toNativeSeparators(out.pdfPath));
    return out;
}

SheetPrintOutcome printShiftSheet(Shell& shell, const std::function<ShiftSheet(int width)>& makeSheet,
                                  const QString& noun, const QString& fileStem) {
    SheetPrintOutcome out;
    const ReceiptPrinterSettings settings = loadReceiptPrinter();
    if (settings.escPos()) {
        out.error = receiptPrinterProblem(settings);
        if (!out.error.isEmpty()) return out;
        const RawTarget target = receiptPrinterTarget(settings);
        Shell* sh = &shell;
        sendRawAsync(shell.window(), target, shiftSheetEscPos(makeSheet(settings.width)),
                     [sh, noun](const SendResult& r) {
                         if (!r.ok) sh->showStatus(QStringLiteral("%1未打印：%2").arg(noun, r.error));
                     });
        out.ok = true;
        out.where = QStringLiteral("小票打印机\"%1\"").arg(target.describe());
        return out;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return writeShiftSheetPdf(makeSheet(kShiftSheetPdfWidth), fileStem);
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        out.error = QStringLiteral("打印机\"%1\"不可用").arg(info.printerName());
        return out;
    }
    printer.setDocName(noun);
    // The receipt's 37-cell grid across the printer's printable width.
    const ShiftSheet sheet = makeSheet(kShiftSheetPdfWidth);
    if (!paintSheet(printer, shiftSheetLayout(sheet), QPoint(), qreal(printer.width()) / kReceiptPdfBodyWidth)) {
        out.error = QStringLiteral("打印机\"%1\"打印出错").arg(info.printerName());
        return out;
    }
    out.ok = true;
    out.where = QStringLiteral("打印机\"%1\"").arg(info.printerName());
    return out;
}

SheetPrintOutcome printShiftReport(Shell& shell, const vorn::ShiftReport& report) {
    const int64_t printTime = now();
    return printShiftSheet(
        shell, [&](int width) { return shiftSheet(report, width, printTime); }, QStringLiteral("交班单"),
        QStringLiteral("交班单-") + timeText(report.shift.opened, QStringLiteral("yyyyMMdd-HHmmss")));
}

SheetPrintOutcome printDayReport(Shell& shell, const vorn::DayReport& day,
                                 const std::vector<vorn::ShiftReport>& reports) {
    const int64_t printTime = now();
    return printShiftSheet(
        shell, [&](int width) { return daySheet(day, reports, width, printTime); }, QStringLiteral("日结单"),
        QStringLiteral("日结单-%1").arg(day.date));
}

QString sheetOutcomeText(const SheetPrintOutcome& outcome, const QString& noun) {
    if (!outcome.ok) return QStringLiteral("%1未打印：%2").arg(noun, outcome.error);
    if (!outcome.pdfPath.isEmpty()) return QStringLiteral("%1已保存为%2").arg(noun, outcome.where);
    return QStringLiteral("%1已送往%2").arg(noun, outcome.where);
}

} // namespace vorn::ui

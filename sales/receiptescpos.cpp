#include "receiptescpos.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <vector>

#include "capitals.h"
#include "kit/page/appstate.h"
#include "kit/text/clock.h"
#include "kit/print/escpos.h"
#include "kit/print/rawprinter.h"
#include "kit/print/receiptprinter.h"
#include "kit/page/shell.h"
#include "receiptlayout.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

QString money(double value) {
    return QString::fromStdString(vorn::format_money(value));
}

// Names and shop texts come from one-line edits; a stray break or tab must not
// shift the columns.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20) c = QLatin1Char(' ');
    return text;
}

QString normaliseBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// A text that ends at cell `right` of a line.
struct Field {
    QString text;
    int right = 0;
};

// `left` at the start of the line and each field right-aligned to its cell,
// at least one blank between neighbours; nothing when they do not fit so.
std::optional<QString> row(const QString& left, const std::vector<Field>& fields) {
    QString line = left;
    int used = receiptCells(left);
    for (const Field& f : fields) {
        const int start = f.right - receiptCells(f.text);
        if (start < (used > 0 ? used + 1 : 0)) return std::nullopt;
        line += QString(start - used, QLatin1Char(' ')) + f.text;
        used = f.right;
    }
    return line;
}

QString rightAligned(const QString& text, int right) {
    return QString(std::max(0, right - receiptCells(text)), QLatin1Char(' ')) + text;
}

// A text centred in dashes across the whole line: at 37 cells these are the
// printed receipt's time and thank-you lines exactly.
QString dashed(const QString& text, int width) {
    const int rest = std::max(0, width - receiptCells(text));
    return QString(rest / 2, QLatin1Char('-')) + text + QString(rest - rest / 2, QLatin1Char('-'));
}

struct Lines {
    int width;
    QStringList out;

    void wrapped(const QString& text) { out += wrapCells(text, width); }
    // The fields on one line, else on a line of their own each, right-aligned.
    void fields(const QString& left, const std::vector<Field>& fs) {
        if (const auto line = row(left, fs)) {
            out << *line;
            return;
        }
        if (!left.isEmpty()) wrapped(left);
        if (const auto line = row(QString(), fs)) {
            out << *line;
            return;
        }
        for (const Field& f : fs)
            for (const QString& piece : chunkCells(f.text, width))
                out << rightAligned(piece, std::min(width, std::max(f.right, receiptCells(piece))));
    }
};

// Which sale a receipt is of: its time and what it holds. A reprint of the
// same sale has the same key.
QByteArray saleKey(const ReceiptData& data, int64_t saleTime) {
    const EscPosReceiptText text = receiptEscPosText(data, saleTime, kReceiptChars58mm);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArray::number(qint64(saleTime)));
    hash.addData((text.title + text.body).join(QLatin1Char('\n')).toUtf8());
    return hash.result();
}

// Kept on the main window's state: the sale whose receipt went out with the
// drawer pulse.
struct EscPosDrawerState {
    QByteArray openedFor;
};

} // namespace

QString receiptNotPrintedText(const QString& why) {
    return QStringLiteral("小票未打印：%1").arg(why);
}

QString receiptPrintedText(const QString& printer) {
    return QStringLiteral("成功打印1张小票（小票打印机\"%1\"）").arg(printer);
}

EscPosReceiptText receiptEscPosText(const ReceiptData& data, int64_t printTime, int width) {
    const int w = std::max(width, kEscPosMinWidth);
    const int amountRight = w;
    const int priceRight = w - kEscPosAmountCells;
    const int quantityRight = priceRight - kEscPosPriceCells;
    const int nameCells = quantityRight - kEscPosQuantityCells;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(printTime);

    EscPosReceiptText text;
    text.title = wrapCells(oneLine(data.shopName), w);

    Lines l{w, {}};
    if (data.reprint) {
        const QString mark = receiptReprintMark();
        l.out << QString(std::max(0, w - receiptCells(mark)) / 2, QLatin1Char(' ')) + mark;
    }
    if (!data.title.isEmpty()) l.wrapped(oneLine(data.title));
    l.wrapped(QStringLiteral("联系电话:") + oneLine(data.shopPhone));
    l.wrapped(QStringLiteral("地址:") + oneLine(data.shopAddress));
    l.wrapped(QStringLiteral("日期:") + when.toString(QStringLiteral("yyyy-MM-dd")) +
              QStringLiteral("  收银员:") + oneLine(data.cashier));
    if (!data.number.isEmpty()) l.wrapped(receiptNumberLine(data));
    l.fields(QStringLiteral("商品名称"), {{QStringLiteral("数量"), quantityRight},
                                          {QStringLiteral("单价"), priceRight},
                                          {QStringLiteral("金额"), amountRight}});

    long long quantitySum = 0;
    double discountSum = 0.0;
    double amountTotal = 0.0;
    for (const ReceiptLine& item : data.lines) {
        const QString name = oneLine(item.name);
        const std::vector<Field> numbers{{QString::number(item.quantity), quantityRight},
                                         {money(item.price), priceRight},
                                         {money(item.amount), amountRight}};
        // A short name shares its line with the numbers; a longer one takes
        // whole lines of its own, the numbers following under it.
        const std::optional<QString> shared =
            receiptCells(name) < nameCells ? row(name, numbers) : std::nullopt;
        if (shared) {
            l.out << *shared;
        } else {
            l.wrapped(name);
            l.fields(QString(), numbers);
        }
        quantitySum += item.quantity;
        discountSum += item.discount;
        amountTotal += item.amount;
    }

    l.fields(QStringLiteral("小计"), {{QString::number(quantitySum) + QStringLiteral("件"), quantityRight},
                                      {QStringLiteral("合计:") + money(amountTotal), amountRight}});
    l.wrapped(capitalsText(amountTotal));
    l.out << dashed(QStringLiteral("交易时刻:") + when.toString(QStringLiteral("HH:mm")), w);
    l.wrapped(QStringLiteral("应收金额:") + money(amountTotal));
    l.wrapped(QStringLiteral("折    扣:") + money(discountSum));
    for (const QString& paid : receiptPaymentLines(data, amountTotal))
        l.wrapped(oneLine(paid));
    l.wrapped(QStringLiteral("会员编号:") + oneLine(data.memberCode));
    l.wrapped(QStringLiteral("本次积分:") + QString::number(receiptPoints(data)));
    l.out << dashed(QStringLiteral("谢谢惠顾！"), w);
    const QString addition = normaliseBreaks(data.printAddition);
    if (!addition.isEmpty()) l.wrapped(addition);

    text.body = l.out;
    return text;
}

QByteArray receiptEscPos(const ReceiptData& data, int64_t printTime, int width, bool openDrawer) {
    const EscPosReceiptText text = receiptEscPosText(data, printTime, width);
    EscPosDoc doc;
    doc.init().chineseMode().align(EscPosDoc::Align::Center).doubleHeight(true);
    for (const QString& line : text.title)
        doc.line(line);
    doc.doubleHeight(false).align(EscPosDoc::Align::Left);
    for (const QString& line : text.body)
        doc.line(line);
    doc.feed(kEscPosFeedBeforeCut).cut(EscPosDoc::Cut::Partial);
    if (openDrawer) doc.drawerPulse();
    return doc.bytes();
}

void openDrawerForSale(Shell& shell, const ReceiptData& data, int64_t saleTime,
                       const ReceiptPrinterSettings& settings) {
    if (!settings.escPos() || !settings.openDrawer || !receiptPrinterProblem(settings).isEmpty()) return;
    const QByteArray sale = saleKey(data, saleTime);
    QByteArray& opened = shell.state().extension<EscPosDrawerState>().openedFor;
    if (opened == sale) return;
    opened = sale;
    Shell* sh = &shell;
    EscPosDoc doc;
    doc.init().drawerPulse();
    sendRawAsync(shell.window(), receiptPrinterTarget(settings), doc.bytes(),
                 [sh, sale](const SendResult& r) {
                     if (r.ok) return;
                     // Still shut: printing this sale's receipt opens it.
                     QByteArray& opened = sh->state().extension<EscPosDrawerState>().openedFor;
                     if (opened == sale) opened.clear();
                     sh->showStatus(QStringLiteral("钱箱未打开：%1").arg(r.error));
                 });
}

QString sendReceiptEscPos(Shell& shell, const ReceiptData& data, int64_t saleTime,
                          const ReceiptPrinterSettings& settings) {
    Shell* sh = &shell;
    QWidget* window = shell.window();
    const QString problem = receiptPrinterProblem(settings);
    if (!problem.isEmpty()) {
        // Nothing to wait for: said now, and handed back for the caller's own
        // sentence.
        shell.showStatus(receiptNotPrintedText(problem));
        return problem;
    }

    bool drawer = false;
    QByteArray sale;
    // A receipt printed again from the journal is no sale taking cash.
    if (settings.openDrawer && !data.reprint) {
        sale = saleKey(data, saleTime);
        QByteArray& opened = shell.state().extension<EscPosDrawerState>().openedFor;
        drawer = opened != sale;
        if (drawer) opened = sale;
    }
    const RawTarget target = receiptPrinterTarget(settings);
    const QByteArray bytes = receiptEscPos(data, now(), settings.width, drawer);
    const QString statusBefore = shell.statusText();
    sendRawAsync(window, target, bytes,
                 [sh, statusBefore, printer = target.describe(), drawer, sale](const SendResult& r) {
                     if (!r.ok) {
                         // The drawer stayed shut: the next receipt of this sale opens it.
                         QByteArray& opened = sh->state().extension<EscPosDrawerState>().openedFor;
                         if (drawer && opened == sale) opened.clear();
                         sh->showStatus(receiptNotPrintedText(r.error));
                         return;
                     }
                     // A success never covers what was said since the receipt was asked
                     // for (the checkout's "销售结算成功"); a failure always shows.
                     if (sh->statusText() == statusBefore) sh->showStatus(receiptPrintedText(printer));
                 });
    return QString();
}

} // namespace vorn::ui

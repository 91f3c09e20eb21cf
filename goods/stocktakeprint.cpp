#include "stocktakeprint.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "kit/text/gbk.h"
#include "stocktakemodel.h"

namespace vorn::ui {

namespace {

QString cell(const QString& text, bool right = false) {
    return QStringLiteral("<td%1>%2</td>")
        .arg(right ? QStringLiteral(" align=\"right\"") : QString(), text.toHtmlEscaped());
}

} // namespace

QString stockTakeHtml(const QString& heading, const std::vector<vorn::StockTakeRow>& rows,
                      const std::function<QString(int type)>& typeName) {
    QString html =
        QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                       "<tr><th>商品编码</th><th>商品名称</th><th>类型</th><th>账面库存</th><th>实盘数量</th>"
                       "<th>差异</th><th>差异金额(元)</th></tr>")
            .arg(heading.toHtmlEscaped());
    for (const vorn::StockTakeRow& r : rows) {
        html += QStringLiteral("<tr>") + cell(fromGbk(r.code)) + cell(fromGbk(r.name)) +
                cell(typeName(r.type)) + cell(QString::number(r.book), true) +
                cell(r.counted ? QString::number(*r.counted) : QString(), true) +
                cell(r.counted ? QString::number(r.difference) : QString(), true) +
                cell(r.counted ? tenthsText(r.cost) : QString(), true) + QStringLiteral("</tr>");
    }
    const vorn::StockTakeSums s = vorn::sum_stock_take(rows);
    html +=
        QStringLiteral("<tr><td colspan=\"3\">合计 %1种，已盘%2种</td>").arg(s.codes).arg(s.counted_codes) +
        cell(QString::number(s.book), true) + cell(QString::number(s.counted), true) +
        cell(QString::number(s.extra - s.missing), true) + cell(tenthsText(s.cost()), true) +
        QStringLiteral("</tr></table>");
    html += QStringLiteral("<p>盘亏 %1 件（进货价 %2 元），盘盈 %3 件（进货价 %4 元）</p>")
                .arg(s.missing)
                .arg(tenthsText(s.missing_cost))
                .arg(s.extra)
                .arg(tenthsText(s.extra_cost));
    return html;
}

bool writeStockTakePdf(const QString& path, const QString& heading,
                       const std::vector<vorn::StockTakeRow>& rows,
                       const std::function<QString(int type)>& typeName) {
    {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        pdf.setTitle(heading);
        QTextDocument doc;
        doc.setHtml(stockTakeHtml(heading, rows, typeName));
        doc.print(&pdf);
    }
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
}

} // namespace vorn::ui

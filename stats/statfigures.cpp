#include "statfigures.h"

#include <map>

namespace vorn::ui {

namespace {

const QString kMoneyHeading = QStringLiteral("金额(单位: 元)");

SheetCell categoryCell(const ChartLook& look, const ChartPoint& p) {
    switch (look.kind) {
    case ChartKind::Lines:
        return SheetCell::num(p.x);
    case ChartKind::Bars:
        return SheetCell::str(
            look.firstDay.addDays(static_cast<qint64>(p.x)).toString(QStringLiteral("yyyy-MM-dd")));
    case ChartKind::Pie:
    default:
        return SheetCell::str(p.legend);
    }
}

} // namespace

FigureTable figureTable(const ChartLook& look) {
    FigureTable t;
    t.title = look.title;
    if (look.series.empty()) return t;

    t.heading << (look.xTitle.isEmpty() ? QStringLiteral("项目") : look.xTitle);
    for (const ChartSeries& s : look.series)
        t.heading << (!s.name.isEmpty() ? s.name : look.yTitle.isEmpty() ? kMoneyHeading : look.yTitle);

    // One row per argument, in argument order, whichever series has a point there.
    std::map<double, size_t> rowOf;
    for (const ChartSeries& s : look.series)
        for (const ChartPoint& p : s.points)
            rowOf.emplace(p.x, 0);
    t.rows.resize(rowOf.size());
    size_t next = 0;
    for (auto& [x, row] : rowOf) {
        row = next++;
        t.rows[row].assign(look.series.size() + 1, SheetCell::str(QString()));
    }
    for (size_t s = 0; s < look.series.size(); ++s) {
        for (const ChartPoint& p : look.series[s].points) {
            std::vector<SheetCell>& row = t.rows[rowOf[p.x]];
            // The first series to name the category names it.
            if (row[0].kind == SheetCell::Kind::Text && row[0].text.isEmpty()) row[0] = categoryCell(look, p);
            row[s + 1] = SheetCell::money(p.value);
        }
    }
    return t;
}

bool writeFigures(const QString& path, const std::vector<FigureTable>& tables, QString* error) {
    QString why;
    std::unique_ptr<SheetWriter> w = openSheet(path, QStringLiteral("销售统计"), &why);
    bool ok = w != nullptr;
    for (const FigureTable& t : tables) {
        if (!ok) break;
        ok = w->startSheet(t.title);
        if (ok && !t.heading.isEmpty()) ok = w->addHeading(t.heading);
        for (size_t r = 0; ok && r < t.rows.size(); ++r)
            ok = w->addRow(t.rows[r]);
    }
    if (ok) ok = w->finish();
    if (!ok && w) why = w->error();
    if (!ok && error) *error = why;
    return ok;
}

} // namespace vorn::ui

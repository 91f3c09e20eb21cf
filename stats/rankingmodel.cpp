#include "rankingmodel.h"

#include "kit/sheet/sheetwriter.h"
#include "kit/text/gbk.h"

namespace vorn::ui {

namespace {

// The sort key names only mark a column as sortable: the rows are sorted in
// memory by column (vorn::RankingOrder); a ranking holds one row per code.
const RecordColumn kColumns[RankingColumnCount] = {
    {"名次", 48, kCellRight, nullptr},         {"商品编码", 110, kCellLeft, "code"},
    {"商品名称", 130, kCellLeft, "name"},      {"类型", 70, kCellLeft, "type"},
    {"规格", 50, kCellLeft, "size"},           {"销售数量", 64, kCellRight, "quantity"},
    {"销售额(元)", 84, kCellRight, "sales"},   {"成本(元)", 80, kCellRight, "cost"},
    {"利润(元)", 80, kCellRight, "profit"},    {"占比", 64, kCellRight, "share"},
};

const vorn::RankingOrder kOrders[RankingColumnCount] = {
    vorn::RankingOrder::Sales,    vorn::RankingOrder::Code,  vorn::RankingOrder::Name,
    vorn::RankingOrder::Type,     vorn::RankingOrder::Size,  vorn::RankingOrder::Quantity,
    vorn::RankingOrder::Sales,    vorn::RankingOrder::Cost,  vorn::RankingOrder::Profit,
    vorn::RankingOrder::Share,
};

QString typeNameOf(const std::vector<vorn::TRec>& types, int id) {
    for (const vorn::TRec& t : types)
        if (t.FTi_Id == id) return fromGbk(t.FTs_Name);
    // A type removed since: the goods now belong to the fallback, as the list shows them.
    return types.empty() ? QString() : fromGbk(types.front().FTs_Name);
}

} // namespace

std::span<const RecordColumn> rankingColumns() {
    return kColumns;
}

QString rankingMoneyText(int64_t tenths) {
    const int64_t a = tenths < 0 ? -tenths : tenths;
    return QStringLiteral("%1%2.%3").arg(tenths < 0 ? QStringLiteral("-") : QString()).arg(a / 10).arg(a % 10);
}

QString rankingShareText(int basisPoints) {
    const int a = basisPoints < 0 ? -basisPoints : basisPoints;
    return QStringLiteral("%1%2.%3%")
        .arg(basisPoints < 0 ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString rankingCellText(const vorn::RankingRow& r, size_t place, int c, int64_t totalSales,
                        const std::vector<vorn::TRec>& types) {
    switch (c) {
    case RankPlace:
        return QString::number(place + 1);
    case RankCode:
        return fromGbk(r.code);
    case RankName:
        return fromGbk(r.name);
    case RankType:
        return typeNameOf(types, r.type);
    case RankSize:
        return fromGbk(r.size);
    case RankQuantity:
        return QString::number(r.quantity);
    case RankSales:
        return rankingMoneyText(r.sales);
    case RankCost:
        return rankingMoneyText(r.cost);
    case RankProfit:
        return rankingMoneyText(r.profit());
    case RankShare:
        return rankingShareText(vorn::share_basis_points(r.sales, totalSales));
    default:
        return QStringLiteral("Err");
    }
}

bool rankingOrderOf(int section, vorn::RankingOrder& order) {
    if (section <= RankPlace || section >= RankingColumnCount) return false;
    order = kOrders[section];
    return true;
}

RankingModel::RankingModel(const std::vector<vorn::RankingRow>& rows, const std::vector<vorn::TRec>& types,
                           QObject* parent)
    : RecordModelBase(rankingColumns(), parent), rows_(rows), types_(types) {}

void RankingModel::reload() {
    totalSales_ = vorn::sum_ranking(rows_).sales;
    resetRows();
}

QString RankingModel::cellText(size_t row, int column) const {
    return rankingCellText(rows_[row], row, column, totalSales_, types_);
}

QStringList rankingFooters(const vorn::RankingSums& s) {
    QStringList f;
    for (int c = 0; c < RankingColumnCount; ++c)
        f << QString();
    f[RankPlace] = QStringLiteral("合计");
    f[RankCode] = QStringLiteral("%1种商品").arg(s.codes);
    f[RankQuantity] = QString::number(s.quantity);
    f[RankSales] = rankingMoneyText(s.sales);
    f[RankCost] = rankingMoneyText(s.cost);
    f[RankProfit] = rankingMoneyText(s.profit());
    if (s.sales != 0) f[RankShare] = rankingShareText(10000);
    return f;
}

bool writeRanking(const QString& path, const std::vector<vorn::RankingRow>& rows,
                  const std::vector<vorn::TRec>& types, const std::function<void(int)>& percent, QString* error) {
    const int64_t total = vorn::sum_ranking(rows).sales;
    QStringList heading;
    for (const RecordColumn& c : kColumns)
        heading << QString::fromUtf8(c.caption);
    const vorn::RankingSums sums = vorn::sum_ranking(rows);
    // The rows, then one line of sums, as the footers show them.
    return writeSheet(
        path, QStringLiteral("销售排行"), heading, rows.size() + 1,
        [&](size_t i, std::vector<SheetCell>& cells) {
            if (i == rows.size()) {
                const QStringList f = rankingFooters(sums);
                cells = {SheetCell::str(f[RankPlace]), SheetCell::str(f[RankCode]), SheetCell::str({}),
                         SheetCell::str({}), SheetCell::str({}), SheetCell::num(double(sums.quantity)),
                         SheetCell::money(double(sums.sales) / 10), SheetCell::money(double(sums.cost) / 10),
                         SheetCell::money(double(sums.profit()) / 10), SheetCell::str(f[RankShare])};
                return;
            }
            const vorn::RankingRow& r = rows[i];
            cells = {SheetCell::num(double(i + 1)),
                     SheetCell::str(fromGbk(r.code)),
                     SheetCell::str(fromGbk(r.name)),
                     SheetCell::str(typeNameOf(types, r.type)),
                     SheetCell::str(fromGbk(r.size)),
                     SheetCell::num(double(r.quantity)),
                     SheetCell::money(double(r.sales) / 10),
                     SheetCell::money(double(r.cost) / 10),
                     SheetCell::money(double(r.profit()) / 10),
                     SheetCell::str(rankingShareText(vorn::share_basis_points(r.sales, total)))};
        },
        percent, error);
}

} // namespace vorn::ui

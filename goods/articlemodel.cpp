#include "articlemodel.h"

#include <charconv>

#include "goodscells.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/sheet/sheetwriter.h"

namespace vorn::ui {

namespace {

constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr int kCentre = Qt::AlignHCenter | Qt::AlignVCenter;

// The sort key names only mark a column as sortable: the store is asked by
// column (vorn::ArticleOrder), never by text.
const RecordColumn kColumns[ArticleColumnCount] = {
    {"商品编码", 120, kLeft, "code"},     {"商品名称", 140, kLeft, "name"},
    {"类型", 80, kLeft, "type"},          {"规格", 64, kLeft, "size"},
    {"供货商", 96, kLeft, "supplier"},    {"库存", 56, kRight, "stock"},
    {"已售", 56, kRight, "sold"},         {"报损", 56, kRight, "off"},
    {"零售价(元)", 80, kRight, "retail"}, {"会员价(元)", 80, kRight, "member"},
    {"最近入库", 144, kCentre, "entry"},
};

// By column, in ArticleColumn order.
const vorn::ArticleOrder kOrders[ArticleColumnCount] = {
    vorn::ArticleOrder::Code,   vorn::ArticleOrder::Name,       vorn::ArticleOrder::Type,
    vorn::ArticleOrder::Size,   vorn::ArticleOrder::Supplier,   vorn::ArticleOrder::InStock,
    vorn::ArticleOrder::Sold,   vorn::ArticleOrder::WrittenOff, vorn::ArticleOrder::Retail,
    vorn::ArticleOrder::Member, vorn::ArticleOrder::Entry,
};

} // namespace

std::span<const RecordColumn> articleColumns() {
    return kColumns;
}

QString articleCellText(const vorn::Article& a, int c, const std::vector<vorn::TRec>& types,
                        const std::vector<vorn::SPRec>& suppliers) {
    switch (c) {
    case ArtCode:
        return fromGbk(a.code);
    case ArtName:
        return fromGbk(a.name);
    case ArtType:
        return fromGbk(typeName(types, a.type));
    case ArtSize:
        return fromGbk(a.size);
    case ArtSupplier:
        return fromGbk(supplierName(suppliers, a.supplier));
    case ArtInStock:
        return QString::number(a.in_stock);
    case ArtSold:
        return QString::number(a.sold);
    case ArtWrittenOff:
        return QString::number(a.written_off);
    case ArtRetail:
        return moneyText(a.retail);
    case ArtMember:
        return moneyText(a.member);
    case ArtEntry:
        return timeText(a.latest_entry);
    default:
        return QStringLiteral("Err");
    }
}

ArticleModel::ArticleModel(const std::vector<vorn::Article>& rows, AppState& state, QObject* parent)
    : RecordModel(
          rows, articleColumns(),
          [&state](const vorn::Article& a, int c) {
              return articleCellText(a, c, state.types, state.suppliers);
          },
          parent) {}

std::vector<ArticleFooter> articleFooters(const vorn::ArticleSums& sums) {
    return {{ArtCode, QStringLiteral("共%1种").arg(sums.articles)},
            {ArtInStock, QString::number(sums.in_stock)},
            {ArtSold, QString::number(sums.sold)},
            {ArtWrittenOff, QString::number(sums.written_off)}};
}

std::string articleOrderText(int section, bool ascending) {
    if (section < 0) return "0:a";
    if (section >= ArticleColumnCount || kColumns[section].sortKey == nullptr) return {};
    return std::to_string(section) + (ascending ? ":a" : ":d");
}

void readArticleOrder(const std::string& text, vorn::ArticleOrder& order, bool& descending) {
    order = vorn::ArticleOrder::Code;
    descending = false;
    int section = -1;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, section);
    if (ec != std::errc() || section < 0 || section >= ArticleColumnCount || end - p != 2 || p[0] != ':')
        return;
    order = kOrders[section];
    descending = p[1] == 'd';
}

int loadArticles(vorn::Core& core, const std::string& text, const std::string& orderText,
                 std::vector<vorn::Article>& out) {
    vorn::ArticleOrder order;
    bool descending = false;
    readArticleOrder(orderText, order, descending);
    return vorn::Articles(core).select(text, order, descending, out);
}

QStringList articleSheetHeadings() {
    return {QStringLiteral("商品编码"),   QStringLiteral("商品名称"),       QStringLiteral("类型"),
            QStringLiteral("规格"),       QStringLiteral("供货商"),         QStringLiteral("库存"),
            QStringLiteral("已售"),       QStringLiteral("报损"),           QStringLiteral("进货价(元)"),
            QStringLiteral("零售价(元)"), QStringLiteral("普通会员价(元)"), QStringLiteral("金卡会员价(元)"),
            QStringLiteral("批发价(元)"), QStringLiteral("特价(元)"),       QStringLiteral("最近入库")};
}

bool writeArticleSheet(const QString& path, std::span<const vorn::Article> rows,
                       const std::vector<vorn::TRec>& types, const std::vector<vorn::SPRec>& suppliers,
                       const std::function<void(int)>& progress, QString* error) {
    return writeSheet(
        path, QStringLiteral("商品汇总"), articleSheetHeadings(), rows.size(),
        [&](size_t i, std::vector<SheetCell>& cells) {
            const vorn::Article& a = rows[i];
            cells.push_back(SheetCell::str(fromGbk(a.code)));
            cells.push_back(SheetCell::str(fromGbk(a.name)));
            cells.push_back(SheetCell::str(fromGbk(typeName(types, a.type))));
            cells.push_back(SheetCell::str(fromGbk(a.size)));
            cells.push_back(SheetCell::str(fromGbk(supplierName(suppliers, a.supplier))));
            cells.push_back(SheetCell::num(a.in_stock));
            cells.push_back(SheetCell::num(a.sold));
            cells.push_back(SheetCell::num(a.written_off));
            for (double p : {a.purchase, a.retail, a.member, a.gold, a.wholesale, a.special})
                cells.push_back(SheetCell::money(p));
            cells.push_back(SheetCell::str(timeText(a.latest_entry)));
        },
        progress, error);
}

} // namespace vorn::ui

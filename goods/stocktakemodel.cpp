#include "stocktakemodel.h"

#include <QBrush>
#include <QColor>

#include "kit/text/gbk.h"

namespace vorn::ui {

namespace {

const char* const kCaptions[TakeColumns] = {"商品编码", "商品名称", "类型",        "账面库存",
                                            "实盘数量", "差异",     "差异金额(元)"};

} // namespace

StockTakeModel::StockTakeModel(const std::vector<vorn::TRec>& types, QObject* parent)
    : QAbstractTableModel(parent), types_(types) {}

void StockTakeModel::setRows(std::vector<vorn::StockTakeRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    index_.clear();
    for (size_t i = 0; i < rows_.size(); ++i)
        index_[rows_[i].code] = static_cast<int>(i);
    endResetModel();
}

int StockTakeModel::rowOf(const std::string& code) const {
    auto it = index_.find(code);
    return it == index_.end() ? -1 : it->second;
}

void StockTakeModel::setCount(int row, std::optional<int> counted, int64_t cost) {
    vorn::StockTakeRow& r = rows_[static_cast<size_t>(row)];
    r.counted = counted;
    r.difference = counted ? *counted - r.book : 0;
    r.cost = counted ? cost : 0;
    emit dataChanged(index(row, TakeCounted), index(row, TakeCost));
}

int StockTakeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int StockTakeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TakeColumns;
}

QString StockTakeModel::typeName(int type) const {
    for (const vorn::TRec& t : types_)
        if (t.FTi_Id == type) return fromGbk(t.FTs_Name);
    return QStringLiteral("未知");
}

QVariant StockTakeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const vorn::StockTakeRow& r = rows_[static_cast<size_t>(index.row())];
    const int c = index.column();
    if (role == Qt::TextAlignmentRole)
        return c >= TakeBook ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                             : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && (c == TakeDifference || c == TakeCost) && r.difference != 0)
        return QBrush(r.difference < 0 ? QColor(192, 0, 0) : QColor(0, 128, 0));
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (c) {
    case TakeCode:
        return fromGbk(r.code);
    case TakeName:
        return fromGbk(r.name);
    case TakeType:
        return typeName(r.type);
    case TakeBook:
        return r.book;
    case TakeCounted:
        return r.counted ? QVariant(*r.counted) : QVariant(QString());
    case TakeDifference:
        if (!r.counted) return QString();
        return r.difference > 0 ? QStringLiteral("+%1").arg(r.difference) : QString::number(r.difference);
    case TakeCost:
        if (!r.counted) return QString();
        return r.cost > 0 ? QLatin1Char('+') + tenthsText(r.cost) : tenthsText(r.cost);
    default:
        return {};
    }
}

QVariant StockTakeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= TakeColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(kCaptions[section]);
}

Qt::ItemFlags StockTakeModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable_ && index.column() == TakeCounted) f |= Qt::ItemIsEditable;
    return f;
}

bool StockTakeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != TakeCounted || !editable_) return false;
    const QString text = value.toString().trimmed();
    std::optional<int> counted;
    if (!text.isEmpty()) {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok || n < 0) return false;
        counted = n;
    }
    if (onTyped) onTyped(index.row(), counted);
    return true;
}

} // namespace vorn::ui

#include "goodscells.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "goodslimits.h"
#include "kit/text/conditions.h"
#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

const RecordColumn kColumns[GoodsColumnCount] = {
    {"商品编码", 128, kCellLeft, "FSs_Code"},   {"商品名称", 128, kCellLeft, "FSs_Name"},
    {"类型", 96, kCellLeft, "FSi_Type"},        {"规格", 96, kCellLeft, "FSs_Size"},
    {"进货价(元)", 96, kCellRight, "FSd_OriP"}, {"零售价(元)", 96, kCellRight, "FSd_RetP"},
    {"入库时间", 160, kCellCentre, "FSt_StoT"}, {"实售价(元)", 96, kCellRight, "FSd_ReaP"},
    {"售出时间", 160, kCellCentre, "FSt_SalT"}, {"商品状态", 64, kCellLeft, "FSi_Flag"},
    {"供货商", 128, kCellLeft, "FSi_Supplier"}, {"备注", 128, kCellLeft, nullptr},
};

const std::string kEmpty;

template <class Rec, class IdOf, class NameOf>
const std::string& nameOf(const std::vector<Rec>& list, int id, IdOf idOf, NameOf name) {
    for (const Rec& r : list)
        if (idOf(r) == id) return name(r);
    return list.empty() ? kEmpty : name(list.front());
}

template <class Rec, class IdOf, class NameOf>
int idOf(const std::vector<Rec>& list, std::string_view text, int missing, IdOf id, NameOf name) {
    for (const Rec& r : list)
        if (name(r) == text) return id(r);
    return missing;
}

template <class Rec, class IdOf> int indexOf(const std::vector<Rec>& list, int id, IdOf idOf) {
    for (size_t i = 0; i < list.size(); ++i)
        if (idOf(list[i]) == id) return static_cast<int>(i);
    return -1;
}

const auto tId = [](const vorn::TRec& r) { return r.FTi_Id; };
const auto tName = [](const vorn::TRec& r) -> const std::string& { return r.FTs_Name; };
const auto spId = [](const vorn::SPRec& r) { return r.FSPi_Id; };
const auto spName = [](const vorn::SPRec& r) -> const std::string& { return r.FSPs_Name; };

} // namespace

std::span<const RecordColumn> goodsColumns() {
    return kColumns;
}

std::span<const ChoiceValue> goodsStates() {
    static const ChoiceValue states[] = {
        {QStringLiteral("库存中"), 0}, {QStringLiteral("已销售"), 1},
        {QStringLiteral("已报损"), 2}, // returned damaged, or missing at a stock-take
        {QStringLiteral("返厂"), 3},   {QStringLiteral("欠款"), 4},
    };
    return states;
}

const std::string& typeName(const std::vector<vorn::TRec>& types, int id) {
    return nameOf(types, id, tId, tName);
}

const std::string& supplierName(const std::vector<vorn::SPRec>& suppliers, int id) {
    return nameOf(suppliers, id, spId, spName);
}

int typeIdByName(const std::vector<vorn::TRec>& types, std::string_view name, int missing) {
    return idOf(types, name, missing, tId, tName);
}

int supplierIdByName(const std::vector<vorn::SPRec>& suppliers, std::string_view name, int missing) {
    return idOf(suppliers, name, missing, spId, spName);
}

int typeIndexById(const std::vector<vorn::TRec>& types, int id) {
    return indexOf(types, id, tId);
}

int supplierIndexById(const std::vector<vorn::SPRec>& suppliers, int id) {
    return indexOf(suppliers, id, spId);
}

QString moneyText(double value) {
    return QString::fromStdString(vorn::format_money(value));
}

QString timeText(int64_t t) {
    return QString::fromStdString(vorn::format_time(t));
}

QString totalText(double sum) {
    if (!std::isfinite(sum)) return QStringLiteral("溢出");
    // Up to here every tenth of the sum is exact and fits the footer.
    if (std::fabs(sum) < 1e15) return moneyText(sum);
    return QString::number(sum, 'g', 15);
}

QString goodsCellText(const vorn::SRec& unit, int c, const std::vector<vorn::TRec>& types,
                      const std::vector<vorn::SPRec>& suppliers) {
    switch (c) {
    case ColCode:
        return fromGbk(unit.FSs_Code);
    case ColName:
        return fromGbk(unit.FSs_Name);
    case ColType:
        return fromGbk(typeName(types, unit.FSi_Type));
    case ColSize:
        return fromGbk(unit.FSs_Size);
    case ColOriP:
        return moneyText(unit.FSd_OriP);
    case ColRetP:
        return moneyText(unit.FSd_RetP);
    case ColStoT:
        return timeText(unit.FSt_StoT);
    case ColReaP:
        return moneyText(unit.FSd_ReaP);
    case ColSalT:
        return timeText(unit.FSt_SalT);
    case ColFlag:
        return choiceText(goodsStates(), unit.FSi_Flag);
    case ColSupplier:
        return fromGbk(supplierName(suppliers, unit.FSi_Supplier));
    case ColRemark:
        return fromGbk(unit.FSs_Remark);
    default:
        return QStringLiteral("Err");
    }
}

bool parsePrice(const QString& text, double& out) {
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    if (p < end && *p == '+') ++p;
    double value = 0.0;
    auto [rest, ec] = std::from_chars(p, end, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument) {
        out = 0.0; // no number at all
        return true;
    }
    if (ec == std::errc::result_out_of_range) {
        // Too small to tell from 0 is 0; too large is no price.
        const std::string_view number(p, static_cast<size_t>(rest - p));
        const size_t e = number.find_first_of("eE");
        if (e == std::string_view::npos || e + 1 >= number.size() || number[e + 1] != '-') return false;
        value = 0.0;
    }
    if (!std::isfinite(value) || value < 0.0 || value > kMaxPrice) return false;
    out = value;
    return true;
}

QString priceRangeMessage(const QString& field) {
    return QStringLiteral("\"%1\"必须在0.0到%2之间，请修改后重试").arg(field, moneyText(kMaxPrice));
}

} // namespace vorn::ui

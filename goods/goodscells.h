// What the goods list shows: its columns, the texts of its cells and the lookups
// between type/supplier ids and names. No widgets here, so the list model, the
// entry dialog and the editing panel all word a unit the same way.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "kit/page/recordmodel.h"
#include "kit/text/conditions.h"
#include "vorn/records.h"

namespace vorn::ui {

// The twelve columns of the goods list; the number is also the sort key's index.
enum GoodsColumn {
    ColCode,
    ColName,
    ColType,
    ColSize,
    ColOriP,
    ColRetP,
    ColStoT,
    ColReaP,
    ColSalT,
    ColFlag,
    ColSupplier,
    ColRemark,
    GoodsColumnCount
};

// All of them, in order, as the list model takes them.
std::span<const RecordColumn> goodsColumns();

// The goods states by code, as the list shows them ("库存中", "已销售", ...);
// the search's drop-down offers the first three. choiceText() words a code.
std::span<const ChoiceValue> goodsStates();

// Name of the entry with the id, else the first entry's name (the fallback entry
// "未知"/"未指定"), else empty. GBK bytes.
const std::string& typeName(const std::vector<vorn::TRec>& types, int id);
const std::string& supplierName(const std::vector<vorn::SPRec>& suppliers, int id);
// Id of the first entry whose name equals the GBK bytes exactly, else `missing`.
int typeIdByName(const std::vector<vorn::TRec>& types, std::string_view name, int missing);
int supplierIdByName(const std::vector<vorn::SPRec>& suppliers, std::string_view name, int missing);
// Position of the entry with the id in its list, or -1.
int typeIndexById(const std::vector<vorn::TRec>& types, int id);
int supplierIndexById(const std::vector<vorn::SPRec>& suppliers, int id);

// Text of column c for one unit ("Err" for a column past the last).
QString goodsCellText(const vorn::SRec& unit, int c, const std::vector<vorn::TRec>& types,
                      const std::vector<vorn::SPRec>& suppliers);

// Money and times as the whole program shows them.
QString moneyText(double value);
QString timeText(int64_t t);
// A footer total. Everyday sums as moneyText(); a sum beyond exact tenths with
// its fifteen significant digits ("1.23456789012346e+20"); one that overflowed
// the double (or is not a number) as "溢出". Never "0.0" for a sum that is not 0.
QString totalText(double sum);

// A price as typed, read the forgiving way the entry fields have always read
// numbers: leading blanks skipped, the longest number at the start taken, and a
// text that holds no number reads as 0. False (out untouched) for a number no
// price can be: negative, above kMaxPrice, or beyond a double ("1e400", "inf",
// "nan"); such a price is refused, never stored changed.
bool parsePrice(const QString& text, double& out);
// The refusal of such a price, naming the field by its label ("零售价(元)").
QString priceRangeMessage(const QString& field);

} // namespace vorn::ui

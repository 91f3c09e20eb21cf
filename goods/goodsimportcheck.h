// Checking the lines of a goods file before anything is written, and writing
// what passed. No widgets here: the import command, the tests and the benchmark
// call these alike.
//
// Every line is read the way the entry dialog reads its fields: texts are GBK
// within the entry dialog's limits, a type or supplier name without an entry
// means the fallback entry, an empty price is 0, an empty member, gold-card,
// wholesale or special price is the retail price, and an empty quantity is 1.
// Where the entry dialog cannot be typed wrong (it limits what goes in) the
// file can, so a line it could not have made is left out and said why.
// Control characters (tab, line breaks, NUL, ESC, ...) that no keyboard puts
// into a field refuse the line when they are in the code, which must be typed
// or scanned at the counter; in any other text they are taken out (a tab or
// line break becomes a blank) and the report says so. What passes the check is
// what the store can take: only the store itself can make the write fail.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "kit/text/csv.h"
#include "kit/sheet/csvimport.h"
#include "kit/sheet/importreport.h"
#include "vorn/core.h"
#include "vorn/records.h"

namespace vorn::ui {

// The fields an import maps, in the order of the mapping.
enum GoodsImportField {
    GiCode,
    GiName,
    GiType,
    GiSize,
    GiOriP,
    GiRetP,
    GiMemP,
    GiGolP,
    GiWhoP,
    GiSpeP,
    GiQuantity,
    GiSupplier,
    GiRemark,
    GoodsImportFieldCount
};

// Caption of a field as the mapping and the problems name it ("零售价(元)").
QString goodsImportCaption(int field);

// Most units one line may ask for. A shop counts the stock of one article in
// thousands at most; a bigger number is nearly always a code or a price that
// slipped into the quantity column, and entering it would flood the store.
constexpr int kMaxImportQuantity = 10000;

// One line that will be entered: `quantity` units equal to `unit` (stock time
// still 0: the write stamps the moment of writing).
struct GoodsImportLine {
    vorn::SRec unit;
    int quantity = 0;
    int line = 0; // line of the file
};

struct GoodsImportCheck {
    std::vector<GoodsImportLine> lines;  // in file order
    std::vector<ImportProblem> problems; // by line, then field order
    long long units = 0;                 // sum of the lines' quantities
    int skipped = 0;                     // records left out
};

// Checks every record. `mapping` holds the record column of each field in
// field order (-1 or past a record's end: the field is empty). A record is
// left out when its code is missing or holds a control character, a price or
// the quantity is not a number it may be, a text is longer than its column
// takes, or a text holds a character GBK cannot hold; every such fault of the
// record is listed. A type or supplier name that matches no entry keeps the
// record, with a note, and so does a text whose control characters were taken out.
GoodsImportCheck checkGoodsImport(const std::vector<CsvRecord>& records, const std::vector<int>& mapping,
                                  const std::vector<vorn::TRec>& types,
                                  const std::vector<vorn::SPRec>& suppliers);

// "将导入 N 行，共 M 件商品；跳过 K 行", and when M is over one entry's limit,
// why nothing can be entered.
QString goodsImportSummary(const GoodsImportCheck& check);
// Whether the checked lines can be entered at all: something to enter, and no
// more units than one entry may hold.
bool goodsImportAllowed(const GoodsImportCheck& check);

// Enters every unit of the lines, all stamped with stockTime, in one
// transaction with the statements goods entry writes: all units or, when the
// store refuses any, none. `progress` (may be empty) hears the units written
// so far from the thread doing the work. Returns the number of units entered
// (0 for none: the store is not touched), or -1 when nothing was entered
// because the store failed.
int writeGoodsImport(vorn::Core& core, const std::vector<GoodsImportLine>& lines, int64_t stockTime,
                     const std::function<void(long long done, long long total)>& progress = {});

// The goods import's checker: the functions above, against the type and
// supplier lists it is given (they must outlive it).
class GoodsImportChecker : public ImportCheckerOf<GoodsImportCheck> {
public:
    GoodsImportChecker(const std::vector<vorn::TRec>& types, const std::vector<vorn::SPRec>& suppliers)
        : types_(types), suppliers_(suppliers) {}

    void check(const std::vector<CsvRecord>& records, const std::vector<int>& mapping) override;
    QString summary() const override { return goodsImportSummary(result_); }
    bool allowed() const override { return goodsImportAllowed(result_); }
    QString refusal() const override;
    int write(vorn::Core& core, int64_t moment, const std::function<void(int percent)>& percent) override;
    QString success(int written) const override;

private:
    const std::vector<vorn::TRec>& types_;
    const std::vector<vorn::SPRec>& suppliers_;
};

} // namespace vorn::ui

#include "goodsexport.h"

#include <QStringDecoder>
#include <memory>
#include <unordered_map>

#include "goodscells.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/sheet/recordsheet.h"
#include "kit/page/shell.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

namespace {

// GBK bytes to text for a whole export with one decoder: opening the system's
// converter costs more than decoding a short name. Units entered together sit
// side by side in most lists and share their code, name, size and remark, so
// each field remembers the last text it decoded.
class FieldText {
public:
    const QString& of(const std::string& bytes, QStringDecoder& decoder) {
        if (valid_ && bytes == last_) return text_;
        last_ = bytes;
        valid_ = true;
        bool ascii = true;
        for (unsigned char c : bytes)
            if (c >= 0x80) {
                ascii = false;
                break;
            }
        const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
        text_ = ascii ? QString::fromLatin1(view) : decoder.decode(view);
        return text_;
    }

private:
    std::string last_;
    QString text_;
    bool valid_ = false;
};

// Times of units entered together are the same second.
class TimeField {
public:
    const QString& of(int64_t t) {
        if (!valid_ || t != last_) {
            last_ = t;
            valid_ = true;
            text_ = timeText(t);
        }
        return text_;
    }

private:
    int64_t last_ = 0;
    QString text_;
    bool valid_ = false;
};

// Everything a row of the file needs beyond the unit itself: type and supplier
// names decoded once per id, as the list names them (the fallback entry for an
// id not in the list), and the field caches above.
class UnitWords {
public:
    UnitWords(std::vector<vorn::TRec> types, std::vector<vorn::SPRec> suppliers)
        : types_(std::move(types)), suppliers_(std::move(suppliers)),
          decoder_("GBK", QStringConverter::Flag::Stateless) {}

    void cells(const vorn::SRec& u, std::vector<SheetCell>& out) {
        out.push_back(SheetCell::str(code_.of(u.FSs_Code, decoder_)));
        out.push_back(SheetCell::str(name_.of(u.FSs_Name, decoder_)));
        out.push_back(SheetCell::str(type(u.FSi_Type)));
        out.push_back(SheetCell::str(size_.of(u.FSs_Size, decoder_)));
        out.push_back(SheetCell::money(u.FSd_OriP));
        out.push_back(SheetCell::money(u.FSd_RetP));
        out.push_back(SheetCell::money(u.FSd_MemP));
        out.push_back(SheetCell::money(u.FSd_GolP));
        out.push_back(SheetCell::money(u.FSd_WhoP));
        out.push_back(SheetCell::money(u.FSd_SpeP));
        out.push_back(SheetCell::str(stocked_.of(u.FSt_StoT)));
        out.push_back(SheetCell::str(choiceText(goodsStates(), u.FSi_Flag)));
        out.push_back(SheetCell::money(u.FSd_ReaP));
        out.push_back(SheetCell::str(sold_.of(u.FSt_SalT)));
        out.push_back(SheetCell::str(supplier(u.FSi_Supplier)));
        out.push_back(SheetCell::str(remark_.of(u.FSs_Remark, decoder_)));
    }

private:
    const QString& type(int id) {
        auto it = typeNames_.find(id);
        if (it == typeNames_.end()) it = typeNames_.emplace(id, fromGbk(typeName(types_, id))).first;
        return it->second;
    }
    const QString& supplier(int id) {
        auto it = supplierNames_.find(id);
        if (it == supplierNames_.end())
            it = supplierNames_.emplace(id, fromGbk(supplierName(suppliers_, id))).first;
        return it->second;
    }

    const std::vector<vorn::TRec> types_;
    const std::vector<vorn::SPRec> suppliers_;
    std::unordered_map<int, QString> typeNames_;
    std::unordered_map<int, QString> supplierNames_;
    QStringDecoder decoder_;
    FieldText code_, name_, size_, remark_;
    TimeField stocked_, sold_;
};

} // namespace

RecordSheet<vorn::SRec> goodsSheet(const std::vector<vorn::TRec>& types,
                                   const std::vector<vorn::SPRec>& suppliers) {
    auto words = std::make_shared<UnitWords>(types, suppliers);
    return {QStringLiteral("商品"),
            {QStringLiteral("商品编码"), QStringLiteral("商品名称"), QStringLiteral("类型"),
             QStringLiteral("规格"), QStringLiteral("进货价(元)"), QStringLiteral("零售价(元)"),
             QStringLiteral("普通会员价(元)"), QStringLiteral("金卡会员价(元)"), QStringLiteral("批发价(元)"),
             QStringLiteral("特价(元)"), QStringLiteral("入库时间"), QStringLiteral("商品状态"),
             QStringLiteral("实售价(元)"), QStringLiteral("售出时间"), QStringLiteral("供货商"),
             QStringLiteral("备注")},
            [words](const vorn::SRec& unit, std::vector<SheetCell>& cells) { words->cells(unit, cells); }};
}

void exportGoods(Shell& shell, std::span<const vorn::SRec> shown) {
    // The names as the list shows them now, copied for the worker.
    const AppState& st = shell.state();
    exportRecordSheet(shell, caption(cmd::ExportGoods), goodsSheet(st.types, st.suppliers), shown);
}

} // namespace vorn::ui

#include "goodsimportcheck.h"

#include <QLocale>
#include <charconv>
#include <climits>
#include <string>
#include <string_view>
#include <type_traits>

#include "goodscells.h"
#include "goodslimits.h"
#include "kit/text/gbk.h"
#include "vorn/transaction.h"

namespace vorn::ui {

namespace {

const char* const kCaptions[GoodsImportFieldCount] = {
    "商品编码",       "商品名称",   "类型",     "规格", "进货价(元)", "零售价(元)", "普通会员价(元)",
    "金卡会员价(元)", "批发价(元)", "特价(元)", "数量", "供货商",     "备注",
};

// Units handed to the store per statement text: small enough for the progress
// band to move steadily, big enough that the text overhead does not count.
constexpr int kUnitsPerText = 2000;

QString quoted(const QString& text) {
    return QStringLiteral("\"%1\"").arg(text);
}

// A cell as a problem shows it: long ones cut, so one bad cell cannot fill the list.
QString shown(const QString& cell) {
    constexpr int kShown = 20;
    return quoted(cell.size() > kShown ? cell.left(kShown) + QStringLiteral("…") : cell);
}

// The digits of a decimal number as spreadsheets write it: "1234.5", "1,234.5",
// ".5", "12." ; thousands separators only in groups of three. Plain ASCII out.
bool plainDecimal(QStringView s, std::string& out) {
    out.clear();
    qsizetype i = 0;
    const qsizetype n = s.size();
    int digits = 0;
    int group = 0;
    bool grouped = false;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c >= u'0' && c <= u'9') {
            out += static_cast<char>(c);
            ++digits;
            ++group;
        } else if (c == u',') {
            if (grouped ? group != 3 : (digits == 0 || digits > 3)) return false;
            grouped = true;
            group = 0;
        } else {
            break;
        }
    }
    if (grouped && group != 3) return false;
    int fraction = 0;
    if (i < n && s[i] == u'.') {
        out += '.';
        for (++i; i < n && s[i] >= u'0' && s[i] <= u'9'; ++i, ++fraction)
            out += static_cast<char>(s[i].unicode());
    }
    return i == n && digits + fraction > 0;
}

enum class Cell { Empty, Number, Bad };

// A price cell: blanks around it, a leading "¥" or "￥" and a trailing "元" as
// a spreadsheet's money format writes them are allowed.
Cell readPrice(QString cell, double& out) {
    cell = cell.trimmed();
    if (cell.isEmpty()) return Cell::Empty;
    if (cell.startsWith(QChar(0x00A5)) || cell.startsWith(QChar(0xFFE5))) cell = cell.mid(1).trimmed();
    if (cell.endsWith(QChar(0x5143))) cell.chop(1); // 元
    std::string digits;
    if (!plainDecimal(QStringView(cell).trimmed(), digits)) return Cell::Bad;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) return Cell::Bad;
    if (!(value >= 0.0 && value <= kMaxPrice)) return Cell::Bad;
    out = value;
    return Cell::Number;
}

// A quantity cell: a whole number, written as a spreadsheet may ("1,200", "3.00").
Cell readQuantity(const QString& text, int& out) {
    const QString cell = text.trimmed();
    if (cell.isEmpty()) return Cell::Empty;
    std::string digits;
    if (!plainDecimal(cell, digits)) return Cell::Bad;
    const size_t dot = digits.find('.');
    if (dot != std::string::npos) {
        if (digits.find_first_not_of('0', dot + 1) != std::string::npos) return Cell::Bad;
        digits.resize(dot);
    }
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return Cell::Bad; // 0
    // Ten digits and more are no quantity, and could overflow an int.
    if (digits.size() - first > 9) return Cell::Bad;
    int value = 0;
    std::from_chars(digits.data() + first, digits.data() + digits.size(), value);
    if (value < 1 || value > kMaxImportQuantity) return Cell::Bad;
    out = value;
    return Cell::Number;
}

struct LineCheck {
    int line;
    std::vector<ImportProblem>& problems;
    size_t firstProblem;
    bool bad = false;

    void refuse(const QString& text) {
        problems.push_back({line, text, true});
        bad = true;
    }
    void note(const QString& text) { problems.push_back({line, text, false}); }
    // Notes of a line that is left out anyway would only hide its faults.
    void dropNotesIfBad() {
        if (!bad) return;
        auto it = problems.begin() + static_cast<std::ptrdiff_t>(firstProblem);
        while (it != problems.end())
            it = it->skipped ? it + 1 : problems.erase(it);
    }
};

class Checker {
public:
    Checker(const std::vector<int>& mapping, const std::vector<vorn::TRec>& types,
            const std::vector<vorn::SPRec>& suppliers)
        : mapping_(mapping), types_(types), suppliers_(suppliers) {
        typeFallback_ = fromGbk(typeName(types, 1));
        if (typeFallback_.isEmpty()) typeFallback_ = QStringLiteral("未知");
        supplierFallback_ = fromGbk(supplierName(suppliers, 1));
        if (supplierFallback_.isEmpty()) supplierFallback_ = QStringLiteral("未指定");
    }

    void check(const CsvRecord& record, GoodsImportCheck& out) {
        record_ = &record;
        LineCheck lc{record.line, out.problems, out.problems.size()};
        GoodsImportLine line;
        line.line = record.line;
        vorn::SRec& u = line.unit;

        if (cell(GiCode).trimmed().isEmpty())
            lc.refuse(QStringLiteral("缺少商品编码"));
        else
            text(lc, GiCode, width::room(width::kStoreCode), u.FSs_Code);
        text(lc, GiName, width::room(width::kStoreName), u.FSs_Name);
        u.FSi_Type = entry(lc, GiType, types_, typeFallback_);
        text(lc, GiSize, width::room(width::kStoreSize), u.FSs_Size);

        price(lc, GiOriP, u.FSd_OriP, 0.0);
        price(lc, GiRetP, u.FSd_RetP, 0.0);
        // As in the entry dialog, where typing the retail price fills these four.
        price(lc, GiMemP, u.FSd_MemP, u.FSd_RetP);
        price(lc, GiGolP, u.FSd_GolP, u.FSd_RetP);
        price(lc, GiWhoP, u.FSd_WhoP, u.FSd_RetP);
        price(lc, GiSpeP, u.FSd_SpeP, u.FSd_RetP);

        line.quantity = 1;
        if (readQuantity(cell(GiQuantity), line.quantity) == Cell::Bad)
            lc.refuse(QStringLiteral("\"数量\"应为1到%1之间的整数，不能是%2")
                          .arg(kMaxImportQuantity)
                          .arg(shown(cell(GiQuantity).trimmed())));
        u.FSi_Supplier = entry(lc, GiSupplier, suppliers_, supplierFallback_);
        text(lc, GiRemark, width::room(width::kStoreRemark), u.FSs_Remark);

        lc.dropNotesIfBad();
        if (lc.bad) {
            ++out.skipped;
            return;
        }
        // A new unit: in stock, not sold; the write stamps the stock time.
        u.FSi_Id = 0;
        u.FSd_ReaP = 0.0;
        u.FSt_StoT = 0;
        u.FSt_SalT = 0;
        u.FSi_Flag = 0;
        out.units += line.quantity;
        out.lines.push_back(std::move(line));
    }

private:
    QString cell(int field) const {
        const size_t f = static_cast<size_t>(field);
        const int column = f < mapping_.size() ? mapping_[f] : -1;
        if (column < 0 || column >= record_->fields.size()) return QString();
        return record_->fields.at(column);
    }

    // The id of the type or supplier the cell names; an empty cell is the
    // fallback entry as in the entry dialog, a name without an entry is too,
    // with a note, since the user may have meant an entry not made yet.
    // The cell's text, trimmed; control characters the field cannot hold are
    // taken out, with a note, since the rest of the line is still good. The
    // remark is a multi-line edit in the entry dialog: it keeps its line breaks.
    QString cleanCell(LineCheck& lc, int field) {
        const LineBreaks breaks = field == GiRemark ? LineBreaks::Kept : LineBreaks::None;
        const QString value = cell(field).trimmed();
        if (hasControlCharacters(value, breaks))
            lc.note(QStringLiteral("%1中的控制字符（%2）已去掉")
                        .arg(quoted(goodsImportCaption(field)), controlCharacterNames(value, breaks)));
        return withoutControlCharacters(value, breaks).trimmed();
    }

    template <class Rec>
    int entry(LineCheck& lc, int field, const std::vector<Rec>& list, const QString& fallback) {
        const QString value = cleanCell(lc, field);
        if (value.isEmpty()) return 1;
        std::string name;
        int id = 0;
        if (toGbk(value, name)) {
            if constexpr (std::is_same_v<Rec, vorn::TRec>)
                id = typeIdByName(list, name, 0);
            else
                id = supplierIdByName(list, name, 0);
        }
        if (id > 0) return id;
        lc.note(QStringLiteral("%1%2不存在，按%3导入")
                    .arg(goodsImportCaption(field), shown(value), quoted(fallback)));
        return 1;
    }

    // A code is scanned or typed at the counter, where a control character can
    // never be entered: such a line is refused. Other texts are cleaned.
    void text(LineCheck& lc, int field, int maxBytes, std::string& out) {
        const QString caption = goodsImportCaption(field);
        QString value;
        if (field == GiCode) {
            value = cell(field).trimmed();
            if (hasControlCharacters(value)) {
                lc.refuse(QStringLiteral("%1含有键盘无法输入的控制字符（%2）")
                              .arg(quoted(caption), controlCharacterNames(value)));
                return;
            }
        } else {
            value = cleanCell(lc, field);
        }
        if (!toGbk(value, out)) {
            lc.refuse(QStringLiteral("%1含有无法保存的字符").arg(quoted(caption)));
        } else if (out.size() > static_cast<size_t>(maxBytes)) {
            lc.refuse(QStringLiteral("%1太长：%2个字节，最多%3个（一个汉字占2个）")
                          .arg(quoted(caption))
                          .arg(out.size())
                          .arg(maxBytes));
        }
    }

    void price(LineCheck& lc, int field, double& out, double empty) {
        switch (readPrice(cell(field), out)) {
        case Cell::Empty:
            out = empty;
            break;
        case Cell::Number:
            break;
        case Cell::Bad:
            out = empty;
            lc.refuse(QStringLiteral("%1应为0到%2之间的数，不能是%3")
                          .arg(quoted(goodsImportCaption(field)), moneyText(kMaxPrice),
                               shown(cell(field).trimmed())));
            break;
        }
    }

    const std::vector<int>& mapping_;
    const std::vector<vorn::TRec>& types_;
    const std::vector<vorn::SPRec>& suppliers_;
    QString typeFallback_;
    QString supplierFallback_;
    const CsvRecord* record_ = nullptr;
};

} // namespace

QString goodsImportCaption(int field) {
    if (field < 0 || field >= GoodsImportFieldCount) return QString();
    return QString::fromUtf8(kCaptions[field]);
}

GoodsImportCheck checkGoodsImport(const std::vector<CsvRecord>& records, const std::vector<int>& mapping,
                                  const std::vector<vorn::TRec>& types,
                                  const std::vector<vorn::SPRec>& suppliers) {
    GoodsImportCheck out;
    out.lines.reserve(records.size());
    Checker checker(mapping, types, suppliers);
    for (const CsvRecord& r : records)
        checker.check(r, out);
    return out;
}

bool goodsImportAllowed(const GoodsImportCheck& check) {
    return check.units > 0 && check.units <= kMaxBatchRecords;
}

QString goodsImportSummary(const GoodsImportCheck& check) {
    const QLocale numbers(QLocale::English);
    QString s = QStringLiteral("将导入 %1 行，共 %2 件商品；跳过 %3 行")
                    .arg(numbers.toString(static_cast<qlonglong>(check.lines.size())),
                         numbers.toString(check.units), numbers.toString(check.skipped));
    if (check.units > kMaxBatchRecords)
        s += QStringLiteral("。一次导入的商品数量不能超过上限%1件，请把文件分成几个后再导入")
                 .arg(numbers.toString(kMaxBatchRecords));
    return s;
}

int writeGoodsImport(vorn::Core& core, const std::vector<GoodsImportLine>& lines, int64_t stockTime,
                     const std::function<void(long long done, long long total)>& progress) {
    long long total = 0;
    for (const GoodsImportLine& l : lines)
        total += l.quantity;
    if (total <= 0) return 0;
    if (total > INT_MAX) return -1;

    vorn::Transaction t(core);
    std::string sql;
    std::string statement;
    long long done = 0;
    int pending = 0;
    auto flush = [&] {
        if (t.exec(sql.c_str()) != 0) return false;
        done += pending;
        pending = 0;
        sql.clear();
        if (progress) progress(done, total);
        return true;
    };
    for (const GoodsImportLine& l : lines) {
        // Every unit of a line is the same record, so it has the same statement:
        // the one the record writes for goods entry.
        vorn::SRec u = l.unit;
        u.FSt_StoT = stockTime;
        statement.resize(u.sql_capacity());
        statement.resize(static_cast<size_t>(u.make_insert_sql(statement.data())));
        if (sql.capacity() == 0) sql.reserve(statement.size() * kUnitsPerText + 1);
        for (int k = 0; k < l.quantity; ++k) {
            sql += statement;
            if (++pending == kUnitsPerText && !flush()) return -1;
        }
    }
    if (pending > 0 && !flush()) return -1;
    return t.commit() == 0 ? static_cast<int>(total) : -1;
}

void GoodsImportChecker::check(const std::vector<CsvRecord>& records, const std::vector<int>& mapping) {
    result_ = checkGoodsImport(records, mapping, types_, suppliers_);
}

QString GoodsImportChecker::refusal() const {
    if (result_.units <= kMaxBatchRecords) return QString();
    return QStringLiteral("一次导入的商品数量不能超过上限%1件").arg(kMaxBatchRecords);
}

int GoodsImportChecker::write(vorn::Core& core, int64_t moment, const std::function<void(int percent)>& percent) {
    return writeGoodsImport(core, result_.lines, moment, [&percent](long long done, long long total) {
        if (percent) percent(static_cast<int>(done * 100 / total));
    });
}

QString GoodsImportChecker::success(int written) const {
    return QStringLiteral("成功\"导入\"%1件商品（%2行）").arg(written).arg(result_.lines.size());
}

} // namespace vorn::ui

#include "memberimportcheck.h"

#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <unordered_map>

#include "kit/text/gbk.h"
#include "kit/page/listloader.h"
#include "membercells.h"
#include "memberlimits.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn::ui {

namespace {

// Codes asked of the store in one query: short enough for any statement limit,
// long enough that a large file needs few round trips.
constexpr size_t kCodesPerQuery = 500;
// Members written per statement text, so the busy window can show progress.
constexpr size_t kMembersPerChunk = 1000;

// The oldest and the latest birthday the entry dialog's picker offers.
const QDate kFirstBirthday(1900, 1, 1);
const QDate kLastBirthday(2099, 12, 31);

// A value quoted in a problem, cut short: a whole address in the list helps nobody.
QString quoted(const QString& value) {
    constexpr int kShown = 24;
    const QString v = value.size() > kShown ? value.left(kShown) + QStringLiteral("…") : value;
    return QStringLiteral("\"%1\"").arg(v);
}

QString skippedText(const QString& what) {
    return what + QStringLiteral("，跳过该行");
}

// Column limits in GBK bytes, by field; 0 for the fields that are not stored as text.
int byteLimit(int field) {
    switch (field) {
    case MiCode:
        return width::room(width::kVipCode);
    case MiName:
        return width::room(width::kVipName);
    case MiEMail:
        return width::room(width::kVipEMail);
    case MiPhone:
        return width::room(width::kVipPhone);
    case MiAddr:
        return width::room(width::kVipAddr);
    case MiRemark:
        return width::room(width::kVipRemark);
    default:
        return 0;
    }
}

// The GBK bytes of a text field, or why the text cannot be stored.
bool textField(int field, const QString& value, std::string& bytes, QString& problem) {
    // U+FFFD is what decoding left where the bytes were not text in the chosen
    // encoding: the file's encoding is the likelier fault than the text.
    if (value.contains(QChar(QChar::ReplacementCharacter))) {
        problem = skippedText(memberImportCaption(field) +
                              QStringLiteral("含有无法识别的字符（文件的编码可能不对）"));
        return false;
    }
    if (!toGbk(value, bytes)) {
        problem = skippedText(memberImportCaption(field) + QStringLiteral("含有无法保存的字符"));
        return false;
    }
    const int limit = byteLimit(field);
    if (static_cast<int>(bytes.size()) > limit) {
        problem = skippedText(QStringLiteral("%1超过%2个字节（一个汉字占两个字节）")
                                  .arg(memberImportCaption(field))
                                  .arg(limit));
        return false;
    }
    return true;
}

// A long card number that went through a spreadsheet as a number comes back as
// "6.22202E+15": its digits are gone, and entering it would make a wrong member.
bool looksLikeScientific(const QString& code) {
    static const QRegularExpression re(QStringLiteral("^[0-9](\\.[0-9]+)?[eE]\\+[0-9]+$"));
    return re.match(code).hasMatch();
}

// Full-width digits and separators (typed with a Chinese input method) read as
// their plain forms in numbers and dates.
QString plainForm(const QString& text) {
    return text.trimmed().normalized(QString::NormalizationForm_KC);
}

// What one record amounts to after the first pass.
struct Verdict {
    int line = 0;
    QStringList faults; // each leaves the record out
    QStringList notes;  // said when the record is entered
    int member = -1;    // index into the candidates, when it has no fault
};

} // namespace

QString memberImportCaption(int field) {
    switch (field) {
    case MiCode:
        return QStringLiteral("会员编号");
    case MiName:
        return QStringLiteral("会员名称");
    case MiType:
        return QStringLiteral("会员类型");
    case MiBirthday:
        return QStringLiteral("生日");
    case MiPoints:
        return QStringLiteral("积分");
    case MiEMail:
        return QStringLiteral("电子邮件");
    case MiPhone:
        return QStringLiteral("联系电话");
    case MiAddr:
        return QStringLiteral("地址");
    case MiRemark:
        return QStringLiteral("备注");
    default:
        return QString();
    }
}

QStringList memberImportHeaders(int field) {
    // The list's own caption first: a file the member export wrote maps by itself.
    auto listCaption = [](int column) { return QString::fromUtf8(memberColumns()[static_cast<size_t>(column)].caption); };
    switch (field) {
    case MiCode:
        return {listCaption(MColCode),  QStringLiteral("编号"),     QStringLiteral("会员号"),
                QStringLiteral("卡号"), QStringLiteral("会员卡号"), QStringLiteral("会员编码"),
                QStringLiteral("code")};
    case MiName:
        return {listCaption(MColName),      QStringLiteral("姓名"), QStringLiteral("名称"),
                QStringLiteral("会员姓名"), QStringLiteral("名字"), QStringLiteral("name")};
    case MiType:
        return {listCaption(MColType),    QStringLiteral("会员类型"),   QStringLiteral("类别"),
                QStringLiteral("卡类型"), QStringLiteral("会员卡类型"), QStringLiteral("type")};
    case MiBirthday:
        return {listCaption(MColBirT), QStringLiteral("出生日期"), QStringLiteral("生日日期"),
                QStringLiteral("出生年月日"), QStringLiteral("birthday")};
    case MiPoints:
        return {listCaption(MColGrade), QStringLiteral("会员积分"), QStringLiteral("当前积分"),
                QStringLiteral("points")};
    case MiEMail:
        return {listCaption(MColEMail),     QStringLiteral("E-mail"),   QStringLiteral("email"),
                QStringLiteral("电子邮件"), QStringLiteral("电子邮箱"), QStringLiteral("邮箱"),
                QStringLiteral("邮件")};
    case MiPhone:
        return {listCaption(MColPhone),     QStringLiteral("联系电话"), QStringLiteral("电话"),
                QStringLiteral("手机"),     QStringLiteral("手机号"),   QStringLiteral("手机号码"),
                QStringLiteral("电话号码"), QStringLiteral("phone")};
    case MiAddr:
        return {listCaption(MColAddr), QStringLiteral("联系地址"), QStringLiteral("住址"),
                QStringLiteral("家庭住址"), QStringLiteral("address")};
    case MiRemark:
        return {listCaption(MColRemark), QStringLiteral("说明"), QStringLiteral("remark")};
    default:
        return {};
    }
}

int memberTypeOfText(const QString& text) {
    const QString t = text.trimmed();
    if (t == choiceText(vipTypes(), 0) || t == QStringLiteral("普通")) return 0;
    if (t == choiceText(vipTypes(), 1) || t == QStringLiteral("金卡")) return 1;
    return -1;
}

bool parseImportBirthday(const QString& text, QDate& day) {
    day = QDate();
    const QString t = plainForm(text);
    if (t.isEmpty()) return true;
    // Year, month and day with any of the usual separators, then an optional time
    // of day, which a birthday does not keep.
    static const QRegularExpression separated(
        QStringLiteral("^(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?"
                       "(?:[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    static const QRegularExpression packed(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    QRegularExpressionMatch m = separated.match(t);
    if (!m.hasMatch()) m = packed.match(t);
    if (!m.hasMatch()) return false;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid() || d < kFirstBirthday || d > kLastBirthday) return false;
    if (m.lastCapturedIndex() >= 5 && !m.captured(4).isEmpty()) {
        const int h = m.captured(4).toInt(), mi = m.captured(5).toInt();
        const int s = m.captured(6).isEmpty() ? 0 : m.captured(6).toInt();
        if (h > 23 || mi > 59 || s > 59) return false;
    }
    day = d;
    return true;
}

bool parseImportPoints(const QString& text, int& points) {
    points = 0;
    const QString t = plainForm(text);
    if (t.isEmpty()) return true;
    // Digits, maybe grouped by thousands, maybe with a fraction of zeros, as a
    // spreadsheet shows a whole number formatted with separators or decimals.
    static const QRegularExpression re(QStringLiteral("^\\+?(\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.0*)?$"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch()) return false;
    QString digits = m.captured(1);
    digits.remove(QLatin1Char(','));
    bool ok = false;
    const qulonglong v = digits.toULongLong(&ok);
    if (!ok || v > static_cast<qulonglong>(kMaxMemberPoints)) return false;
    points = static_cast<int>(v);
    return true;
}

StoredCodeLookup storedMemberCodes(vorn::Core& core) {
    return [&core](const std::vector<std::string>& codes, std::unordered_set<std::string>& found) {
        for (size_t at = 0; at < codes.size(); at += kCodesPerQuery) {
            const size_t end = std::min(codes.size(), at + kCodesPerQuery);
            std::string cond = "FVs_Code IN (";
            for (size_t i = at; i < end; ++i) {
                if (i > at) cond += ',';
                cond += '\'';
                cond += vorn::sql_escape(codes[i]);
                cond += '\'';
            }
            cond += ')';
            std::vector<vorn::VIPRec> rows;
            if (loadRows(core, rows, cond) < 0) return false;
            for (const vorn::VIPRec& r : rows)
                found.insert(r.FVs_Code);
        }
        return true;
    };
}

MemberImportCheck checkMemberImport(const std::vector<CsvRecord>& records, const std::vector<int>& mapping,
                                    const StoredCodeLookup& stored) {
    MemberImportCheck out;
    std::vector<Verdict> verdicts;
    verdicts.reserve(records.size());
    std::vector<vorn::VIPRec> candidates;
    std::vector<int> candidateLines;

    for (const CsvRecord& rec : records) {
        auto value = [&](int field) {
            const int column =
                field < static_cast<int>(mapping.size()) ? mapping[static_cast<size_t>(field)] : -1;
            return column >= 0 && column < rec.fields.size() ? rec.fields.at(column).trimmed() : QString();
        };
        Verdict v;
        v.line = rec.line;
        vorn::VIPRec m;
        QString problem;

        // Control characters no keyboard types: a code with one could never be
        // entered again, so the line is refused; other texts lose them, with a
        // note. Address and remark are multi-line edits: they keep line breaks.
        auto cleaned = [&](int field) {
            const LineBreaks breaks =
                field == MiAddr || field == MiRemark ? LineBreaks::Kept : LineBreaks::None;
            const QString text = value(field);
            if (hasControlCharacters(text, breaks))
                v.notes << QStringLiteral("%1中的控制字符（%2）已去掉")
                               .arg(memberImportCaption(field), controlCharacterNames(text, breaks));
            return withoutControlCharacters(text, breaks).trimmed();
        };

        const QString code = value(MiCode);
        if (code.isEmpty())
            v.faults << skippedText(QStringLiteral("缺少会员编号"));
        else if (hasControlCharacters(code))
            v.faults << skippedText(QStringLiteral("会员编号含有键盘无法输入的控制字符（%1）")
                                        .arg(controlCharacterNames(code)));
        else if (looksLikeScientific(code))
            v.faults << skippedText(
                QStringLiteral("会员编号%1已被表格软件写成科学计数法，请把该列设为文本后重新保存")
                    .arg(quoted(code)));
        else if (!textField(MiCode, code, m.FVs_Code, problem))
            v.faults << problem;

        if (!textField(MiName, cleaned(MiName), m.FVs_Name, problem)) v.faults << problem;

        const QString typeText = cleaned(MiType);
        if (typeText.isEmpty()) {
            m.FVi_Type = 0; // as the entry dialog's type box starts
        } else {
            m.FVi_Type = memberTypeOfText(typeText);
            if (m.FVi_Type < 0) {
                m.FVi_Type = 0;
                v.notes << QStringLiteral("会员类型%1无法识别，按\"%2\"导入")
                               .arg(quoted(typeText), choiceText(vipTypes(), 0));
            }
        }

        const QString bornText = value(MiBirthday);
        QDate born;
        if (!parseImportBirthday(bornText, born))
            v.faults << skippedText(
                QStringLiteral("生日%1不是有效的日期（如 1990-05-12）").arg(quoted(bornText)));
        else
            m.FVt_BirT = born.isValid() ? birthdayOf(born) : 0;

        const QString pointsText = value(MiPoints);
        if (!parseImportPoints(pointsText, m.FVi_Grade))
            v.faults << skippedText(QStringLiteral("积分%1不是0到%2之间的整数")
                                        .arg(quoted(pointsText))
                                        .arg(kMaxMemberPoints));

        for (const auto& [field, target] :
             {std::pair{MiEMail, &m.FVs_EMail}, std::pair{MiPhone, &m.FVs_Phone},
              std::pair{MiAddr, &m.FVs_Addr}, std::pair{MiRemark, &m.FVs_Remark}})
            if (!textField(field, cleaned(field), *target, problem)) v.faults << problem;

        if (v.faults.isEmpty()) {
            v.member = static_cast<int>(candidates.size());
            candidates.push_back(std::move(m));
            candidateLines.push_back(rec.line);
        }
        verdicts.push_back(std::move(v));
    }

    // The duplicate rule of member entry: a code goes in once. Only a line that
    // would be entered claims its code, as only a staged member does in the
    // entry dialog; a later line with the same code is refused.
    std::unordered_map<std::string, int> claimedBy; // code -> line of the file
    std::vector<std::string> claimedCodes;
    std::vector<int> repeatOf(candidates.size(), 0);
    for (size_t i = 0; i < candidates.size(); ++i) {
        auto [it, fresh] = claimedBy.emplace(candidates[i].FVs_Code, candidateLines[i]);
        if (fresh)
            claimedCodes.push_back(candidates[i].FVs_Code);
        else
            repeatOf[i] = it->second;
    }
    std::unordered_set<std::string> inStore;
    if (!claimedCodes.empty() && !stored(claimedCodes, inStore)) {
        out.storeFailed = true;
        inStore.clear();
    }

    for (Verdict& v : verdicts) {
        if (v.member >= 0) {
            const size_t i = static_cast<size_t>(v.member);
            vorn::VIPRec& m = candidates[i];
            if (inStore.count(m.FVs_Code) > 0)
                v.faults << skippedText(QStringLiteral("会员编号%1已存在").arg(quoted(fromGbk(m.FVs_Code))));
            else if (repeatOf[i] > 0)
                v.faults << skippedText(QStringLiteral("会员编号%1与第%2行重复")
                                            .arg(quoted(fromGbk(m.FVs_Code)))
                                            .arg(repeatOf[i]));
        }
        if (!v.faults.isEmpty()) {
            ++out.skipped;
            for (const QString& f : v.faults)
                out.problems.push_back({v.line, f, true});
            continue;
        }
        for (const QString& n : v.notes)
            out.problems.push_back({v.line, n, false});
        out.members.push_back(std::move(candidates[static_cast<size_t>(v.member)]));
        out.lines.push_back(v.line);
    }
    if (out.storeFailed) {
        out.members.clear();
        out.lines.clear();
    }
    return out;
}

QString memberImportSummary(const MemberImportCheck& check) {
    if (check.storeFailed) return QStringLiteral("无法查询已有的会员编号，不能导入");
    QString text =
        QStringLiteral("将导入 %1 位会员；跳过 %2 行").arg(check.members.size()).arg(check.skipped);
    if (check.members.size() > static_cast<size_t>(kMaxBatchRecords))
        text += QStringLiteral("。一次添加会员数量太多，不能超过上限%1个").arg(kMaxBatchRecords);
    return text;
}

bool memberImportAllowed(const MemberImportCheck& check) {
    return !check.storeFailed && !check.members.empty() &&
           check.members.size() <= static_cast<size_t>(kMaxBatchRecords);
}

int writeMemberImport(vorn::Core& core, std::vector<vorn::VIPRec>& members, int64_t created,
                      const std::function<void(int done, int total)>& progress) {
    if (members.empty()) return 0;
    const int total = static_cast<int>(members.size());
    // One moment for the whole batch, as member entry stamps its batch.
    for (vorn::VIPRec& m : members) {
        m.FVi_Id = 0;
        m.FVt_CreT = created;
    }
    vorn::Transaction t(core);
    if (!t.active()) return -1;
    std::string sql;
    std::vector<char> buf;
    for (size_t at = 0; at < members.size(); at += kMembersPerChunk) {
        const size_t end = std::min(members.size(), at + kMembersPerChunk);
        sql.clear();
        for (size_t i = at; i < end; ++i) {
            buf.resize(members[i].sql_capacity());
            const int len = members[i].make_insert_sql(buf.data());
            sql.append(buf.data(), static_cast<size_t>(len));
        }
        if (t.exec(sql.c_str()) != 0) return -1; // rolled back already
        if (progress) progress(static_cast<int>(end), total);
    }
    return t.commit() == 0 ? total : -1;
}

void MemberImportChecker::check(const std::vector<CsvRecord>& records, const std::vector<int>& mapping) {
    result_ = checkMemberImport(records, mapping, stored_);
}

QString MemberImportChecker::refusal() const {
    if (result_.members.size() <= static_cast<size_t>(kMaxBatchRecords)) return QString();
    return QStringLiteral("一次导入会员数量太多，不能超过上限%1个").arg(kMaxBatchRecords);
}

int MemberImportChecker::write(vorn::Core& core, int64_t moment, const std::function<void(int percent)>& percent) {
    return writeMemberImport(core, result_.members, moment, [&percent](int done, int total) {
        if (percent) percent(static_cast<int>(100LL * done / total));
    });
}

QString MemberImportChecker::success(int written) const {
    return QStringLiteral("成功\"导入\"%1个会员").arg(written);
}

} // namespace vorn::ui

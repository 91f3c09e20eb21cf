// Checking the lines of a member file before anything is written, and writing
// what passed. No widgets here: the import command and the tests call these
// alike, and the checking and writing run on the busy window's worker.
//
// A line is read the way member entry reads its inputs: texts are GBK within
// the entry dialog's limits, a code may be entered only once (not when the
// store or an earlier line of the file already holds it), a new member has the
// birthday of its day at 00:00:01 and the creation time of the moment the batch
// is written. Where the entry dialog cannot be typed wrong (it limits what goes
// in) a file can, so a line the dialog could not have made is left out and
// the report says why. Control characters (tab, line breaks, NUL, ESC, ...)
// that no keyboard puts into a field refuse the line when they are in the
// code; in any other text they are taken out (a tab or line break becomes a
// blank) and the report says so. What passes the check is what the store can
// take: only the store itself can make the write fail.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "kit/text/csv.h"
#include "kit/sheet/csvimport.h"
#include "kit/sheet/importreport.h"
#include "vorn/core.h"
#include "vorn/records.h"

namespace vorn::ui {

// The fields an import maps, in the order of the mapping.
enum MemberImportField {
    MiCode,
    MiName,
    MiType,
    MiBirthday,
    MiPoints,
    MiEMail,
    MiPhone,
    MiAddr,
    MiRemark,
    MemberImportFieldCount
};

// Caption of a field as the mapping and the problems name it ("会员编号").
QString memberImportCaption(int field);
// Column headings that map to the field by themselves: the member list's own
// wording (which the member export writes) and the usual other names.
QStringList memberImportHeaders(int field);

// The type code of a type text: "普通会员"/"普通" 0, "金卡会员"/"金卡" 1; -1 for
// anything else. An empty text is not a type (-1 too); the caller decides.
int memberTypeOfText(const QString& text);
// A birthday as spreadsheets write it: 1990-05-12, 1990/5/12, 1990.5.12,
// 1990年5月12日 or 19900512, a time of day after it allowed (Excel writes
// "1990/5/12 0:00"). False for anything else and for a day outside the entry
// picker's range (1900-01-01 to 2099-12-31). An empty text gives true and a null
// date: the member has no birthday.
bool parseImportBirthday(const QString& text, QDate& day);
// Points as a whole number from 0 to kMaxMemberPoints ("1200", "1,200",
// "1200.00" as Excel formats it); false for anything else. Empty is 0.
bool parseImportPoints(const QString& text, int& points);

// Which of the codes (GBK) the store holds already, into `found`. False when the
// store could not answer.
using StoredCodeLookup =
    std::function<bool(const std::vector<std::string>& codes, std::unordered_set<std::string>& found)>;
// The lookup against the members of the store, a few hundred codes per query.
StoredCodeLookup storedMemberCodes(vorn::Core& core);

struct MemberImportCheck {
    std::vector<vorn::VIPRec> members;   // to enter, in file order (creation time still 0)
    std::vector<int> lines;              // the file line of each member
    std::vector<ImportProblem> problems; // by line, then field order
    int skipped = 0;                     // records left out
    bool storeFailed = false;            // the duplicate lookup failed: nothing can be entered
};

// Checks every record. `mapping` holds the record column of each field in
// field order (-1, or past a record's end: the field is empty). A record is left
// out when its code is missing or holds a control character, its birthday or
// points are not what they may be, a text is longer than its column takes or
// holds a character GBK cannot hold (every such fault of the record is
// listed), and then when its code is stored already or an earlier entered line
// of the file has it. A type text that names no type keeps the record as
// "普通会员", with a note, and so does a text whose control characters were
// taken out.
MemberImportCheck checkMemberImport(const std::vector<CsvRecord>& records, const std::vector<int>& mapping,
                                    const StoredCodeLookup& stored);

// "将导入 N 位会员；跳过 K 行", and why nothing can be entered when the members
// are more than one addition may hold.
QString memberImportSummary(const MemberImportCheck& check);
// Whether the checked members can be entered at all: some, no more than one
// addition may hold, and the duplicate lookup answered.
bool memberImportAllowed(const MemberImportCheck& check);

// Enters the members, all created at `created`, in one transaction with the
// statements member entry writes: all of them or, when the store refuses any,
// none. `progress` (may be empty) hears the members written so far from the
// thread doing the work. Returns the number entered (0 for none: the store is
// not touched), or -1 when nothing was entered because the store failed.
int writeMemberImport(vorn::Core& core, std::vector<vorn::VIPRec>& members, int64_t created,
                      const std::function<void(int done, int total)>& progress = {});

// The member import's checker: the functions above, with the duplicate lookup
// it is given.
class MemberImportChecker : public ImportCheckerOf<MemberImportCheck> {
public:
    explicit MemberImportChecker(StoredCodeLookup stored) : stored_(std::move(stored)) {}

    void check(const std::vector<CsvRecord>& records, const std::vector<int>& mapping) override;
    QString summary() const override { return memberImportSummary(result_); }
    bool allowed() const override { return memberImportAllowed(result_); }
    QString refusal() const override;
    bool storeFailed() const override { return result_.storeFailed; }
    int write(vorn::Core& core, int64_t moment, const std::function<void(int percent)>& percent) override;
    QString success(int written) const override;

private:
    StoredCodeLookup stored_;
};

} // namespace vorn::ui

// vorn::Journal: every sale on record, with its number, its units and how it was
// paid, beside the six tables of the store (which it never changes in form).
//
// Three tables of its own, created at open where missing:
//   Sale         one row per sale (or return): number "YYYYMMDD-NNNN", time,
//                cashier, member code, unit count, amounts, points credited, ...
//   SaleUnit     which Store units (FSi_Id) a sale took and at what price
//   SalePayment  one row per payment method used, with its amount
// Money in these tables is held as whole tenths of a yuan (integers), because
// amounts are summed and compared there: 0.1 + 0.2 is 3 tenths, exactly. The six
// tables keep their prices in yuan as doubles; a unit's price becomes tenths by
// the rounding format_money shows it with. Times are stored as the six tables
// store theirs ("%Y-%m-%d %H:%M:%S", local time), so a span compares alike on
// FSAt_Time and on FSt_SalT.
//
// Text (cashier, member and goods codes) is GBK bytes, as everywhere in the store.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vorn/export.h"
#include "vorn/records.h"

namespace vorn {

class Core;

// SalePayment.FSAPi_Method.
enum PayMethod : int {
    kPayCash = 0,    // 现金: the only method that gives change
    kPayWeChat = 1,  // 微信
    kPayAlipay = 2,  // 支付宝
    kPayCard = 3,    // 银行卡
    kPayOther = 4,   // 其他
    kPayUnknown = 9, // sales recovered from the units alone
};

// Sale.FSAi_Kind.
enum SaleKind : int { kKindSale = 0, kKindReturn = 1 };

struct Payment {
    int method = kPayCash;
    int64_t amount = 0; // tenths of a yuan
};

// What checkout hands over. The units are the counter's copies, already set
// sold (FSi_Flag 1) with their real price (FSd_ReaP) and one common sale time
// (FSt_SalT), as the counter marks them; that time is the sale's.
struct CheckoutRequest {
    std::vector<SRec> units;
    std::string cashier;           // the logged-in user's FUs_Name
    int member_id = 0;             // FVi_Id of the member credited; 0: no member
    std::string member_code;       // FVs_Code recorded with the sale (empty: none)
    int points = 0;                // added to the member's FVi_Grade
    int points_cap = 100000000;    // the balance is kept within 0 and this
    std::vector<Payment> payments; // in the order taken; one row per method is kept
    std::string approver;          // who allowed what needed allowing; empty: nobody
    int64_t shift = 0;             // Shift id; 0: none
};

enum class CheckoutStatus {
    Done,
    Invalid, // the request does not add up (see checkout); nothing written
    Missing, // some unit is no longer in stock (sold at another till, deleted); nothing written
    Failed,  // the store refused a write; nothing written
};

struct CheckoutResult {
    CheckoutStatus status = CheckoutStatus::Failed;
    int rc = 0;          // Failed: the SQLite code of what failed
    std::string number;  // the number this attempt took (burned when it failed)
    int64_t sale_id = 0; // Done: FSAi_Id
    // What the sale comes to, in tenths (set once the request adds up).
    int64_t due = 0, discount = 0, paid = 0, change = 0;
    bool member_found = false; // the member's record was there and credited
    int points_credited = 0;   // what the balance gained
    int balance = 0;           // the member's points afterwards
    // Missing: the ids and codes (GBK) of the units no longer in stock.
    std::vector<int> gone_ids;
    std::vector<std::string> gone_codes;
};

// One row of Sale.
struct SaleRecord {
    int64_t id = 0;
    std::string number;
    int64_t time = 0; // seconds, local-time meaning
    std::string cashier;
    std::string member;   // member code, empty for none
    int units = 0;        // number of units
    int64_t due = 0;      // tenths (amounts of a return are negative)
    int64_t discount = 0; // retail value less due, tenths (positive: sold below retail)
    int64_t paid = 0;
    int64_t change = 0;
    int points = -1; // points credited; -1 unknown (recovered)
    int kind = kKindSale;
    int64_t original = 0; // a return's sale; 0 none
    bool recovered = false;
    std::string approver;
    int64_t shift = 0;    // 0 none
    unsigned methods = 0; // bit m set when a payment of method m was made
};

// Which sales to list; every given part must hold.
struct SaleFilter {
    int64_t from = 0;       // sale time >= from; 0: no lower bound
    int64_t to = 0;         // sale time < to; 0: no upper bound
    std::string number;     // exact
    std::string cashier;    // exact
    std::string member;     // exact member code
    std::string goods_code; // sales that took a unit of this code
    int method = -1;        // sales with a payment of this method
    int kind = -1;          // kKindSale or kKindReturn; -1 both
};

enum class SaleOrder { Time, Number, Cashier, Member, Units, Due, Discount, Paid };

// Footers of a list, and a day's takings by method.
struct SaleSums {
    int sales = 0;
    int64_t units = 0;
    int64_t due = 0, discount = 0, paid = 0, change = 0;
    int64_t points = 0;         // of the sales whose points are known
    int64_t by_method[10] = {}; // SalePayment amounts per method
};

// A sale's units grouped by goods code and price, in the order first taken.
struct SaleLine {
    std::string code; // empty when the units have been deleted from Store since
    std::string name;
    int quantity = 0;
    int64_t price = 0;      // tenths, each
    int64_t amount = 0;     // tenths, quantity x price
    std::vector<int> units; // their FSi_Id
};

struct SaleDetail {
    SaleRecord sale;
    std::vector<SaleLine> lines;
    std::vector<Payment> payments; // in the order taken
};

// ---- Returns ------------------------------------------------------------------
//
// A return is a Sale row of kind kKindReturn, written in one transaction with
// the units' update and the member's points. Its amounts are the negatives of
// what it gives back, so that any sum over the journal (units, due, paid,
// points, a method's takings) comes out net of returns:
//   FSAi_Count  -(units returned)
//   FSAi_Due    -(refund): the prices the units were sold at, after discounts
//   FSAi_Disc   -(retail value of the units less the refund)
//   FSAi_Paid   -(refund); FSAi_Change 0
//   FSAi_Points -(points the member lost); 0 without a member or when gone
//   FSAi_Orig   the sale returned from; NULL for a return without a receipt
//   FSAs_VIP    that sale's member code; FSAs_User the cashier; FSAs_Appr the
//               approver
// Its SaleUnit rows hold each unit with the negative of the price it was sold
// at (a return's lines add up to its FSAi_Due, as a sale's do), its
// SalePayment rows the refund per method as negative amounts. Its number
// "YYYYMMDD-NNNN" comes from the same day sequence as the sales' numbers.
//
// Units back in stock are as before their sale: FSi_Flag 0, FSd_ReaP 0,
// FSt_SalT unset. Damaged units (报损) are written off: FSi_Flag 2, FSd_ReaP 0,
// FSt_SalT unset (they were not sold; when they left the stock is the
// return's time, and the return's SaleUnit rows whose unit has FSi_Flag 2 are
// the write-offs). Stock counts, the stock alarm and the statistics count only
// 0 and 1, so written-off units disturb none of them.
//
// A unit of a sale can be returned while it is sold (FSi_Flag 1) and that
// sale's SaleUnit row is the unit's latest one in the journal: once returned
// (a return's row follows) it cannot come back again from that sale, and a
// unit returned into stock and sold again is returned from its new sale.

// One unit coming back from a sale.
struct ReturnUnit {
    int unit = 0;         // FSi_Id
    bool damaged = false; // written off (FSi_Flag 2) instead of back into stock
};

// Without a receipt: the `quantity` most recently sold units of the code.
struct ReturnByCode {
    std::string code; // FSs_Code, GBK
    int quantity = 0;
    bool damaged = false;
};

struct ReturnRequest {
    // With a receipt: the sale (FSAi_Id) and which of its units come back.
    int64_t sale_id = 0;
    std::vector<ReturnUnit> units;
    // Without a receipt (sale_id 0): codes and quantities. A code may appear
    // more than once (some units damaged, some not); its lines take the units
    // in turn, most recently sold first.
    std::vector<ReturnByCode> codes;
    int64_t time = 0;      // the return's time (the clock's now); sets its number's day
    std::string cashier;   // the logged-in user's FUs_Name
    std::string approver;  // who approved it; empty: nobody needed to
    int64_t shift = 0;     // Shift id; 0: none
    // The refund goes back by the sale's payment methods, cash first, each up
    // to what that method paid (cash less the change) less what earlier
    // returns of the sale refunded by it; what none can take goes in cash.
    // Unknown methods (recovered sales) count as cash. all_cash: all in cash.
    // A return without a receipt always refunds in cash.
    bool all_cash = false;
};

enum class ReturnStatus {
    Done,
    Invalid,         // the request does not add up (see return_goods); nothing written
    NoSale,          // no sale of that id, or it is itself a return; nothing written
    AlreadyReturned, // a unit was returned before: returned_by names that return
    NotSold,         // a unit is no longer sold and no return says why (set back,
                     // written off or deleted by hand, or sold again outside the
                     // journal); nothing written
    NotEnough,       // without a receipt: fewer sold units of a code than asked
                     // (available says how many); nothing written
    Unrecorded,      // without a receipt: one of the units taken has no sale in the
                     // journal to return it from (sold outside it); nothing written
    Failed,          // the store refused a write or a read; nothing written
};

struct ReturnResult {
    ReturnStatus status = ReturnStatus::Failed;
    int rc = 0;             // Failed: the SQLite code of what failed
    std::string number;     // the number this attempt took (burned when it failed)
    int64_t return_id = 0;  // Done: the return's FSAi_Id
    int64_t original = 0;   // the sale returned from (FSAi_Id); 0 without a receipt
    std::string original_number;
    // Set once the request has been checked against the store (Done, and a
    // Failed write): what the return comes to, as positive tenths.
    int64_t refund = 0;           // what the customer gets back
    int64_t discount = 0;         // retail value of the units less the refund
    std::vector<Payment> refunds; // by method, cash first; none for a refund of 0
    std::vector<ReturnUnit> units; // the units and their fate (without a receipt: those taken)
    std::string member;           // the sale's member code; empty: none
    bool member_found = false;    // that member is still there (when false with a
                                  // code: the member is gone, and the return went on)
    int points_lost = 0;          // what the balance lost: the refund in whole yuan, truncated,
                                  // never taking the balance below 0
    int balance = 0;              // the member's points afterwards
    // Refusals: the unit concerned (AlreadyReturned, NotSold, Unrecorded), the
    // return that took it back (AlreadyReturned), the code short of units and
    // how many it has (NotEnough).
    int unit = 0;
    std::string returned_by;
    int64_t returned_by_id = 0;
    std::string code;
    int available = 0;
};

// Progress of a long job: units done of total.
using JournalProgress = std::function<void(int64_t done, int64_t total)>;

class VORNCORE_API Journal {
public:
    explicit Journal(Core& core) : core_(core) {}

    // The three tables and their indexes, created where missing. Nothing is
    // written to a store that holds them all. 0, or the SQLite code of the
    // failure (a store that may not be written and lacks them).
    int ensure_tables();
    // True when the open store holds the three tables.
    bool has_tables();

    // Writes a sale as one transaction: the units' update (update_srec), the
    // member's points (update_viprec) and its Sale, SaleUnit and SalePayment
    // rows; all of it or, on any failure, none. Invalid when there are no units,
    // a unit is not marked sold, the units' sale times differ or are unset, a
    // unit id repeats, a method is not one of 0..4, an amount is negative, what
    // is paid falls short of the amount due, or more than the amount due is
    // paid by anything but cash (only cash gives change). The amount due and the
    // discount are the units' prices in tenths; change is paid less due.
    //
    // The number is the sale's date and the day's sequence, "20261207-0001":
    // taken inside the transaction after the highest of the day in the store
    // and after any this process handed out before, so a checkout that failed
    // has burned its number and no two attempts get the same one.
    CheckoutResult checkout(const CheckoutRequest& request);
    // Selling short: checkout of a request whose `entered` units are missing
    // from the book (the shelf had them, the store did not). They are inserted
    // into Store (in stock, as given: code, prices, remark) and sold with the
    // request's units in the same transaction, so a refused or failed sale
    // leaves no entered unit behind. Their FSi_Id is ignored; each must be set
    // sold (FSi_Flag 1) at the request's sale time like the others. Invalid
    // also when an entered unit has no code; with no entered units this is
    // checkout itself.
    CheckoutResult checkout_short(const CheckoutRequest& request, const std::vector<SRec>& entered);

    // Sales matching the filter: their count, or -1.
    int count_sales(const SaleFilter& filter);
    // Fills out (replacing what it held) in the order asked, ties by id. The
    // number of rows, or -1 (out then empty).
    int select_sales(const SaleFilter& filter, std::vector<SaleRecord>& out,
                     SaleOrder order = SaleOrder::Time, bool descending = false);
    // 1, or -1 (out untouched).
    int sum_sales(const SaleFilter& filter, SaleSums& out);
    // One sale with its lines and payments: 1, 0 when there is none of that
    // id, -1 when the store failed.
    int open_sale(int64_t id, SaleDetail& out);
    // The id of the sale of that number; 0 for none, -1 when the store failed.
    int64_t sale_id_of(const std::string& number);

    // The test made at every start, fast on any size of store: true when sold
    // units may lack journal entries, that is when the journal holds no sale
    // while units are sold (the first start with the journal), or when units
    // were sold at or after its latest sale without one (by a version of the
    // program without the journal). False when the store cannot tell.
    bool history_pending();
    // Sold units (FSi_Flag 1, sale time set) that no journal entry holds: what
    // the program sold before the journal existed, or a version without it
    // since (also between journal sales, which history_pending does not look
    // at). Reads every sold unit: about a second for a million-unit store that
    // is not in the cache. -1 when the store failed.
    int unrecorded_units();
    // Puts those units into journal entries of their own, marked recovered:
    // the units of one sale time make one sale (the counter gives every unit of
    // a checkout the same time), numbered on their date after the day's
    // numbers in use; payment method unknown (one payment of method 9 for the
    // amount due), points unknown, no cashier or member. Written in a few
    // transactions of whole sales, so an interruption leaves the rest for the
    // next run. The number of sales made, or -1 (what was committed stays).
    // progress: units done of all to do, now and then and at the end.
    int recover_history(const JournalProgress& progress = {});

    // ---- Returns (see ReturnRequest) ----------------------------------------

    // Writes a return as one transaction: the units' update (update_srec), the
    // member's points (update_viprec) and the return's Sale, SaleUnit and
    // SalePayment rows; all of it or, on any failure or refusal, none. Invalid
    // when the time is unset, a receipt's request names no units or a unit
    // that is not of the sale or twice, a request without a receipt has no
    // codes or a code that is empty or has a quantity below 1, or both kinds
    // are mixed. The member of the sale loses the refund in whole yuan
    // (truncated), never below 0; a member who is gone leaves the points alone
    // and the return goes on (member_found false). The number is taken as
    // checkout takes it: a return that failed has burned its number.
    ReturnResult return_goods(const ReturnRequest& request);
    // The same checks and sums as return_goods against the store as it is,
    // writing nothing and taking no number: what the counter shows before the
    // cashier confirms (refund by method, points lost, or why it is refused).
    ReturnResult plan_return(const ReturnRequest& request);
    // The units of a sale that can still be returned (FSi_Id, in the sale's
    // order), replacing what out held. 1; 0 when there is no such sale or it is
    // a return (out then empty); -1 when the store failed.
    int returnable_units(int64_t sale_id, std::vector<int>& out);
    // open_sale with each line cut down to its units that can still be
    // returned (quantity and amount of those), lines with none left dropped;
    // the sale's record and payments as open_sale gives them. 1, 0 for no such
    // sale or a return, -1 when the store failed.
    int open_returnable(int64_t sale_id, SaleDetail& out);

private:
    Core& core_;
};

// The name of a payment method as the journal and receipts show it, GBK bytes:
// 现金, 微信, 支付宝, 银行卡, 其他, and 未知 for anything else.
VORNCORE_API std::string pay_method_name(int method);

} // namespace vorn

// What the counter asks of the store: taking in-stock units into the shopping
// list, and marking the listed units sold at checkout. No widgets here; the
// sales page words the outcomes.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "receiptdata.h"
#include "salelist.h"
#include "vorn/core.h"
#include "vorn/journal.h"

namespace vorn::ui {

// The conditions, with the code quoted for SQL (GBK bytes in and out).
std::string codeCondition(const std::string& code);  // FSs_Code='...'
std::string stockCondition(const std::string& code); // FSi_Flag=0 AND FSs_Code='...'
// The n lowest ids in stock of the code: the units the next n of it to be sold.
std::string stockTakeCondition(const std::string& code, int n);
// Members of that code, and the one of them with the lowest id.
std::string memberCondition(const std::string& code);
std::string firstMemberCondition(const std::string& code);

// The quantity text read as C atoi reads it (leading blanks, a sign, digits;
// anything else 0).
int parseQuantity(const QString& text);

enum class AddStatus {
    Added,
    NoSuchCode, // no unit of the code at all (or the store could not say)
    TooFew,     // in stock, less what the list holds, is below the quantity
};

struct AddOutcome {
    AddStatus status = AddStatus::NoSuchCode;
    int left = 0; // TooFew: units of the code in stock that the list does not hold yet
    int rows = 0; // Added: rows appended (one per distinct price among the units)
};

// Adds `quantity` (>= 1) units of `code` (GBK bytes, as typed): the in-stock
// units of the code with the lowest ids that no row holds yet (after the units
// already listed, in the usual case), priced for the member type (kNoMember:
// retail). Only the M + Q lowest ids in stock are read, M being the units of
// the code the list holds: when they all come back the stock suffices; when
// fewer do, they are the whole stock.
// Units of one code stocked at different prices go into one row per price (see
// splitByPrice), so that every row reads quantity x unit price = amount.
AddOutcome addToList(vorn::Core& core, SaleList& list, const std::string& code, int quantity, int memberType,
                     const std::vector<vorn::TRec>& types);

// The units (ascending FSi_Id) grouped by their five price levels (retail,
// member, gold card, wholesale, special, compared exactly): one group per
// distinct set, in the order of each group's lowest id, ids ascending within.
// All levels count, not only the one charged now: a member or a preset level
// chosen later must still give every unit of a row the same price.
std::vector<std::vector<vorn::SRec>> splitByPrice(std::vector<vorn::SRec> units);

// ---- Members' points -------------------------------------------------------------

// The most points a member holds; member entry and import refuse more.
constexpr int kMaxPoints = 100'000'000;

// A balance after a sale earned `points`: the sum counted in 64 bits and kept
// within 0 to kMaxPoints, so that it never wraps around to a negative number
// (the journal's checkout credits by the same rule).
// A balance above the limit (stored before there was one, and refused by member
// entry now) comes back to the limit with the next sale.
int creditedPoints(int before, int points);

struct PointsCredit {
    bool stored = false; // the member's record was found and written
    int earned = 0;      // what the sale earns: the amount due in whole yuan
    int credited = 0;    // what the balance gained: earned, or less at the limit
    int balance = 0;     // the member's points afterwards (as stored, when stored)
};

// Results of a sale's write besides the number of units written.
constexpr int kSoldNothing = 0;       // the list is empty
constexpr int kSoldFailed = -1;       // the store refused the write (or could not check the units)
constexpr int kSoldMissing = -2;      // some listed units are no longer in stock; nothing written
constexpr int kSoldPointsFailed = -3; // the member's points could not be written; nothing written

struct SaleWrite {
    int sold = kSoldNothing; // units written, or one of the results above
    PointsCredit credit;     // with a member: the points credited (or owed, on kSoldPointsFailed)
    int rc = 0;              // kSoldFailed: the store's code of what failed, where known
    std::string number;      // the sale's number in the journal (also of a failed try: it is burned)
    int64_t saleId = 0;      // its journal entry
    int64_t change = 0;      // tenths handed back (cash only)
    // kSoldMissing: the units no longer in stock (sold at another till) and their codes (GBK).
    std::vector<int> goneIds;
    std::vector<std::string> goneCodes;
};

// What the sale is for besides its units: the cashier (FUs_Name, GBK), the
// member credited (null: none) and how it was paid.
struct SaleParty {
    std::string cashier;
    const vorn::VIPRec* member = nullptr;
    std::vector<vorn::Payment> payments; // in the order taken
};

// Checkout's write, all of it or nothing, through the journal: every listed
// unit sold at time t with its sale price, with a member the member's points
// for `dueTenths` credited within kMaxPoints, and the sale's journal entry with
// its units and payments, in one transaction. A sale whose points cannot be
// written (the member deleted meanwhile, or the store refusing the member's
// update) is not stored without them: the units stay in stock and the cashier
// may try again.
// On success the receipt lines take the list's rows and the list is emptied;
// on any failure the list stays exactly as it was.
SaleWrite writeSale(vorn::Core& core, SaleList& list, int64_t t, const SaleParty& party, int64_t dueTenths,
                    std::vector<ReceiptLine>& lines);

// After a checkout found some of its units sold at another till (write's
// goneIds and goneCodes): takes them out of the list and puts in, for each
// code, as many other units of it from stock as there are, priced for the
// member type. How many were put back (the gone ones' number when the stock
// sufficed).
int replaceGone(vorn::Core& core, SaleList& list, const SaleWrite& write, int memberType,
                const std::vector<vorn::TRec>& types);


} // namespace vorn::ui

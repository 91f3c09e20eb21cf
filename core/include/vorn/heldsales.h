// vorn::HeldSales: sales parked at the counter (挂单) while their customer steps
// away, and taken back (取单) later, also after a restart.
//
// Two tables of their own, created at open where missing:
//   HeldSale      one row per parked sale: when, by whom, for which member,
//                 how many units and what they came to
//   HeldSaleLine  one row per unit: its FSi_Id, its code, the row of the
//                 shopping list it was on and the price it was to be sold at
// The units stay in stock while parked (nothing of the six tables changes), so
// whoever takes a sale back checks its units again, as a checkout would. Money
// is whole tenths of a yuan, as in the journal; text is GBK bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vorn/export.h"

namespace vorn {

class Core;

// One unit of a parked sale.
struct HeldUnit {
    int unit = 0;      // FSi_Id; 0 for a unit entered at the counter (not in the book)
    std::string code;  // FSs_Code, to find another unit when this one is gone
    int row = 0;       // the shopping-list row (0-based) it was on
    int64_t price = 0; // what it was to be sold at (after discounts), tenths
};

struct HeldSale {
    int64_t id = 0;
    int64_t time = 0;         // when it was parked; seconds, local-time meaning
    std::string cashier;      // FUs_Name
    int member_id = 0;        // FVi_Id; 0: no member
    std::string member_code;  // FVs_Code; empty: none
    std::string member_name;  // FVs_Name, as shown in the list of parked sales
    int units = 0;            // how many units (list: without reading the lines)
    int64_t due = 0;          // the sum of their prices, tenths
    std::string approver;     // who allowed a discount beyond the cashier's authority; empty: nobody
    std::vector<HeldUnit> lines; // in list order; empty in what list() gives
};

class VORNCORE_API HeldSales {
public:
    explicit HeldSales(Core& core) : core_(core) {}

    // The two tables, created where missing. 0, or the SQLite code of the failure.
    int ensure_tables();

    // Parks the sale (its lines; units and due are counted from them, its id
    // ignored) in one transaction. The new id, or -1 (nothing written; also
    // for a sale without lines or a unit id below 0).
    int64_t park(const HeldSale& sale);
    // Parked sales, most recent first (ties: the later parked first), without
    // their lines, replacing what out held. Their number, or -1 (out then empty).
    int list(std::vector<HeldSale>& out);
    // Reads a parked sale with its lines and removes it, in one transaction: it
    // is back at one counter only. 1, 0 when there is no such sale (taken
    // already), -1 when the store failed (then it stays parked).
    int take(int64_t id, HeldSale& out);
    // How many sales are parked, or -1.
    int count();

private:
    Core& core_;
};

} // namespace vorn

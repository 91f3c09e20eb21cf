// vorn::AlarmLimits: the stock alarm by article. A code is low when fewer of its
// units are in stock (FSi_Flag 0) than its limit: its own limit when the shop
// gave it one (table AlarmLimit beside the six), else the shop's limit (setting
// 7). Unlike the counter's first alarm query, a code whose units are all sold
// counts too (0 in stock): that is the code a shop must order first. A code
// whose units were all written off is no longer sold here and is left out, as
// the stock counts leave out written-off units.
//
// Codes, names and supplier names are GBK bytes, as everywhere in the store.
#pragma once

#include <string>
#include <vector>

#include "vorn/export.h"

namespace vorn {

class Core;

struct AlarmLine {
    std::string code;
    std::string name;          // of the code's latest unit
    int supplier = 0;          // FSi_Supplier of that unit
    std::string supplier_name; // FSPs_Name; empty when the supplier is gone
    int in_stock = 0;
    int limit = 0;             // the limit the code was measured against
    bool own_limit = false;    // true when that is the code's own
};

struct AlarmLimitRec {
    std::string code;
    int limit = 0;
};

class VORNCORE_API AlarmLimits {
public:
    explicit AlarmLimits(Core& core) : core_(core) {}

    // The low codes against the shop's limit `shop_limit`, by supplier name, then
    // supplier id, then code. Replaces out; their number, or -1 (out then empty).
    int select_low(int shop_limit, std::vector<AlarmLine>& out);
    // Only their number (what makes the counter's button blink); -1 on failure.
    int count_low(int shop_limit);

    // Gives the code its own limit (replacing one it had). False when the store
    // refused it or the code is empty.
    bool set(const std::string& code, int limit);
    // The code goes back to the shop's limit. False when the store refused.
    bool clear(const std::string& code);
    // Every code's own limit, by code. Replaces out; their number, or -1.
    int select(std::vector<AlarmLimitRec>& out);

private:
    Core& core_;
};

} // namespace vorn

// What the sales counter keeps on the main window's state across its page's
// lifetimes: the member chosen for the sale in progress and the last sale (the
// receipt of which "打印小票" can print again, from the journal once the page
// was opened anew).
#pragma once

#include <cstdint>

#include "pricing.h"
#include "vorn/records.h"

namespace vorn::ui {

struct SaleCounterState {
    vorn::VIPRec member;      // FVi_Id below 1: no member chosen
    int64_t lastSaleTime = 0; // seconds since 1970, 0 before the first sale
    int64_t lastSaleId = 0;   // its journal entry, 0 before the first sale

    bool hasMember() const { return member.FVi_Id >= 1; }
    // The member's type, or kNoMember.
    int memberType() const { return hasMember() ? member.FVi_Type : kNoMember; }
    void dropMember() { member.FVi_Id = 0; }
};

} // namespace vorn::ui

// Selling what the book does not hold: the units entered at the counter go
// into Store and out again in the checkout's one transaction.
#include <string>
#include <vector>

#include "engine.h"

#include "vorn/core.h"
#include "vorn/journal.h"
#include "vorn/transaction.h"

namespace vorn {

CheckoutResult Journal::checkout_short(const CheckoutRequest& request, const std::vector<SRec>& entered) {
    if (entered.empty()) return checkout(request);
    CheckoutResult out;
    const int64_t time = request.units.empty() ? entered.front().FSt_SalT : request.units.front().FSt_SalT;
    for (const SRec& u : entered)
        if (u.FSs_Code.empty() || u.FSi_Flag != 1 || u.FSt_SalT != time || time == 0) {
            out.status = CheckoutStatus::Invalid;
            return out;
        }
    if (core_.db == nullptr) {
        out.rc = SQLITE_MISUSE;
        return out;
    }
    Transaction t(core_);
    if (!t.active()) {
        out.rc = t.commit();
        return out;
    }
    // In stock first, so that the checkout finds them where it looks.
    std::vector<SRec> stocked = entered;
    for (SRec& u : stocked) {
        u.FSi_Flag = 0;
        u.FSt_SalT = 0;
        u.FSd_ReaP = 0;
    }
    // One at a time, each asked for its id: on a server other tills insert
    // at the same moment, so a batch's ids need not follow each other.
    CheckoutRequest all = request;
    for (size_t i = 0; i < stocked.size(); ++i) {
        if (core_.insert_srec(&stocked[i], 1) != 1) {
            out.rc = t.active() ? Core::last_error() : t.commit();
            if (out.rc == SQLITE_OK) out.rc = SQLITE_ERROR;
            return out;
        }
        SRec u = entered[i];
        u.FSi_Id = static_cast<int>(core_.db->last_insert_id());
        all.units.push_back(std::move(u));
    }
    out = checkout(all);
    if (out.status != CheckoutStatus::Done) return out; // rolled back with the inserts
    if (int rc = t.commit(); rc != SQLITE_OK) {
        out.status = CheckoutStatus::Failed;
        out.rc = rc;
        out.sale_id = 0;
    }
    return out;
}

} // namespace vorn

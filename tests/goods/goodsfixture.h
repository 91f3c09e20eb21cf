// The shared store fixture (a fresh store in a temporary directory of its own
// for each test function, a fake main window, recorded message boxes, a busy
// window that does not linger) with the goods tests' helpers.
#pragma once

#include <string>
#include <vector>

#include "storefixture.h"
#include "typecombo.h"

namespace vorn::ui::test {

class GoodsFixture : public StoreFixture {
public:
    // The type drop-down follows the types as the main window's does.
    void setUp() {
        StoreFixture::setUp();
        shell->st.watchCatalog([s = shell.get()] { fillTypeCombo(*s); });
        fillTypeCombo(*shell);
    }

    // A unit as the entry dialog would make it (type and supplier 1, in stock).
    static vorn::SRec unit(const std::string& code, double ori, double ret, int64_t stockTime = 1331000000) {
        vorn::SRec r;
        r.FSi_Id = 0;
        r.FSs_Code = code;
        r.FSs_Name = "name-" + code;
        r.FSi_Type = 1;
        r.FSs_Size.assign(1, 'S');
        r.FSd_OriP = ori;
        r.FSd_RetP = ret;
        r.FSd_MemP = r.FSd_GolP = r.FSd_WhoP = r.FSd_SpeP = ret;
        r.FSt_StoT = stockTime;
        r.FSd_ReaP = 0.0;
        r.FSt_SalT = 0;
        r.FSi_Flag = 0;
        r.FSi_Supplier = 1;
        return r;
    }

    void insert(const std::vector<vorn::SRec>& units) {
        QCOMPARE(core().insert_srec(units.data(), static_cast<int>(units.size())),
                 static_cast<int>(units.size()));
    }

    // Every unit of the store in id order.
    std::vector<vorn::SRec> stored(const char* cond = nullptr) {
        const int n = core().get_srec_count(cond);
        std::vector<vorn::SRec> rows(n > 0 ? static_cast<size_t>(n) : 0);
        if (n > 0) core().select_srec(rows.data(), cond);
        return rows;
    }
};

} // namespace vorn::ui::test

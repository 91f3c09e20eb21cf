#include "memberrows.h"

#include <unordered_map>

namespace vorn::ui {

void applyMemberTemplate(vorn::VIPRec& m, const vorn::VIPRec& tmpl, unsigned fields) {
    if (fields & MeType) m.FVi_Type = tmpl.FVi_Type;
    if (fields & MeName) m.FVs_Name = tmpl.FVs_Name;
    if (fields & MeBirthday) m.FVt_BirT = tmpl.FVt_BirT;
    if (fields & MePoints) m.FVi_Grade = tmpl.FVi_Grade;
    if (fields & MeEMail) m.FVs_EMail = tmpl.FVs_EMail;
    if (fields & MePhone) m.FVs_Phone = tmpl.FVs_Phone;
    if (fields & MeAddr) m.FVs_Addr = tmpl.FVs_Addr;
    if (fields & MeRemark) m.FVs_Remark = tmpl.FVs_Remark;
}

int applyEditedMembers(std::vector<vorn::VIPRec>& rows, const std::vector<int>& where,
                       const std::vector<vorn::VIPRec>& edited) {
    int changed = 0;
    std::unordered_map<int, size_t> strays; // member id -> position in edited
    for (size_t k = 0; k < edited.size(); ++k) {
        const int at = k < where.size() ? where[k] : -1;
        if (at >= 0 && static_cast<size_t>(at) < rows.size() && rows[at].FVi_Id == edited[k].FVi_Id) {
            rows[at] = edited[k];
            ++changed;
        } else {
            strays.emplace(edited[k].FVi_Id, k);
        }
    }
    if (strays.empty()) return changed;
    for (vorn::VIPRec& row : rows) {
        auto it = strays.find(row.FVi_Id);
        if (it == strays.end()) continue;
        row = edited[it->second];
        ++changed;
    }
    return changed;
}

int removeMemberRows(std::vector<vorn::VIPRec>& rows, const std::vector<int>& indices) {
    std::vector<char> gone(rows.size(), 0);
    int count = 0;
    for (int i : indices) {
        if (i < 0 || static_cast<size_t>(i) >= rows.size() || gone[static_cast<size_t>(i)]) continue;
        gone[static_cast<size_t>(i)] = 1;
        ++count;
    }
    if (count == 0) return 0;
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (gone[i]) continue;
        if (kept != i) rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
    return count;
}

} // namespace vorn::ui

#include "memberrows.h"

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

} // namespace vorn::ui

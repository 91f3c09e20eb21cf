// Work on the loaded member rows that the member page, its editing panel and the
// delete command share: an edit applied to the rows it concerns and rows taken
// out after a delete, both without a reload.
#pragma once

#include <vector>

#include "kit/page/recordrows.h"
#include "vorn/records.h"

namespace vorn::ui {

// The fields an edit may write, as bits of a set.
enum MemberEditField : unsigned {
    MeType = 1u << 0,
    MeName = 1u << 1,
    MeBirthday = 1u << 2,
    MePoints = 1u << 3,
    MeEMail = 1u << 4,
    MePhone = 1u << 5,
    MeAddr = 1u << 6,
    MeRemark = 1u << 7,
    MeAllFields = (1u << 8) - 1,
};

// What an edit writes into a member: those of type, name, birthday, points,
// e-mail, phone, address and remark that are in `fields`, from the template.
// Id, code and creation time stay, and so does every field not in the set.
void applyMemberTemplate(vorn::VIPRec& member, const vorn::VIPRec& tmpl, unsigned fields = MeAllFields);

// The panel's and the delete's row work, kit's generic under the old names.
inline int applyEditedMembers(std::vector<vorn::VIPRec>& rows, const std::vector<int>& where, const std::vector<vorn::VIPRec>& edited) {
    return applyEdited(rows, where, edited);
}
inline int removeMemberRows(std::vector<vorn::VIPRec>& rows, const std::vector<int>& indices) { return removeRows(rows, indices); }

} // namespace vorn::ui

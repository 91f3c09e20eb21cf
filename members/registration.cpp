#include "members/members.h"

#include <memory>

#include "birthdayreminder.h"
#include "kit/page/pageregistry.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "vipview.h"

namespace vorn::ui {

void registerMembers(PageRegistry& registry) {
    using namespace cmd;
    registry.addPage<CVIPView>(tabs::Members, {AddMember, DeleteMember, EditMember, MemberCode, MemberName,
                                               MemberType, CreateTime, ClearMemberSearch, SearchMember,
                                               MemberSheets, ImportMembers, ExportMembers});
    registry.addReminder([] { return std::make_unique<BirthdaySource>(); });
}

} // namespace vorn::ui

// The members subsystem's one export: its page (会员管理) and the birthday reminder.
#pragma once

namespace vorn::ui {

class PageRegistry;

void registerMembers(PageRegistry& registry);

} // namespace vorn::ui

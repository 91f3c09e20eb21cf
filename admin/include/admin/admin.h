// Shop administration's one export: its page (店铺设置).
#pragma once

namespace vorn::ui {

class PageRegistry;

void registerAdmin(PageRegistry& registry);

} // namespace vorn::ui

// The statistics subsystem's one export: its page (销售统计).
#pragma once

namespace vorn::ui {

class PageRegistry;

void registerStats(PageRegistry& registry);

} // namespace vorn::ui

// The sales counter's one export: its page (销售前台).
#pragma once

namespace vorn::ui {

class PageRegistry;

void registerSales(PageRegistry& registry);

} // namespace vorn::ui

// The goods subsystem's one export: its page (商品管理) and the stock alarm.
#pragma once

namespace vorn::ui {

class PageRegistry;

void registerGoods(PageRegistry& registry);

} // namespace vorn::ui

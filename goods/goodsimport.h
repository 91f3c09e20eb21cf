// Goods in from a CSV file: choose, map the columns, check every line, enter.
#pragma once

namespace vorn::ui {

class CStoreView;

// The whole import, started from the page's command.
void importGoods(CStoreView& view);

} // namespace vorn::ui

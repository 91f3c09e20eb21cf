#include "goods/storeview.h"

namespace vorn::ui {

CStoreView::CStoreView(Shell& shell, QWidget* parent) : CPage(shell, parent) {}

} // namespace vorn::ui

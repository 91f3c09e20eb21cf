// The goods page (商品管理).
#pragma once

#include "kit/page.h"

namespace vorn::ui {

class CStoreView : public CPage {
    Q_OBJECT
public:
    explicit CStoreView(Shell& shell, QWidget* parent = nullptr);
};

} // namespace vorn::ui

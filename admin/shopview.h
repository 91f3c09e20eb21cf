// The page of the tab 店铺设置 (shop settings).
#pragma once

#include "kit/page.h"

namespace vorn::ui {

class CShopView : public CPage {
    Q_OBJECT
public:
    explicit CShopView(Shell& shell, QWidget* parent = nullptr);
};

} // namespace vorn::ui

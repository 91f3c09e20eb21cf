// The page of the tab 会员管理 (members).
#pragma once

#include "kit/page.h"

namespace vorn::ui {

class CVIPView : public CPage {
    Q_OBJECT
public:
    explicit CVIPView(Shell& shell, QWidget* parent = nullptr);
};

} // namespace vorn::ui

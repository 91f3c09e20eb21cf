// The page of the tab 销售统计 (sales statistics).
#pragma once

#include "kit/page.h"

namespace vorn::ui {

class CStatisticsView : public CPage {
    Q_OBJECT
public:
    explicit CStatisticsView(Shell& shell, QWidget* parent = nullptr);

    bool onCommand(int id) override;
    bool isCommandChecked(int id) const override;
};

} // namespace vorn::ui

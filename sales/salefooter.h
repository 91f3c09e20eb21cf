// The shopping list's footer row: kit's footer strip in the counter's blue look.
#pragma once

#include "kit/page/footerstrip.h"

namespace vorn::ui {

class SaleFooter : public FooterStrip {
    Q_OBJECT
public:
    explicit SaleFooter(QTableView* table, QWidget* parent = nullptr);
};

} // namespace vorn::ui

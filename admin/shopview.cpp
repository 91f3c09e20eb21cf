#include "shopview.h"

namespace vorn::ui {

CShopView::CShopView(Shell& shell, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("shopView"));
    setAttribute(Qt::WA_StyledBackground);
}

} // namespace vorn::ui

#include "vipview.h"

namespace vorn::ui {

CVIPView::CVIPView(Shell& shell, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("vipView"));
    setAttribute(Qt::WA_StyledBackground);
}

} // namespace vorn::ui

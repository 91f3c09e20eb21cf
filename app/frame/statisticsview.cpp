#include "frame/statisticsview.h"

namespace vorn::ui {

CStatisticsView::CStatisticsView(Shell& shell, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("statisticsView"));
    setAttribute(Qt::WA_StyledBackground);
}

} // namespace vorn::ui

#include "statisticsview.h"

#include "kit/appstate.h"
#include "kit/shell.h"
#include "res/commandids.h"
#include "statstate.h"

namespace vorn::ui {

CStatisticsView::CStatisticsView(Shell& shell, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("statisticsView"));
    setAttribute(Qt::WA_StyledBackground);
}

bool CStatisticsView::onCommand(int id) {
    if (id == cmd::StatByYear || id == cmd::StatByCustom) {
        shell().state().extension<StatState>().mode = id - cmd::StatByYear;
        return true;
    }
    return false;
}

bool CStatisticsView::isCommandChecked(int id) const {
    if (id == cmd::StatByYear || id == cmd::StatByCustom)
        return shell().state().extension<StatState>().mode == id - cmd::StatByYear;
    return false;
}

} // namespace vorn::ui

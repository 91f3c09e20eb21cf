#include "membermodel.h"

#include "memberstate.h"
#include "kit/page/appstate.h"
#include "membercells.h"

namespace vorn::ui {

MemberModel::MemberModel(AppState& state, QObject* parent)
    : RecordModel(memberState(state).rows, memberColumns(), memberCellText, parent) {}

} // namespace vorn::ui

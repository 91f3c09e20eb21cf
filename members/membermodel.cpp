#include "membermodel.h"

#include "kit/appstate.h"
#include "membercells.h"

namespace vorn::ui {

MemberModel::MemberModel(const AppState& state, QObject* parent)
    : RecordModel(state.members, memberColumns(), memberCellText, parent) {}

} // namespace vorn::ui

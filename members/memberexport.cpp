#include "memberexport.h"

#include "vipview.h"
#include "kit/shell.h"

namespace vorn::ui {

// PLACEHOLDER: being written now; replaced before this lands.
void exportMembers(CVIPView& view) {
    view.shell().showStatus(QStringLiteral("此功能尚未完成"));
}

} // namespace vorn::ui

#include "goodsimport.h"

#include "storeview.h"
#include "kit/shell.h"

namespace vorn::ui {

// PLACEHOLDER: being written now; replaced before this lands.
void importGoods(CStoreView& view) {
    view.shell().showStatus(QStringLiteral("此功能尚未完成"));
}

} // namespace vorn::ui

#include "goodsmodel.h"

#include "goodscells.h"
#include "kit/appstate.h"

namespace vorn::ui {

GoodsModel::GoodsModel(const AppState& state, QObject* parent)
    : RecordModel(state.goods, goodsColumns(),
                  [&state](const vorn::SRec& unit, int c) {
                      return goodsCellText(unit, c, state.types, state.suppliers);
                  },
                  parent) {}

} // namespace vorn::ui

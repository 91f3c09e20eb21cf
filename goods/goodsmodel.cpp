#include "goodsmodel.h"

#include "goodscells.h"
#include "goodsstate.h"
#include "kit/page/appstate.h"

namespace vorn::ui {

GoodsModel::GoodsModel(AppState& state, QObject* parent)
    : RecordModel(goodsState(state).rows, goodsColumns(),
                  [&state](const vorn::SRec& unit, int c) {
                      return goodsCellText(unit, c, state.types, state.suppliers);
                  },
                  parent) {}

} // namespace vorn::ui

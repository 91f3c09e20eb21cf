// The goods list's model: the loaded goods rows in the goods columns, cells
// worded with the current types and suppliers.
#pragma once

#include "kit/page/recordmodel.h"
#include "vorn/records.h"

namespace vorn::ui {

struct AppState;

class GoodsModel : public RecordModel<vorn::SRec> {
public:
    explicit GoodsModel(AppState& state, QObject* parent = nullptr);
};

} // namespace vorn::ui

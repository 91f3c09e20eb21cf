// The member list's model: the loaded member rows in the member columns.
#pragma once

#include "kit/page/recordmodel.h"
#include "vorn/records.h"

namespace vorn::ui {

struct AppState;

class MemberModel : public RecordModel<vorn::VIPRec> {
public:
    explicit MemberModel(AppState& state, QObject* parent = nullptr);
};

} // namespace vorn::ui

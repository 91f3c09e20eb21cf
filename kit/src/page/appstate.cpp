#include "kit/page/appstate.h"

#include "kit/page/listloader.h"

namespace vorn::ui {

AppState::AppState() {
    currentUser.FUi_Id = 0;
    currentUser.FUi_Auth = 0;
}

AppState::~AppState() = default;

bool AppState::loadTypesAndSuppliers() {
    const bool typesOk = loadRows(core, types, std::string()) >= 0;
    const bool suppliersOk = loadRows(core, suppliers, std::string()) >= 0;
    for (const auto& watcher : catalogWatchers_)
        watcher();
    return typesOk && suppliersOk;
}

} // namespace vorn::ui

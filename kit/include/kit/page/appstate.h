// State that outlives pages: the store, the current user, the catalog lists
// that several pages share, and what each subsystem keeps (extension<T>()).
// The main window owns one; a test's fake shell owns its own. Main (GUI) thread only; a busy-window job reads copies of what it
// needs and hands its results back to the GUI thread.
#pragma once

#include <QDate>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

#include "vorn/core.h"

namespace vorn::ui {

struct AppState {
    vorn::Core core;
    vorn::URec currentUser; // empty name, role 0 until a login

    // Loaded at start-up and after each save of types or suppliers; id order,
    // the fallback entry (id 1) first.
    std::vector<vorn::TRec> types;
    std::vector<vorn::SPRec> suppliers;
    std::vector<vorn::URec> users;

    // Reloads types and suppliers from the store; false if a query failed.
    // Then tells every catalog watcher, so that whatever shows the lists (a
    // subsystem's ribbon drop-down) follows them.
    bool loadTypesAndSuppliers();
    void watchCatalog(std::function<void()> watcher) { catalogWatchers_.push_back(std::move(watcher)); }

    // State a subsystem keeps across its page's lifetimes (the statistics mode and
    // conditions, the member chosen at the counter, ...): one T per AppState,
    // made on first use. Subsystems define T; this class never names them.
    template <class T> T& extension() {
        std::shared_ptr<void>& slot = extensions_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    AppState();
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

private:
    std::map<std::type_index, std::shared_ptr<void>> extensions_;
    std::vector<std::function<void()>> catalogWatchers_;
};

} // namespace vorn::ui

// State that outlives pages: the store, the current user and the record lists
// that several pages share. The main window owns one; a test's fake shell owns
// its own. Main (GUI) thread only; a busy-window job reads copies of what it
// needs and hands its results back to the GUI thread.
#pragma once

#include <QDate>
#include <cstdint>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

#include "kit/datespan.h"
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
    std::vector<vorn::SRec> goods;     // rows of the last goods search
    std::vector<vorn::VIPRec> members; // rows of the last member search

    // Date spans of the searches, by the command id of their ribbon button (goods
    // stock time 111, sale time 113, member creation 110). Whole days, local
    // dates; both null = no span. They live here so they survive page switches.
    using Span = DateSpan;
    std::map<int, Span> spans;

    // Reloads types and suppliers from the store; false if a query failed.
    bool loadTypesAndSuppliers();

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
};

} // namespace vorn::ui

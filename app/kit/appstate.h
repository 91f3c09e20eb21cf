// Program-wide state that outlives pages: the store, the current user and the
// record lists that several pages share. Main (GUI) thread only; a busy-window
// job reads copies of what it needs and hands its results back to the GUI thread.
#pragma once

#include <QDate>
#include <cstdint>
#include <map>
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
    std::vector<vorn::SRec> goods;     // rows of the last goods search
    std::vector<vorn::VIPRec> members; // rows of the last member search

    // Date spans of the searches, by the command id of their ribbon button (goods
    // stock time 111, sale time 113, member creation 110). Whole days, local
    // dates; both null = no span. They live here so they survive page switches.
    struct Span {
        QDate from;
        QDate to;
        bool isSet() const { return from.isValid() && to.isValid(); }
    };
    std::map<int, Span> spans;

    // Reloads types and suppliers from the store; false if a query failed.
    bool loadTypesAndSuppliers();

    AppState();
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;
};

// The one state of the running program.
AppState& appState();

} // namespace vorn::ui

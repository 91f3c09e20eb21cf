#include "kit/appstate.h"

namespace vorn::ui {

AppState::AppState() {
    currentUser.FUi_Id = 0;
    currentUser.FUi_Auth = 0;
}

AppState::~AppState() = default;

namespace {
template <class Rec, class CountFn, class SelectFn>
bool loadAll(std::vector<Rec>& list, CountFn count, SelectFn select) {
    int n = count(nullptr);
    if (n < 0) return false;
    std::vector<Rec> rows(static_cast<size_t>(n));
    int got = n > 0 ? select(rows.data(), nullptr) : 0;
    if (got < 0) return false;
    rows.resize(static_cast<size_t>(got));
    list = std::move(rows);
    return true;
}
} // namespace

bool AppState::loadTypesAndSuppliers() {
    bool ok = loadAll(
        types, [&](const char* c) { return core.get_trec_count(c); },
        [&](TRec* out, const char* c) { return core.select_trec(out, c); });
    ok = loadAll(
             suppliers, [&](const char* c) { return core.get_sprec_count(c); },
             [&](SPRec* out, const char* c) { return core.select_sprec(out, c); }) &&
         ok;
    return ok;
}

} // namespace vorn::ui

// The sales counter against a fresh store: a fake main window that also offers
// the frame's services (date watch, reminder checks, global commands), a logged-in
// cashier, and helpers that stock goods and members.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kit/page/frameservices.h"
#include "storefixture.h"

namespace vorn::ui::test {

class FrameShell : public FakeShell, public FrameServices {
public:
    void startDateWatch() override { watching = true; }
    void stopDateWatch() override { watching = false; }
    bool dateWatchRunning() const override { return watching; }
    BlinkingReminder* reminder(int) override { return nullptr; }
    void runReminderCheck(int buttonCommand = 0) override { checks.push_back(buttonCommand); }
    void setGlobalCommand(int id, std::function<bool()> enabled, std::function<void()> run) override {
        globals[id] = {std::move(enabled), std::move(run)};
        ++globalRegistrations;
    }

    bool globalEnabled(int id) const {
        auto g = globals.find(id);
        return g != globals.end() && g->second.first && g->second.first();
    }
    void runGlobal(int id) {
        if (globalEnabled(id)) globals[id].second();
    }

    bool watching = false;
    std::vector<int> checks;
    std::map<int, std::pair<std::function<bool()>, std::function<void()>>> globals;
    int globalRegistrations = 0;
};

class SaleFixture {
public:
    void setUp() {
        store.setUp();
        // The same store, seen through a shell that offers the frame's services.
        store.shell->st.core.close();
        store.shell = std::make_unique<FrameShell>();
        QCOMPARE(store.shell->st.core.open(), 0);
        QVERIFY(store.shell->st.loadTypesAndSuppliers());
        vorn::URec cashier;
        cashier.FUi_Id = 1;
        cashier.FUs_Name = "admin";
        store.shell->st.currentUser = cashier;
    }
    void tearDown() { store.tearDown(); }

    FrameShell& shell() { return static_cast<FrameShell&>(*store.shell); }
    vorn::Core& core() { return store.core(); }
    MessageRecorder& boxes() { return store.boxes; }

    // A unit in stock; the member prices default to 90 % and 80 % of retail.
    static vorn::SRec unit(const std::string& code, double ret, double mem = -1, double gol = -1) {
        vorn::SRec r;
        r.FSs_Code = code;
        r.FSs_Name = "name-" + code;
        r.FSi_Type = 1;
        r.FSs_Size = "S";
        r.FSd_OriP = ret / 2;
        r.FSd_RetP = ret;
        r.FSd_MemP = mem >= 0 ? mem : ret * 0.9;
        r.FSd_GolP = gol >= 0 ? gol : ret * 0.8;
        r.FSd_WhoP = ret * 0.7;
        r.FSd_SpeP = ret * 0.5;
        r.FSt_StoT = 1331000000;
        r.FSi_Supplier = 1;
        return r;
    }
    void stock(const std::string& code, int n, double ret, double mem = -1, double gol = -1) {
        std::vector<vorn::SRec> units(static_cast<size_t>(n), unit(code, ret, mem, gol));
        QCOMPARE(core().insert_srec(units.data(), n), n);
    }
    int addMember(const std::string& code, const QString& name, int type, int grade = 0) {
        vorn::VIPRec m;
        m.FVs_Code = code;
        m.FVs_Name = gbk(name);
        m.FVi_Type = type;
        m.FVi_Grade = grade;
        m.FVt_CreT = 1331000000;
        if (core().insert_viprec(&m, 1) != 1) return -1;
        const std::string cond = "FVs_Code='" + vorn::sql_escape(code) + "' ORDER BY FVi_Id DESC LIMIT 1";
        vorn::VIPRec back;
        return core().select_viprec(&back, cond.c_str()) == 1 ? back.FVi_Id : -1;
    }
    vorn::VIPRec member(int id) {
        vorn::VIPRec m;
        const std::string cond = "FVi_Id=" + std::to_string(id);
        core().select_viprec(&m, cond.c_str());
        return m;
    }
    std::vector<vorn::SRec> units(const std::string& cond) {
        const int n = core().get_srec_count(cond.c_str());
        std::vector<vorn::SRec> rows(n > 0 ? static_cast<size_t>(n) : 0);
        if (n > 0) core().select_srec(rows.data(), cond.c_str());
        return rows;
    }
    int count(const std::string& cond) { return core().get_srec_count(cond.c_str()); }

    StoreFixture store;
};

} // namespace vorn::ui::test

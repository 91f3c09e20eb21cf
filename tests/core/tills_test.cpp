// Two tills on one store, each a process of its own with its own connection,
// selling the same last units at once: whatever the interleaving, every unit
// is sold once, every sale has a number of its own, and a checkout that lost a
// unit to the other till wrote nothing.
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "core_fixture.h"
#include "vorn/journal.h"

using namespace vorntest;
using namespace vorn;

namespace {

const int64_t kSaleTime = local_time_of(2026, 12, 8, 10, 0, 0);
constexpr int kUnits = 120;

struct TillLog {
    std::vector<std::vector<int>> sold; // the units of each sale that went through
    int refused = 0;                    // checkouts that found a unit gone
    std::vector<std::string> failures;  // anything else: a fault
};

CheckoutRequest request(const std::vector<SRec>& units, const std::string& cashier) {
    CheckoutRequest r;
    for (SRec u : units) {
        u.FSi_Flag = 1;
        u.FSt_SalT = kSaleTime;
        u.FSd_ReaP = u.FSd_RetP;
        r.units.push_back(u);
    }
    r.cashier = cashier;
    r.payments = {{kPayCash, static_cast<int64_t>(units.size()) * 100}};
    return r;
}

// One till walks the units in its order, selling each with the next one, and
// alone when the pair is refused; it stops when it has tried every unit alone.
// Both tills open their store first and start selling together: start() is
// called once the store is open and returns when the other till is ready too.
void run_till(const std::vector<SRec>& units, bool backwards, const std::string& cashier, TillLog& log,
              const std::function<bool()>& start) {
    Core till;
    const bool opened = till.open() == 0;
    if (!opened) log.failures.push_back(cashier + ": cannot open the store: " + till.open_message());
    if (!start() || !opened) return;
    Journal journal(till);
    auto sell = [&](const std::vector<SRec>& some) {
        const CheckoutResult res = journal.checkout(request(some, cashier));
        if (res.status == CheckoutStatus::Done) {
            std::vector<int> ids;
            for (const SRec& u : some)
                ids.push_back(u.FSi_Id);
            log.sold.push_back(ids);
            return true;
        }
        if (res.status == CheckoutStatus::Missing && !res.gone_ids.empty() &&
            res.gone_codes.size() == res.gone_ids.size())
            ++log.refused;
        else
            log.failures.push_back(cashier + ": status " + std::to_string(static_cast<int>(res.status)) + " rc " +
                                   std::to_string(res.rc));
        return false;
    };
    for (int k = 0; k < kUnits; ++k) {
        const int i = backwards ? kUnits - 1 - k : k;
        const int j = backwards ? i - 1 : i + 1;
        if (j >= 0 && j < kUnits && sell({units[static_cast<size_t>(i)], units[static_cast<size_t>(j)]})) continue;
        sell({units[static_cast<size_t>(i)]});
    }
    till.close();
}

// The log as lines: "S id id ..." per sale, "R" per refusal, "F text" per fault.
void write_log(const TillLog& log, const std::string& path) {
    std::ofstream out(path);
    for (const auto& ids : log.sold) {
        out << 'S';
        for (int id : ids)
            out << ' ' << id;
        out << '\n';
    }
    for (int i = 0; i < log.refused; ++i)
        out << "R\n";
    for (const std::string& f : log.failures)
        out << "F " << f << '\n';
}

TillLog read_log(const std::string& path) {
    TillLog log;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "S") {
            std::vector<int> ids;
            for (int id; words >> id;)
                ids.push_back(id);
            log.sold.push_back(ids);
        } else if (kind == "R") {
            ++log.refused;
        } else {
            log.failures.push_back(line);
        }
    }
    return log;
}

class TillsTest : public StoreTest {};

} // namespace

TEST_F(TillsTest, TwoTillsSellTheLastUnitsOnceEach) {
    ASSERT_EQ(Journal(core).ensure_tables(), 0);
    std::vector<SRec> units(kUnits, unit("LAST", "last units", 0, 10.0));
    ASSERT_EQ(core.insert_srec(units.data(), kUnits), kUnits);
    units = all_units(core, "FSs_Code='LAST' ORDER BY FSi_Id");
    ASSERT_EQ(units.size(), static_cast<size_t>(kUnits));

    // The other till is another process: nothing this one keeps in memory
    // (the numbers handed out, say) is shared with it.
    const std::string other_log = (std::filesystem::current_path() / "till2.log").string();
    int to_parent[2], to_child[2];
    ASSERT_EQ(pipe(to_parent), 0);
    ASSERT_EQ(pipe(to_child), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TillLog log;
        run_till(units, true, "till2", log, [&] {
            char byte = 'r';
            return write(to_parent[1], &byte, 1) == 1 && read(to_child[0], &byte, 1) == 1;
        });
        write_log(log, other_log);
        _exit(0);
    }
    TillLog first;
    run_till(units, false, "till1", first, [&] {
        char byte = 0;
        return read(to_parent[0], &byte, 1) == 1 && write(to_child[1], "g", 1) == 1;
    });
    for (int fd : {to_parent[0], to_parent[1], to_child[0], to_child[1]})
        close(fd);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const TillLog second = read_log(other_log);
    EXPECT_EQ(first.failures, std::vector<std::string>());
    EXPECT_EQ(second.failures, std::vector<std::string>());

    // Every unit in exactly one sale that went through.
    std::map<int, int> times_sold;
    size_t sales = 0;
    for (const TillLog* log : {static_cast<const TillLog*>(&first), &second}) {
        sales += log->sold.size();
        for (const auto& ids : log->sold)
            for (int id : ids)
                ++times_sold[id];
    }
    ASSERT_EQ(times_sold.size(), static_cast<size_t>(kUnits));
    for (const auto& [id, n] : times_sold)
        EXPECT_EQ(n, 1) << "unit " << id;

    // The store agrees: all sold, one journal sale per checkout that went
    // through, each holding exactly its units; nothing of a refused one.
    EXPECT_EQ(core.get_srec_count("FSs_Code='LAST' AND FSi_Flag=1"), kUnits);
    std::vector<SaleRecord> journal;
    ASSERT_EQ(Journal(core).select_sales(SaleFilter{}, journal), static_cast<int>(sales));
    int units_in_journal = 0;
    std::set<std::string> numbers;
    for (const SaleRecord& s : journal) {
        EXPECT_TRUE(numbers.insert(s.number).second) << "number given twice: " << s.number;
        units_in_journal += s.units;
        EXPECT_EQ(s.due, s.units * 100) << s.number;
    }
    EXPECT_EQ(units_in_journal, kUnits);
}

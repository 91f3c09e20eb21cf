// Two tills on one store, each a process of its own with its own connection,
// selling the same last units at once: whatever the interleaving, every unit
// is sold once, every sale has a number of its own, and a checkout that lost a
// unit to the other till wrote nothing. On a server: a restore and another
// till's write, two returns of one sale, one after the other whatever the
// order they are asked in.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "core_fixture.h"
#include "vorn/journal.h"
#include "vorn/storecopy.h"
#include "vorn/transaction.h"

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

// Whether something waits to be read on fd (an answer, or the end of a
// process that died).
bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

// Another till: a process of its own with its own connection to the store.
// It opens the store, waits for go(), runs work and answers with its text.
class OtherTill {
public:
    explicit OtherTill(const std::function<std::string(Core&)>& work) {
        int up[2], down[2];
        if (pipe(up) != 0 || pipe(down) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            Core till;
            std::string answer = "cannot open the store";
            char byte = 'r';
            if (till.open() == 0 && write(up[1], &byte, 1) == 1 && read(down[0], &byte, 1) == 1)
                answer = work(till);
            till.close();
            answer += '\n';
            _exit(write(up[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size()) ? 0 : 1);
        }
        close(up[1]);
        close(down[0]);
        from_ = up[0];
        to_ = down[1];
        char byte = 0;
        ready_ = pid_ > 0 && read(from_, &byte, 1) == 1 && byte == 'r';
    }
    ~OtherTill() {
        close(from_);
        close(to_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    bool ready() const { return ready_; }
    void go() { ASSERT_EQ(write(to_, "g", 1), 1); }
    // What its answer comes through.
    int answers() const { return from_; }
    // Its answer, once it comes.
    std::string answer() {
        std::string text;
        char c = 0;
        while (read(from_, &c, 1) == 1 && c != '\n')
            text += c;
        return text;
    }

private:
    pid_t pid_ = -1;
    int from_ = -1, to_ = -1;
    bool ready_ = false;
};

// A connection of the test's own to the server store, beside the tills'.
class Admin {
public:
    explicit Admin(const std::string& url) : conn_(PQconnectdb(url.c_str())) {}
    ~Admin() { PQfinish(conn_); }
    // The first value of the statement's answer; "" for none.
    std::string run(const std::string& sql) {
        PGresult* res = PQexec(conn_, sql.c_str());
        EXPECT_TRUE(PQresultStatus(res) == PGRES_TUPLES_OK || PQresultStatus(res) == PGRES_COMMAND_OK)
            << sql << ": " << PQresultErrorMessage(res);
        const std::string value =
            PQresultStatus(res) == PGRES_TUPLES_OK && PQntuples(res) > 0 ? PQgetvalue(res, 0, 0) : "";
        PQclear(res);
        return value;
    }
    // Until `sessions` of the store's sessions wait for a lock, or one of fds
    // has something to read (a till answered: it did not wait at all): the
    // point where the others have gone as far as they can. A state looked at,
    // never a time.
    void wait_until_held(int sessions, std::initializer_list<int> fds) {
        const std::string count = "SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                  "AND wait_event_type = 'Lock'";
        for (;;) {
            for (int fd : fds)
                if (readable(fd)) return;
            if (std::stoi(run(count)) >= sessions) return;
        }
    }

private:
    PGconn* conn_;
};

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

// A restore into the server while other tills write. One has a write
// transaction under way when the restore begins: the restore waits for its
// commit, so its read and its write both belong to the old store, which the
// restore then replaces whole. The other writes halfway through the restore:
// it waits for the commit and lands in the restored store. Neither reads the
// old store and writes into the new, nor is wiped out by the rest of it.
TEST_F(TillsTest, RestoreAndOtherTillsWritesFollowEachOther) {
    if (!on_server()) GTEST_SKIP() << "tills side by side on a server";
    std::vector<VIPRec> old = {member("OLD1", "old"), member("OLD2", "old")};
    ASSERT_EQ(core.insert_viprec(old.data(), 2), 2);
    // Restored from a file with units (copied before the members) and members.
    std::filesystem::create_directory(dir_ / "backup");
    std::filesystem::current_path(dir_ / "backup");
    Core backup;
    backup.set_server("");
    ASSERT_EQ(backup.open(), 0);
    std::filesystem::current_path(dir_);
    std::vector<SRec> units(3, unit("U1", "unit"));
    std::vector<VIPRec> members(4, member("NEW", "new"));
    for (int i = 0; i < 4; ++i)
        members[static_cast<size_t>(i)].FVs_Code += std::to_string(i);
    ASSERT_EQ(backup.insert_srec(units.data(), 3), 3);
    ASSERT_EQ(backup.insert_viprec(members.data(), 4), 4);

    int inside[2], restored[2];
    ASSERT_EQ(pipe(inside), 0);
    ASSERT_EQ(pipe(restored), 0);
    OtherTill before([&](Core& c) {
        Transaction t(c);
        VIPRec m = member("BEFORE", std::to_string(c.get_viprec_count(nullptr)));
        if (write(inside[1], "i", 1) != 1) return std::string("no pipe");
        // On once the restore waits for us, or (had it not) is done.
        Admin(server_url_).wait_until_held(1, {restored[0]});
        const std::string wrote = std::to_string(c.insert_viprec(&m, 1));
        return wrote + " " + std::to_string(t.commit()) + " " + m.FVs_Name;
    });
    OtherTill after([](Core& c) {
        VIPRec m = member("AFTER", "after");
        const std::string wrote = std::to_string(c.insert_viprec(&m, 1));
        return wrote + " " + std::to_string(c.get_viprec_count(nullptr));
    });
    ASSERT_TRUE(before.ready() && after.ready());
    before.go();
    char byte = 0;
    ASSERT_EQ(read(inside[0], &byte, 1), 1);
    Admin admin(server_url_);
    bool sent = false;
    std::string problem;
    const int rc = copy_store(
        backup, core,
        [&](int done, int) {
            if (done == 0 || sent) return; // halfway: the units are in, the members not yet
            sent = true;
            after.go();
            admin.wait_until_held(1, {after.answers()});
        },
        problem);
    ASSERT_EQ(write(restored[1], "d", 1), 1);
    EXPECT_EQ(rc, 0) << problem;
    EXPECT_TRUE(sent);
    EXPECT_EQ(before.answer(), "1 0 2");
    EXPECT_EQ(after.answer(), "1 5");
    EXPECT_EQ(core.get_viprec_count(nullptr), 5);
    EXPECT_EQ(core.get_viprec_count("FVs_Code='AFTER'"), 1);
    for (int fd : {inside[0], inside[1], restored[0], restored[1]})
        close(fd);
}

// Two tills take back units of one sale paid half in cash, half by card, at
// once. The one asked second waits for the first and plans from what the
// first left: by receipt its refund goes back by card (the first took the
// cash), without a receipt it takes the other unit (the first took the most
// recently sold one). Never from what it read before the first was done.
TEST_F(TillsTest, TwoReturnsOfOneSalePlanOneAfterTheOther) {
    if (!on_server()) GTEST_SKIP() << "tills side by side on a server";
    Journal journal(core);
    ASSERT_EQ(journal.ensure_tables(), 0);
    // The first return's last write (its refund) waits until the test lets it
    // go, holding what it took.
    Admin admin(server_url_);
    admin.run("CREATE FUNCTION vorn_hold() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
              "PERFORM pg_advisory_xact_lock_shared(4242); RETURN NEW; END$$");
    admin.run("CREATE TRIGGER hold BEFORE INSERT ON SalePayment FOR EACH ROW EXECUTE FUNCTION vorn_hold()");
    const struct Case {
        const char* code;
        bool by_receipt;
        size_t first, second; // the units they take back, of the sale's two
        int second_method;
    } cases[] = {{"R1", true, 0, 1, kPayCard}, {"R2", false, 1, 0, kPayCash}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::vector<SRec> units(2, unit(c.code, "returned", 0, 10.0));
        ASSERT_EQ(core.insert_srec(units.data(), 2), 2);
        units = all_units(core, ("FSs_Code='" + std::string(c.code) + "' ORDER BY FSi_Id").c_str());
        CheckoutRequest sale = request(units, "till1");
        sale.payments = {{kPayCash, 100}, {kPayCard, 100}};
        const CheckoutResult sold = journal.checkout(sale);
        ASSERT_EQ(sold.status, CheckoutStatus::Done);
        auto take_back = [&](const SRec& u) {
            ReturnRequest r;
            r.sale_id = c.by_receipt ? sold.sale_id : 0;
            if (c.by_receipt)
                r.units = {{u.FSi_Id, false}};
            else
                r.codes = {{c.code, 1, false}};
            r.time = kSaleTime + 3600;
            r.cashier = "till";
            return [r](Core& till) {
                const ReturnResult res = Journal(till).return_goods(r);
                std::string text = std::to_string(static_cast<int>(res.status));
                for (const ReturnUnit& u : res.units)
                    text += " " + std::to_string(u.unit);
                for (const Payment& p : res.refunds)
                    text += " " + std::to_string(p.method) + ":" + std::to_string(p.amount);
                return text;
            };
        };
        auto done = [](const SRec& u, int method) {
            return std::to_string(static_cast<int>(ReturnStatus::Done)) + " " + std::to_string(u.FSi_Id) +
                   " " + std::to_string(method) + ":100";
        };
        admin.run("SELECT pg_advisory_lock(4242)");
        OtherTill first(take_back(units[c.first])), second(take_back(units[c.second]));
        ASSERT_TRUE(first.ready() && second.ready());
        first.go();
        admin.wait_until_held(1, {first.answers()});
        second.go();
        admin.wait_until_held(2, {first.answers(), second.answers()});
        admin.run("SELECT pg_advisory_unlock(4242)");
        EXPECT_EQ(first.answer(), done(units[c.first], kPayCash));
        EXPECT_EQ(second.answer(), done(units[c.second], c.second_method));
    }
}

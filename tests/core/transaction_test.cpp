// Transactions: commit and rollback, the connection's lock held from BEGIN to
// COMMIT or ROLLBACK, failed batches racing another writer, and a second
// connection holding the file's write lock for a while.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "core_fixture.h"
#include "vorn/transaction.h"

using namespace vorntest;
using namespace vorn;
using namespace std::chrono_literals;

namespace {

std::string insert_type(const std::string& name) {
    return "INSERT INTO Type VALUES(NULL,'" + name + "');";
}

int types_named(Core& c, const std::string& name) {
    return c.get_trec_count(("FTs_Name='" + sql_escape(name) + "'").c_str());
}

// Runs a write on another thread and waits for it. A connection whose lock was
// never given back would block that thread for good: report it and end the
// run rather than hang.
int write_from_other_thread(Core& core, const std::string& sql) {
    std::packaged_task<int()> task([&core, sql] { return core.exec_sql(sql.c_str()); });
    std::future<int> done = task.get_future();
    std::thread(std::move(task)).detach();
    if (done.wait_for(60s) != std::future_status::ready) {
        std::fprintf(stderr, "FATAL: the connection's lock was never released\n");
        std::_Exit(1);
    }
    return done.get();
}

// A write that another thread starts while a transaction is open. It must wait
// for COMMIT or ROLLBACK instead of landing inside the transaction. Nothing
// here waits for the thread to reach the lock: the tests check what the write
// did (its row's place after the transaction's, its row kept after a
// rollback), which holds however the threads are scheduled.
class WaitingWriter {
public:
    WaitingWriter(Core& core, const std::string& name)
        : thread_([this, &core, name] {
              started_.set_value();
              rc_ = core.exec_sql(insert_type(name).c_str()), done_ = true;
          }) {
        started_.get_future().wait();
    }
    bool done() const { return done_; }
    int join() {
        thread_.join();
        return rc_;
    }

private:
    std::promise<void> started_;
    std::atomic<bool> done_{false};
    int rc_ = -1;
    std::thread thread_;
};

// What a dialog's save does: several statements, and an early way out.
void save_or_throw(Core& core, const std::string& name) {
    Transaction t(core);
    if (t.exec(insert_type(name).c_str()) != 0) return;
    throw std::runtime_error("the dialog gave up");
}

using TransactionTest = StoreTest;

} // namespace

TEST_F(TransactionTest, CommitKeepsAllAndHoldsOtherWritersUntilThen) {
    Transaction t(core);
    ASSERT_TRUE(t.active());
    EXPECT_EQ(t.exec(insert_type("a").c_str()), 0);
    WaitingWriter w(core, "outside");
    EXPECT_FALSE(w.done()) << "another thread wrote inside the open transaction";
    EXPECT_EQ(t.exec((insert_type("b") + insert_type("c")).c_str()), 0);
    EXPECT_EQ(t.commit(), 0);
    EXPECT_EQ(w.join(), 0);
    // Committed once: a second commit or a late statement is refused.
    EXPECT_NE(t.commit(), 0);
    EXPECT_NE(t.exec(insert_type("late").c_str()), 0);
    EXPECT_EQ(core.get_trec_count("FTs_Name IN ('a','b','c','outside')"), 4);
    EXPECT_EQ(types_named(core, "late"), 0);
    // Had the other write landed inside the transaction, its row would stand
    // before the ones written after it started.
    EXPECT_EQ(core.get_trec_count("FTs_Name='outside' AND FTi_Id>(SELECT MAX(FTi_Id) FROM Type "
                                  "WHERE FTs_Name IN ('a','b','c'))"),
              1);
}

TEST_F(TransactionTest, UncommittedRollsBackAndOnlyThenLetsOthersIn) {
    std::unique_ptr<WaitingWriter> w;
    {
        Transaction t(core);
        EXPECT_EQ(t.exec(insert_type("dropped").c_str()), 0);
        EXPECT_EQ(types_named(core, "dropped"), 1); // visible inside
        w = std::make_unique<WaitingWriter>(core, "after");
        EXPECT_FALSE(w->done());
    }
    EXPECT_EQ(w->join(), 0);
    EXPECT_EQ(types_named(core, "dropped"), 0);
    EXPECT_EQ(types_named(core, "after"), 1) << "the waiting write was rolled back with ours";

    // An exception out of the scope ends the same way.
    EXPECT_THROW(save_or_throw(core, "thrown"), std::runtime_error);
    EXPECT_EQ(types_named(core, "thrown"), 0);
    EXPECT_EQ(write_from_other_thread(core, insert_type("free")), 0);
    EXPECT_EQ(core.exec_sql("BEGIN;"), 0) << "a transaction was left open";
    EXPECT_EQ(core.exec_sql("ROLLBACK;"), 0);
}

TEST_F(TransactionTest, FailedStatementRollsBackAtOnceAndWritesInsideJoin) {
    {
        Transaction t(core);
        EXPECT_EQ(t.exec(insert_type("first").c_str()), 0);
        const int rc = t.exec((insert_type("second") + "INSERT INTO Nowhere VALUES(1);").c_str());
        EXPECT_NE(rc, 0);
        EXPECT_FALSE(t.active());
        EXPECT_EQ(write_from_other_thread(core, insert_type("other")), 0); // released while t lives
        EXPECT_EQ(t.exec(insert_type("third").c_str()), rc);
        EXPECT_EQ(t.commit(), rc);
    }
    EXPECT_EQ(core.get_trec_count("FTs_Name IN ('first','second','third')"), 0);
    EXPECT_EQ(types_named(core, "other"), 1);

    // Writes of this thread inside an open transaction join it and commit with
    // it (transaction_join_test.cpp has the rest of it).
    Transaction outer(core);
    EXPECT_EQ(outer.exec(insert_type("outer").c_str()), 0);
    TRec inner;
    inner.FTs_Name = "inner";
    EXPECT_EQ(core.insert_trec(&inner, 1), 1);
    EXPECT_EQ(core.exec_in_transaction(insert_type("inner2")), 0);
    EXPECT_EQ(outer.exec(insert_type("outer2").c_str()), 0);
    EXPECT_EQ(outer.commit(), 0);
    EXPECT_EQ(core.get_trec_count("FTs_Name IN ('outer','outer2','inner','inner2')"), 4);
}

TEST_F(TransactionTest, ExecInTransactionIsAllOrNothing) {
    std::vector<SRec> u = {unit("A", "a"), unit("B", "b")};
    u[1].FSi_Type = 2;
    TRec t2;
    t2.FTs_Name = "old";
    ASSERT_EQ(core.insert_srec(u.data(), 2) + core.insert_trec(&t2, 1), 3);
    const std::string save = "UPDATE Store SET FSi_Type=1 WHERE FSi_Type=2;DELETE FROM Type WHERE FTi_Id=2;" +
                             insert_type(gbk("饮料"));
    // The last statement fails: the first three are undone.
    EXPECT_NE(core.exec_in_transaction(save + "INSERT INTO Type VALUES(1,'taken');"), 0);
    EXPECT_EQ(core.get_srec_count("FSi_Type=2") + types_named(core, "old") + types_named(core, gbk("饮料")),
              2);
    EXPECT_EQ(core.exec_in_transaction(save), 0);
    EXPECT_EQ(core.get_srec_count("FSi_Type=2") + types_named(core, "old") +
                  10 * types_named(core, gbk("饮料")),
              10);

    // Savepoints nest inside; the text may not end or restart the transaction.
    EXPECT_EQ(core.exec_in_transaction("SAVEPOINT s;" + insert_type("undone") + "ROLLBACK TO s;RELEASE s;" +
                                       insert_type("kept")),
              0);
    EXPECT_EQ(types_named(core, "undone") + 10 * types_named(core, "kept"), 10);
    for (const char* end : {"COMMIT;", "END;", "ROLLBACK;", "BEGIN;"}) {
        EXPECT_NE(core.exec_in_transaction(insert_type("x1") + end + insert_type("x2")), 0) << end;
        EXPECT_EQ(core.get_trec_count("FTs_Name IN ('x1','x2')"), 0) << end;
        EXPECT_EQ(core.exec_sql("BEGIN;"), 0) << "left open by " << end;
        EXPECT_EQ(core.exec_sql("ROLLBACK;"), 0);
    }
}

// Another connection (another process, in the field) holds the file's write
// lock for a moment; our write waits for it instead of failing at once.
TEST_F(StoreTest, WriteWaitsWhileAnotherConnectionHoldsTheLock) {
    Core other;
    ASSERT_EQ(other.open(), 0);
    std::promise<void> holding;
    int other_rc = -1;
    std::thread holder([&] {
        Transaction t(other);
        other_rc = t.exec(insert_type("theirs").c_str());
        holding.set_value();
        std::this_thread::sleep_for(300ms);
        if (other_rc == 0) other_rc = t.commit();
    });
    holding.get_future().wait();
    TRec mine;
    mine.FTs_Name = "mine";
    EXPECT_EQ(core.insert_trec(&mine, 1), 1);
    holder.join();
    EXPECT_EQ(other_rc, 0);
    EXPECT_EQ(core.get_trec_count("FTs_Name IN ('theirs','mine')"), 2);
    other.close();
}

// A batch that fails halfway rolls back while still holding the connection, so
// a write another thread makes meanwhile neither joins the doomed batch nor is
// refused for finding a transaction open.
TEST_F(StoreTest, FailedBatchesNeverTakeAnotherThreadsWrites) {
    ASSERT_EQ(core.exec_sql("PRAGMA synchronous=OFF;"), 0); // many small commits; durability is not the point
    ASSERT_EQ(core.exec_sql("CREATE UNIQUE INDEX test_type_name ON Type(FTs_Name);"), 0);
    TRec dup;
    dup.FTs_Name = "dup";
    ASSERT_EQ(core.insert_trec(&dup, 1), 1);
    std::vector<TRec> batch(5);
    for (int i = 0; i < 5; ++i)
        batch[i].FTs_Name = i == 2 ? "dup" : "batch" + std::to_string(i);

    // The batches go on until the writer has made a fair number of writes since
    // they began, so every run meets the race however the threads are scheduled;
    // only a machine stalled for a minute stops them earlier, and that fails.
    constexpr int kWrites = 200;
    std::atomic<bool> stop{false};
    std::atomic<int> attempts{0};
    std::vector<std::string> written;
    int refused = 0;
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            const std::string name = "w" + std::to_string(i);
            bool ok;
            if (i % 2 == 0) {
                ok = core.exec_sql(insert_type(name).c_str()) == 0;
            } else {
                TRec t;
                t.FTs_Name = name;
                ok = core.insert_trec(&t, 1) == 1;
            }
            ok ? written.push_back(name) : void(++refused);
            ++attempts;
        }
    });
    const int at_start = attempts;
    const auto deadline = std::chrono::steady_clock::now() + 1min;
    int batches = 0;
    int batch_failures = 0;
    while ((attempts - at_start < kWrites || batches < kWrites) && std::chrono::steady_clock::now() < deadline) {
        batch_failures += core.insert_trec(batch.data(), 5) == -1;
        ++batches;
    }
    const int during = attempts - at_start;
    stop = true;
    writer.join();

    EXPECT_GE(during, kWrites) << "writes made while " << batches << " batches ran within a minute";
    EXPECT_EQ(batch_failures, batches);
    EXPECT_EQ(refused, 0);
    int lost = 0;
    for (const std::string& name : written)
        lost += types_named(core, name) != 1;
    EXPECT_EQ(lost, 0) << "of " << written.size() << " writes reported as done";
    EXPECT_EQ(core.get_trec_count("FTs_Name LIKE 'batch%'"), 0);
    EXPECT_EQ(core.get_trec_count(nullptr), 2 + static_cast<int>(written.size()));
}

// A count and the select it sized see the same rows: another thread's write
// waits until the snapshot ends, and the snapshot works on a read transaction
// of its own or inside an open Transaction.
TEST_F(TransactionTest, ReadSnapshotKeepsCountAndSelectTogether) {
    ASSERT_EQ(core.exec_sql(insert_type("a").c_str()), 0);
    std::unique_ptr<WaitingWriter> writer;
    {
        ReadSnapshot snapshot(core);
        const int before = core.get_trec_count(nullptr);
        writer = std::make_unique<WaitingWriter>(core, "b");
        EXPECT_FALSE(writer->done());
        std::vector<TRec> rows(static_cast<size_t>(before));
        EXPECT_EQ(core.select_trec(rows.data(), nullptr), before);
    }
    EXPECT_EQ(writer->join(), 0);
    EXPECT_EQ(types_named(core, "b"), 1);

    Transaction t(core);
    ASSERT_EQ(t.exec(insert_type("c").c_str()), 0);
    {
        ReadSnapshot inside(core);
        EXPECT_EQ(types_named(core, "c"), 1); // sees the open transaction's rows
    }
    ASSERT_EQ(t.commit(), 0); // and left it open for the commit
    EXPECT_EQ(types_named(core, "c"), 1);
}

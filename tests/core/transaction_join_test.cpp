// Writes made while this thread has a transaction open on the connection join
// it: they commit with it, and any failure among them rolls all of it back.
// Another thread's writes never join: they wait, and keep their own fate.
#include <future>
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

TRec type_named(const std::string& name) {
    TRec t;
    t.FTs_Name = name;
    return t;
}

using JoinTest = StoreTest;

} // namespace

// Batch writes and exec_in_transaction inside an open transaction become part
// of it: nothing of them is committed on their own, all of it on the outer
// commit, and none of it when the outer one rolls back.
TEST_F(JoinTest, WritesInsideCommitAndRollBackWithTheOuterOne) {
    Core reader; // another connection sees only what is committed
    ASSERT_EQ(reader.open(), 0);
    for (bool commit : {false, true}) {
        const std::string tag = commit ? "c" : "r";
        {
            Transaction outer(core);
            ASSERT_TRUE(outer.active());
            ASSERT_EQ(outer.exec(insert_type(tag + "outer").c_str()), 0);
            TRec t = type_named(tag + "batch");
            EXPECT_EQ(core.insert_trec(&t, 1), 1);
            EXPECT_EQ(core.exec_in_transaction(insert_type(tag + "exec")), 0);
            {
                Transaction inner(core);
                EXPECT_TRUE(inner.joined());
                EXPECT_EQ(inner.exec(insert_type(tag + "inner").c_str()), 0);
                EXPECT_EQ(inner.commit(), 0);
                EXPECT_NE(inner.commit(), 0); // once, as an outer one
            }
            EXPECT_TRUE(outer.active());
            EXPECT_EQ(reader.get_trec_count(("FTs_Name LIKE '" + tag + "%'").c_str()), 0);
            EXPECT_EQ(core.get_trec_count(("FTs_Name LIKE '" + tag + "%'").c_str()), 4); // seen inside
            if (commit) {
                EXPECT_EQ(outer.commit(), 0);
            }
        }
        EXPECT_EQ(reader.get_trec_count(("FTs_Name LIKE '" + tag + "%'").c_str()), commit ? 4 : 0) << tag;
    }
    // Once the outer one is over, writes begin their own again.
    TRec after = type_named("after");
    EXPECT_EQ(core.insert_trec(&after, 1), 1);
    EXPECT_EQ(reader.get_trec_count("FTs_Name='after'"), 1);
    reader.close();
}

// The sale's case: the units' update is written, then the member's points
// fail; the units' update goes with them, the outer commit fails, and further
// writes of this thread inside it fail rather than commit on their own.
TEST_F(JoinTest, FailingPointsWriteRollsBackTheUnitsWrittenBefore) {
    std::vector<SRec> units = {unit("A", "a"), unit("A", "a")};
    VIPRec m = member("M1", "m");
    ASSERT_EQ(core.insert_srec(units.data(), 2), 2);
    ASSERT_EQ(core.insert_viprec(&m, 1), 1);
    units = all_units(core);
    ASSERT_EQ(core.select_viprec(&m, nullptr), 1);
    ASSERT_EQ(
        core.exec_sql("CREATE TRIGGER no_points BEFORE UPDATE ON VIP BEGIN SELECT RAISE(ABORT,'no'); END;"),
        0);
    {
        Transaction sale(core);
        for (SRec& u : units)
            u.FSi_Flag = 1, u.FSt_SalT = 1700000000, u.FSd_ReaP = 9.0;
        ASSERT_EQ(core.update_srec(units.data(), 2), 2);
        EXPECT_EQ(core.get_srec_count("FSi_Flag=1"), 2);
        m.FVi_Grade = 18;
        EXPECT_EQ(core.update_viprec(&m, 1), -1);
        EXPECT_FALSE(sale.active());
        EXPECT_EQ(core.get_srec_count("FSi_Flag=1"), 0) << "rolled back at once";
        TRec late = type_named("late");
        EXPECT_EQ(core.insert_trec(&late, 1), -1);
        EXPECT_NE(core.exec_in_transaction(insert_type("late2")), 0);
        EXPECT_NE(sale.commit(), 0);
    }
    EXPECT_EQ(core.get_srec_count("FSi_Flag=0 AND FSt_SalT IS NULL AND FSd_ReaP=0"), 2);
    EXPECT_EQ(core.get_viprec_count("FVi_Grade=0"), 1);
    EXPECT_EQ(core.get_trec_count("FTs_Name LIKE 'late%'"), 0);
}

// However a joined part ends badly, the whole is rolled back: a failed
// statement, or leaving it without commit (an early return, an exception).
TEST_F(JoinTest, AJoinedPartEndingBadlySpoilsTheWhole) {
    enum class End { FailedExec, NoCommit, FailedBatch };
    for (End end : {End::FailedExec, End::NoCommit, End::FailedBatch}) {
        Transaction outer(core);
        ASSERT_EQ(outer.exec(insert_type("kept?").c_str()), 0);
        {
            Transaction inner(core);
            ASSERT_TRUE(inner.joined());
            ASSERT_EQ(inner.exec(insert_type("part").c_str()), 0);
            if (end == End::FailedExec) {
                EXPECT_NE(inner.exec("INSERT INTO Nowhere VALUES(1);"), 0);
                EXPECT_FALSE(inner.active());
            } else if (end == End::FailedBatch) {
                EXPECT_NE(core.exec_in_transaction("INSERT INTO Type VALUES(1,'taken');"), 0);
            }
        }
        EXPECT_FALSE(outer.active()) << static_cast<int>(end);
        EXPECT_NE(outer.exec(insert_type("more").c_str()), 0);
        EXPECT_NE(outer.commit(), 0);
        EXPECT_EQ(core.get_trec_count("FTs_Name IN ('kept?','part','more')"), 0) << static_cast<int>(end);
    }
    TRec free = type_named("free");
    EXPECT_EQ(core.insert_trec(&free, 1), 1);
}

// An outer transaction that could not begin (here: a plain BEGIN already ran
// on the connection) makes the writes meant to join it fail with it.
TEST_F(JoinTest, WritesMeantForAnOuterOneThatFailedToBeginFail) {
    ASSERT_EQ(core.exec_sql("BEGIN;"), 0);
    {
        Transaction outer(core);
        EXPECT_FALSE(outer.active());
        TRec t = type_named("lost");
        EXPECT_EQ(core.insert_trec(&t, 1), -1);
        Transaction inner(core);
        EXPECT_TRUE(inner.joined());
        EXPECT_NE(inner.exec(insert_type("lost2").c_str()), 0);
        EXPECT_NE(inner.commit(), 0);
    }
    ASSERT_EQ(core.exec_sql("ROLLBACK;"), 0);
    EXPECT_EQ(core.get_trec_count("FTs_Name LIKE 'lost%'"), 0);
}

// Another connection is another store as far as joining goes, even on the
// same thread: its writes keep their own transaction.
TEST_F(JoinTest, AnotherConnectionDoesNotJoin) {
    std::filesystem::create_directory("elsewhere");
    std::filesystem::current_path("elsewhere");
    Core other;
    ASSERT_EQ(other.open(), 0);
    std::filesystem::current_path("..");
    {
        Transaction theirs(other);
        ASSERT_EQ(theirs.exec(insert_type("theirs").c_str()), 0);
        Transaction mine(core);
        EXPECT_FALSE(mine.joined());
        ASSERT_TRUE(mine.active());
        ASSERT_EQ(mine.exec(insert_type("mine").c_str()), 0);
        EXPECT_EQ(mine.commit(), 0);
        TRec t = type_named("batch");
        EXPECT_EQ(other.insert_trec(&t, 1), 1); // joins theirs, not mine
    }
    EXPECT_EQ(types_named(core, "mine"), 1);
    EXPECT_EQ(other.get_trec_count("FTs_Name IN ('theirs','batch')"), 0);
    other.close();
}

// A batch of another thread, made while ours is open, waits for our end and
// is not rolled back with ours.
TEST_F(JoinTest, AnotherThreadsBatchWaitsAndKeepsItsOwnFate) {
    std::promise<bool> joined;
    std::future<bool> joined_answer = joined.get_future();
    std::thread other;
    {
        Transaction ours(core);
        ASSERT_EQ(ours.exec(insert_type("ours").c_str()), 0);
        other = std::thread([&] {
            Transaction t(core);
            const bool j = t.joined();
            t.exec(insert_type("theirs").c_str());
            t.commit();
            joined.set_value(j);
        });
        // While ours is open the other thread cannot get through: had it
        // joined, it would have answered and its row gone with ours below.
        EXPECT_EQ(joined_answer.wait_for(300ms), std::future_status::timeout);
    }
    other.join();
    EXPECT_FALSE(joined_answer.get());
    EXPECT_EQ(types_named(core, "ours"), 0);
    EXPECT_EQ(types_named(core, "theirs"), 1);
}

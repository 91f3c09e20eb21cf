// The server engine on its own: connecting (and the message when it cannot),
// GBK text through the server's UTF-8, the result codes its failures map onto,
// the one-statement and transaction-control refusals, a lost connection.
// Runs on the server run only (VORN_TEST_SERVER_DIR); skips on the file run.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "commit_relay.h"
#include "core_fixture.h"
#include "serverengine.h"
#include "vorn/password.h"

using vorn::detail::Row;
using vorn::detail::RowContext;
using vorn::detail::ServerEngine;
using vorntest::gbk;

namespace {

// Every row as texts ("NULL" for NULL).
using Table = std::vector<std::vector<std::string>>;
void read_texts(const Row& row, RowContext& ctx) {
    auto& out = *static_cast<Table*>(ctx.out);
    out.emplace_back();
    for (int i = 0; i < row.columns(); ++i) {
        const char* t = row.text(i);
        out.back().push_back(t ? std::string(t, static_cast<size_t>(row.bytes(i))) : "NULL");
    }
}

// The value of key in a "key=value key=value" connection string.
std::string field(const std::string& conninfo, const std::string& key) {
    const size_t at = conninfo.find(key + "=");
    if (at == std::string::npos) return "";
    const size_t from = at + key.size() + 1;
    return conninfo.substr(from, conninfo.find(' ', from) - from);
}

// A local TCP port nothing listens on: one the system just handed out and took back.
int closed_port() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(fd);
    return port;
}

class ServerEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!vorntest::on_server()) GTEST_SKIP() << "the server engine's tests run on the server run only";
        std::string why;
        bool skipped = false;
        if (!vorntest::ServerDatabase::cluster_url(cluster_, why, skipped)) {
            if (skipped) GTEST_SKIP() << why;
            FAIL() << why;
        }
        url_ = database_.create(cluster_);
        ASSERT_FALSE(url_.empty());
        engine_ = connect(url_);
        ASSERT_TRUE(engine_);
    }
    void TearDown() override {
        engine_.reset();
        database_.drop();
    }

    static std::unique_ptr<ServerEngine> connect(const std::string& url) {
        int rc = -1;
        std::string message;
        auto engine = ServerEngine::connect(url, rc, message);
        EXPECT_EQ(rc, SQLITE_OK) << message;
        return engine;
    }
    Table rows(const std::string& sql, int expect_rc = SQLITE_OK) {
        Table out;
        RowContext ctx{&out};
        EXPECT_EQ(engine_->query(sql, read_texts, ctx), expect_rc) << sql << ": " << engine_->last_message();
        return out;
    }
    std::string one(const std::string& sql) {
        const Table t = rows(sql);
        return t.size() == 1 && t[0].size() == 1 ? t[0][0] : "<" + std::to_string(t.size()) + " rows>";
    }
    void exec(const std::string& sql) {
        ASSERT_EQ(engine_->exec(sql.c_str()), SQLITE_OK) << sql << ": " << engine_->last_message();
    }
    // Ends this engine's session from outside, waiting until its server process is gone.
    void kill_session() {
        const std::string pid = one("SELECT pg_backend_pid()");
        PGconn* admin = PQconnectdb(url_.c_str());
        PGresult* res = PQexec(admin, ("SELECT pg_terminate_backend(" + pid + ", 30000)").c_str());
        EXPECT_EQ(PQresultStatus(res), PGRES_TUPLES_OK) << PQresultErrorMessage(res);
        if (PQresultStatus(res) == PGRES_TUPLES_OK) {
            EXPECT_STREQ(PQgetvalue(res, 0, 0), "t");
        }
        PQclear(res);
        PQfinish(admin);
    }

    std::string cluster_, url_;
    vorntest::ServerDatabase database_;
    std::unique_ptr<ServerEngine> engine_;
};

TEST_F(ServerEngineTest, ConnectFailureNamesTheServerAndTheReason) {
    const std::string dir = field(cluster_, "host");
    const std::string port = std::to_string(closed_port());
    const std::string cluster_port = field(cluster_, "port");
    struct Case {
        std::string conninfo, server, reason;
    } cases[] = {
        {"host=127.0.0.1 port=" + port + " user=vorn dbname=shop password=secret connect_timeout=5",
         "127.0.0.1:" + port + "/shop", "refused"},
        {"host=" + dir + " port=" + port + " user=vorn dbname=shop password=secret",
         dir + ":" + port + "/shop", "No such file"},
        {"host=" + dir + " port=" + cluster_port + " user=vorn dbname=no_such_shop password=secret",
         dir + ":" + cluster_port + "/no_such_shop", "does not exist"},
        {"host=" + dir + " port=" + cluster_port + " dbname=shop password=secret nonsense=1",
         dir + ":" + cluster_port + "/shop", "invalid connection option"},
    };
    for (const Case& c : cases) {
        int rc = SQLITE_OK;
        std::string message;
        EXPECT_EQ(ServerEngine::connect(c.conninfo, rc, message), nullptr) << c.conninfo;
        EXPECT_EQ(rc, SQLITE_CANTOPEN) << c.conninfo;
        EXPECT_EQ(message.rfind(gbk("无法连接数据库服务器 ") + c.server + gbk("："), 0), 0u) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_EQ(message.find("secret"), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
}

TEST_F(ServerEngineTest, GbkTextRoundTripsAndTheServerHoldsUtf8) {
    // Quotes, a backslash (plain text under standard strings) and characters
    // whose second GBK byte is a backslash.
    const std::string utf8 = "商品 '淺' \\乗 名称";
    exec("CREATE TABLE T (a VARCHAR(64))");
    std::string quoted = gbk(utf8);
    for (size_t i = 0; (i = quoted.find('\'', i)) != std::string::npos; i += 2)
        quoted.insert(i, 1, '\'');
    exec("INSERT INTO T VALUES('" + quoted + "')");
    EXPECT_EQ(one("SELECT a FROM T"), gbk(utf8));
    // The server counts characters, not bytes: it holds the text as text.
    size_t characters = 0;
    for (unsigned char c : utf8)
        characters += (c & 0xC0) != 0x80;
    EXPECT_EQ(one("SELECT length(a) FROM T"), std::to_string(characters));

    PGconn* other = PQconnectdb((url_ + " client_encoding=UTF8").c_str());
    ASSERT_EQ(PQstatus(other), CONNECTION_OK) << PQerrorMessage(other);
    PGresult* res = PQexec(other, "SELECT a FROM T");
    ASSERT_EQ(PQresultStatus(res), PGRES_TUPLES_OK) << PQresultErrorMessage(res);
    EXPECT_EQ(std::string(PQgetvalue(res, 0, 0)), utf8);
    PQclear(res);
    PQfinish(other);
}

TEST_F(ServerEngineTest, DoublesComeBackInFifteenDigits) {
    EXPECT_EQ(one("SELECT CAST(0.1 AS DOUBLE PRECISION) + CAST(0.2 AS DOUBLE PRECISION)"), "0.3");
    EXPECT_EQ(one("SELECT CAST(1 AS DOUBLE PRECISION) / 3"), "0.333333333333333");
}

TEST_F(ServerEngineTest, FailuresMapOntoStoreCodes) {
    exec("CREATE TABLE U (a INTEGER UNIQUE, n INTEGER NOT NULL)");
    exec("INSERT INTO U VALUES(1, 1)");
    struct Case {
        const char* sql;
        int code;
        const char* words; // in the server's message
    } cases[] = {
        {"INSERT INTO U VALUES(1, 2)", SQLITE_CONSTRAINT, "duplicate key"},
        {"INSERT INTO U VALUES(2, NULL)", SQLITE_CONSTRAINT, "null value"},
        {"INSERT INTO U VALUES(3, 'abc')", SQLITE_MISMATCH, "invalid input"},
        {"SELEC 1", SQLITE_ERROR, "syntax error"},
        {"SELECT nothing FROM U", SQLITE_ERROR, "does not exist"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine_->exec(c.sql), c.code) << c.sql;
        EXPECT_NE(engine_->last_message().find(c.words), std::string::npos) << engine_->last_message();
        Table out;
        RowContext ctx{&out};
        EXPECT_EQ(engine_->query(c.sql, read_texts, ctx), c.code) << c.sql;
    }
    EXPECT_EQ(one("SELECT count(*) FROM U"), "1");
}

TEST_F(ServerEngineTest, AFailureInsideATransactionAbortsItAndCommitSaysSo) {
    exec("CREATE TABLE U (a INTEGER UNIQUE)");
    ASSERT_EQ(engine_->begin(true), SQLITE_OK);
    EXPECT_TRUE(engine_->in_transaction());
    exec("INSERT INTO U VALUES(1)");
    EXPECT_EQ(engine_->exec("INSERT INTO U VALUES(1)"), SQLITE_CONSTRAINT);
    EXPECT_EQ(engine_->exec("INSERT INTO U VALUES(2)"), SQLITE_ABORT);
    EXPECT_TRUE(engine_->in_transaction());
    EXPECT_EQ(engine_->commit(), SQLITE_ABORT);
    EXPECT_FALSE(engine_->in_transaction());
    EXPECT_EQ(one("SELECT count(*) FROM U"), "0");
}

// The fixture's fault injection works on the server as the file's trigger does.
TEST_F(ServerEngineTest, FailingTriggerBreaksTheWriteAndGoesAgain) {
    exec("CREATE TABLE SalePayment (a INTEGER)");
    exec(vorntest::failing_trigger("forced", "INSERT ON SalePayment", "x"));
    EXPECT_EQ(engine_->exec("INSERT INTO SalePayment VALUES(1)"), SQLITE_CONSTRAINT);
    EXPECT_EQ(engine_->last_message(), "x");
    exec(vorntest::dropping_trigger("forced", "SalePayment"));
    exec("INSERT INTO SalePayment VALUES(1)");
    EXPECT_EQ(one("SELECT count(*) FROM SalePayment"), "1");
}

// The server only warns where the file refuses; the engine refuses as the file does.
TEST_F(ServerEngineTest, TransactionControlOutOfPlaceIsRefused) {
    exec("CREATE TABLE U (a INTEGER UNIQUE)");
    EXPECT_EQ(engine_->exec("COMMIT"), SQLITE_ERROR);
    EXPECT_EQ(engine_->exec("END TRANSACTION"), SQLITE_ERROR);
    EXPECT_EQ(engine_->commit(), SQLITE_ERROR);
    ASSERT_EQ(engine_->begin(true), SQLITE_OK);
    EXPECT_EQ(engine_->begin(false), SQLITE_ERROR);
    EXPECT_EQ(engine_->exec("BEGIN IMMEDIATE"), SQLITE_ERROR);
    EXPECT_TRUE(engine_->in_transaction());
    exec("INSERT INTO U VALUES(1)");
    EXPECT_EQ(engine_->exec("INSERT INTO U VALUES(1)"), SQLITE_CONSTRAINT);
    // A text's own COMMIT after a failure says the whole was lost.
    EXPECT_EQ(engine_->exec("COMMIT"), SQLITE_ABORT);
    EXPECT_FALSE(engine_->in_transaction());
    EXPECT_EQ(one("SELECT count(*) FROM U"), "0");
    exec("BEGIN; INSERT INTO U VALUES(2); COMMIT");
    EXPECT_EQ(one("SELECT count(*) FROM U"), "1");
}

TEST_F(ServerEngineTest, QueryTakesExactlyOneStatement) {
    exec("CREATE TABLE T (a INTEGER)");
    Table out;
    RowContext ctx{&out};
    EXPECT_EQ(engine_->query("INSERT INTO T VALUES(1); SELECT a FROM T", read_texts, ctx), SQLITE_ERROR);
    EXPECT_EQ(engine_->query("SELECT a FROM T;;", read_texts, ctx), SQLITE_OK);
    EXPECT_EQ(engine_->query("  ; ", read_texts, ctx), SQLITE_MISUSE);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(one("SELECT count(*) FROM T"), "0");
}

TEST_F(ServerEngineTest, RefusedTransactionControlRunsNothing) {
    exec("CREATE TABLE T (a INTEGER)");
    const char* refused[] = {"INSERT INTO T VALUES(1); COMMIT", "BEGIN; INSERT INTO T VALUES(1)",
                             "INSERT INTO T VALUES(1); ROLLBACK", "INSERT INTO T VALUES(1); END"};
    for (const char* sql : refused) {
        EXPECT_EQ(engine_->exec(sql, true), SQLITE_AUTH) << sql;
        EXPECT_EQ(one("SELECT count(*) FROM T"), "0") << sql;
    }
    ASSERT_EQ(engine_->begin(true), SQLITE_OK);
    EXPECT_EQ(engine_->exec("SAVEPOINT s; INSERT INTO T VALUES(1); RELEASE SAVEPOINT s", true), SQLITE_OK)
        << engine_->last_message();
    EXPECT_EQ(engine_->commit(), SQLITE_OK);
    EXPECT_EQ(one("SELECT count(*) FROM T"), "1");
}

TEST_F(ServerEngineTest, ChangesAndLastInsertId) {
    exec("CREATE TABLE S (id BIGSERIAL PRIMARY KEY, v INTEGER)");
    EXPECT_EQ(engine_->last_insert_id(), 0);
    exec("INSERT INTO S (v) VALUES (7)");
    exec("INSERT INTO S (v) VALUES (7)");
    EXPECT_EQ(engine_->last_insert_id(), 2);
    exec("UPDATE S SET v = 8");
    EXPECT_EQ(engine_->changes(), 2);
    rows("SELECT * FROM S");
    EXPECT_EQ(engine_->changes(), 2); // a select leaves it, as the file does
    exec("DELETE FROM S WHERE id = 1");
    EXPECT_EQ(engine_->changes(), 1);

    // In a new session whose first insert drew no id, asking costs the
    // transaction nothing.
    auto fresh = connect(url_);
    ASSERT_TRUE(fresh);
    ASSERT_EQ(fresh->begin(true), SQLITE_OK);
    ASSERT_EQ(fresh->exec("INSERT INTO S VALUES (10, 1)"), SQLITE_OK) << fresh->last_message();
    EXPECT_EQ(fresh->last_insert_id(), 0);
    EXPECT_EQ(fresh->exec("INSERT INTO S (v) VALUES (9)"), SQLITE_OK) << fresh->last_message();
    EXPECT_EQ(fresh->last_insert_id(), 3);
    EXPECT_EQ(fresh->commit(), SQLITE_OK);
    EXPECT_EQ(one("SELECT count(*) FROM S"), "3");
}

TEST_F(ServerEngineTest, TablesAndIndexesByNameInAnyCase) {
    exec("CREATE TABLE Store (a INTEGER)");
    exec("CREATE TABLE \"User\" (a INTEGER)");
    exec("CREATE INDEX vorn_store_a ON Store(a)");
    EXPECT_EQ(engine_->has_table("Store"), 1);
    EXPECT_EQ(engine_->has_table("STORE"), 1);
    EXPECT_EQ(engine_->has_table("User"), 1);
    EXPECT_EQ(engine_->has_table("Missing"), 0);
    EXPECT_EQ(engine_->indexes_present({"vorn_store_a", "VORN_STORE_A", "vorn_missing"}), 2);

    auto second = connect(url_);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->identity(), engine_->identity());
    EXPECT_EQ(engine_->identity().rfind("server:", 0), 0u);
    EXPECT_NE(engine_->identity().find(database_.name()), std::string::npos);
}

TEST_F(ServerEngineTest, EnsureSchemaCreatesOnceThenKeeps) {
    bool created = false;
    ASSERT_EQ(engine_->ensure_schema(created), SQLITE_OK) << engine_->last_message();
    EXPECT_TRUE(created);
    EXPECT_EQ(engine_->has_table("User"), 1);
    EXPECT_EQ(one("SELECT count(*) FROM Addition"), "9");
    ASSERT_EQ(engine_->ensure_schema(created), SQLITE_OK) << engine_->last_message();
    EXPECT_FALSE(created);
    EXPECT_EQ(one("SELECT count(*) FROM Addition"), "9");
}

// Tills starting together on a new database: one makes the store, the others
// find it made, none fails.
TEST_F(ServerEngineTest, EnsureSchemaFromSeveralConnectionsAtOnce) {
    constexpr int kTills = 4;
    std::vector<std::unique_ptr<ServerEngine>> tills;
    for (int i = 0; i < kTills; ++i) {
        tills.push_back(connect(url_));
        ASSERT_TRUE(tills.back());
    }
    int rcs[kTills];
    bool made[kTills];
    std::vector<std::thread> threads;
    for (int i = 0; i < kTills; ++i)
        threads.emplace_back([&, i] { rcs[i] = tills[i]->ensure_schema(made[i]); });
    for (auto& t : threads)
        t.join();
    int makers = 0;
    for (int i = 0; i < kTills; ++i) {
        EXPECT_EQ(rcs[i], SQLITE_OK) << tills[i]->last_message();
        makers += made[i];
    }
    EXPECT_EQ(makers, 1);
    EXPECT_EQ(one("SELECT count(*) FROM Addition"), "9");
}

// The server ended the idle session (an idle timeout, an administrator): the
// next call finds it gone before sending anything and runs on a new one, with
// the session's settings.
TEST_F(ServerEngineTest, LostConnectionOutsideATransactionIsMadeAgain) {
    kill_session();
    EXPECT_EQ(engine_->exec("SELECT 1"), SQLITE_OK) << engine_->last_message();
    EXPECT_FALSE(engine_->in_transaction());
    EXPECT_EQ(one("SELECT CAST(0.1 AS DOUBLE PRECISION) + CAST(0.2 AS DOUBLE PRECISION)"), "0.3");
    EXPECT_EQ(one("SHOW client_encoding"), "GBK");
}

// The same through the store, for each way a call reaches the server.
TEST_F(ServerEngineTest, StoreCarriesOnAfterTheServerDroppedItsSession) {
    vorn::set_password_iterations(64);
    vorn::Core core;
    core.set_server(url_);
    ASSERT_EQ(core.open(), 0) << core.open_message();
    vorn::TRec type;
    type.FTs_Name = "t";
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"a read", [&] { return core.get_trec_count(nullptr) == 1; }},
        {"a write in a transaction", [&] { return core.insert_trec(&type, 1) == 1; }},
        {"a write on its own",
         [&] { return core.exec_sql("UPDATE Type SET FTs_Name='u' WHERE FTs_Name='t';") == 0; }},
    };
    for (const auto& [name, call] : cases) {
        EXPECT_EQ(one("SELECT count(pg_terminate_backend(pid, 30000)) FROM pg_stat_activity "
                      "WHERE datname = current_database() AND pid <> pg_backend_pid()"),
                  "1");
        EXPECT_TRUE(call()) << name;
    }
    EXPECT_EQ(core.get_trec_count("FTs_Name='u'"), 1);
}

// A session lost while a statement ran: a change may have been made and is
// not sent again; a read is, once.
TEST_F(ServerEngineTest, StatementLostWhileRunningRunsAgainOnlyWhenARead) {
    exec("CREATE SEQUENCE runs");
    const std::string ends_itself = "SELECT nextval('runs'), pg_terminate_backend(pg_backend_pid())";
    Table out;
    RowContext ctx{&out};
    EXPECT_EQ(engine_->exec(ends_itself.c_str()), SQLITE_IOERR);
    EXPECT_EQ(one("SELECT last_value FROM runs"), "1");
    EXPECT_EQ(engine_->query(ends_itself, read_texts, ctx), SQLITE_IOERR);
    EXPECT_EQ(one("SELECT last_value FROM runs"), "3");
}

// While a restore holds the store a till's write transaction waits at its
// start (reads go on); one the server gives up on leaves nothing open.
TEST_F(ServerEngineTest, WriteTransactionWaitsForARestore) {
    auto restore = connect(url_);
    ASSERT_EQ(restore->begin(true), SQLITE_OK);
    ASSERT_EQ(restore->exec(vorn::detail::kServerRestoreLock), SQLITE_OK);
    exec("SET lock_timeout = 1");
    EXPECT_EQ(engine_->begin(true), SQLITE_BUSY);
    EXPECT_FALSE(engine_->in_transaction());
    EXPECT_EQ(engine_->begin(false), SQLITE_OK);
    EXPECT_EQ(engine_->commit(), SQLITE_OK);
    restore->rollback();
    EXPECT_EQ(engine_->begin(true), SQLITE_OK);
    EXPECT_EQ(engine_->commit(), SQLITE_OK);
}

TEST_F(ServerEngineTest, LostConnectionInsideATransactionFailsUntilRolledBack) {
    exec("CREATE TABLE T (a INTEGER)");
    ASSERT_EQ(engine_->begin(true), SQLITE_OK);
    exec("INSERT INTO T VALUES(1)");
    kill_session();
    EXPECT_EQ(engine_->exec("INSERT INTO T VALUES(2)"), SQLITE_IOERR);
    // Nothing further of the transaction may run on a new connection by itself.
    EXPECT_EQ(engine_->exec("INSERT INTO T VALUES(3)"), SQLITE_IOERR);
    EXPECT_TRUE(engine_->in_transaction());
    EXPECT_EQ(engine_->commit(), SQLITE_IOERR);
    engine_->rollback();
    EXPECT_FALSE(engine_->in_transaction());
    EXPECT_EQ(one("SELECT count(*) FROM T"), "0");
}

// A COMMIT's outcome is unknown only when it went out and its answer never
// came: lost on the way back after the server committed, or a session that
// ended while the COMMIT ran. A session gone before it, and the server's
// refusal, rolled back for sure. The next statement runs on a new session.
TEST_F(ServerEngineTest, CommitOutcomeUnknownOnlyWhenItsAnswerIsLost) {
    // The answer is lost on its way through the relay; the rest runs direct,
    // so a session ended from outside is gone before the COMMIT is sent.
    vorntest::CommitRelay relay(url_);
    ASSERT_FALSE(relay.url().empty());
    auto relayed = connect(relay.url());
    ASSERT_TRUE(relayed);
    ServerEngine* const direct = engine_.get();
    ServerEngine* const till = relayed.get();
    exec("CREATE TABLE T (a INTEGER UNIQUE DEFERRABLE INITIALLY DEFERRED)");
    ASSERT_EQ(vorntest::cluster_command(url_, vorntest::ends_session_at_commit("T", "NEW.a = 4")), "");
    const struct Case {
        const char* name;
        ServerEngine* on;
        int value;                  // inserted
        std::function<void()> then; // before the COMMIT
        int rc;
        bool unknown;
        const char* stored; // T's rows afterwards
    } cases[] = {
        {"committed", direct, 1, [] {}, SQLITE_OK, false, "1"},
        {"a statement failed before", direct, 2,
         [&] { EXPECT_EQ(direct->exec("SELECT 1/0"), SQLITE_MISMATCH); }, SQLITE_ABORT, false, "1"},
        {"the server refuses the COMMIT", direct, 1, [] {}, SQLITE_CONSTRAINT, false, "1"},
        {"the session lost before the COMMIT", direct, 3, [&] { kill_session(); }, SQLITE_IOERR, false, "1"},
        {"the session ends inside the COMMIT", direct, 4, [] {}, SQLITE_IOERR, true, "1"},
        {"the answer to the COMMIT is lost", till, 5, [&] { relay.lose_next_commit_answer(); }, SQLITE_IOERR,
         true, "1,5"},
        {"committed on a new session", till, 6, [] {}, SQLITE_OK, false, "1,5,6"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.on->begin(true), SQLITE_OK) << c.name << ": " << c.on->last_message();
        ASSERT_EQ(c.on->exec(("INSERT INTO T VALUES(" + std::to_string(c.value) + ")").c_str()), SQLITE_OK)
            << c.name;
        c.then();
        EXPECT_EQ(c.on->commit(), c.rc) << c.name << ": " << c.on->last_message();
        EXPECT_EQ(c.on->commit_outcome_unknown(), c.unknown) << c.name;
        c.on->rollback(); // as a transaction left uncommitted does
        EXPECT_EQ(one("SELECT string_agg(CAST(a AS TEXT), ',' ORDER BY a) FROM T"), c.stored) << c.name;
    }
    EXPECT_EQ(relay.lost(), 1);
}

TEST_F(ServerEngineTest, ClosedEngineIsMisuse) {
    engine_->close();
    Table out;
    RowContext ctx{&out};
    EXPECT_EQ(engine_->exec("SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(engine_->query("SELECT 1", read_texts, ctx), SQLITE_MISUSE);
    EXPECT_EQ(engine_->begin(true), SQLITE_MISUSE);
    EXPECT_FALSE(engine_->in_transaction());
}

} // namespace

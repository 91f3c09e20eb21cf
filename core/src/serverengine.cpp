#include "serverengine.h"

#include <iconv.h>
#include <langinfo.h>
#include <libpq-fe.h>
#include <poll.h>

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "pgsql.h"
#include "schema.h"

namespace vorn::detail {

namespace {

// Chinese literals are GBK bytes: 无法连接数据库服务器 and the full-width colon.
constexpr const char* kCannotConnect =
    "\xce\xde\xb7\xa8\xc1\xac\xbd\xd3\xca\xfd\xbe\xdd\xbf\xe2\xb7\xfe\xce\xf1\xc6\xf7";
constexpr const char* kColon = "\xa3\xba";

// libpq words its own failures in the locale's character set; our messages are
// GBK. Bytes that do not convert are dropped rather than shown as garbage.
std::string local_to_gbk(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text)
        if (c >= 0x80) ascii = false;
    if (ascii) return text;
    iconv_t cd = iconv_open("GBK//TRANSLIT", nl_langinfo(CODESET));
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out(text.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(text.data());
    char* o = out.data();
    size_t in_left = text.size(), out_left = out.size();
    while (in_left > 0) {
        if (iconv(cd, &in, &in_left, &o, &out_left) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) break;
        ++in; // an invalid or unconvertible byte
        --in_left;
    }
    iconv_close(cd);
    out.resize(out.size() - out_left);
    return out;
}

// One line of libpq's message: no trailing newline, inner line breaks and tabs
// as single blanks, so it fits a message box line and a log line.
std::string one_line(const char* message) {
    std::string out;
    if (message == nullptr) return out;
    bool blank = false;
    for (const char* p = message; *p; ++p) {
        const bool space = *p == '\n' || *p == '\r' || *p == '\t' || *p == ' ';
        if (space) {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += *p;
    }
    return out;
}

std::string value_or(const char* value, const char* fallback) {
    return value != nullptr && *value != '\0' ? value : fallback;
}

// "host:port/database" of a connection string, read from libpq's own parse so
// a service name or the environment's defaults show as what was tried. The
// password is never part of it.
std::string server_name(PGconn* conn, const std::string& conninfo) {
    std::string host, port, db;
    if (conn != nullptr) {
        if (PQconninfoOption* opts = PQconninfo(conn)) {
            for (PQconninfoOption* o = opts; o->keyword != nullptr; ++o) {
                if (o->val == nullptr) continue;
                if (std::strcmp(o->keyword, "host") == 0)
                    host = o->val;
                else if (std::strcmp(o->keyword, "hostaddr") == 0 && host.empty())
                    host = o->val;
                else if (std::strcmp(o->keyword, "port") == 0)
                    port = o->val;
                else if (std::strcmp(o->keyword, "dbname") == 0)
                    db = o->val;
            }
            PQconninfoFree(opts);
        }
    }
    if (host.empty() && port.empty() && db.empty()) {
        char* err = nullptr;
        if (PQconninfoOption* opts = PQconninfoParse(conninfo.c_str(), &err)) {
            for (PQconninfoOption* o = opts; o->keyword != nullptr; ++o) {
                if (o->val == nullptr) continue;
                if (std::strcmp(o->keyword, "host") == 0) host = o->val;
                if (std::strcmp(o->keyword, "port") == 0) port = o->val;
                if (std::strcmp(o->keyword, "dbname") == 0) db = o->val;
                if (std::strcmp(o->keyword, "service") == 0 && db.empty()) db = o->val;
            }
            PQconninfoFree(opts);
        }
        PQfreemem(err);
    }
    if (host.empty() && port.empty() && db.empty()) {
        // A string libpq cannot read at all (an unknown keyword): its words
        // as written, so the message still names the server meant.
        size_t i = 0;
        while (i < conninfo.size()) {
            while (i < conninfo.size() && std::isspace(static_cast<unsigned char>(conninfo[i])))
                ++i;
            size_t end = i;
            while (end < conninfo.size() && !std::isspace(static_cast<unsigned char>(conninfo[end])))
                ++end;
            const std::string word = conninfo.substr(i, end - i);
            if (word.rfind("host=", 0) == 0) host = word.substr(5);
            if (word.rfind("port=", 0) == 0) port = word.substr(5);
            if (word.rfind("dbname=", 0) == 0) db = word.substr(7);
            i = end;
        }
    }
    if (conn != nullptr) {
        // What libpq settled on, defaults included.
        if (host.empty()) host = value_or(PQhost(conn), "");
        if (port.empty()) port = value_or(PQport(conn), "");
        if (db.empty()) db = value_or(PQdb(conn), "");
    }
    return value_or(host.c_str(), "localhost") + ":" + value_or(port.c_str(), "5432") + "/" + db;
}

// The server's failures by their SQLSTATE, onto the codes callers already
// name causes by.
int code_of_state(const char* state) {
    if (state == nullptr || std::strlen(state) != 5) return SQLITE_ERROR;
    const std::string s(state);
    const std::string cls = s.substr(0, 2);
    if (cls == "08") return SQLITE_IOERR;
    if (cls == "23") return SQLITE_CONSTRAINT;
    if (s == "40001" || s == "40P01" || s == "55P03") return SQLITE_BUSY;
    if (s == "53100") return SQLITE_FULL;
    if (s == "25P02") return SQLITE_ABORT;
    if (cls == "22") return SQLITE_MISMATCH;
    if (s == "42501") return SQLITE_PERM;
    // The server going away under us (shutdown, crash, terminated backend).
    if (s == "57P01" || s == "57P02" || s == "57P03") return SQLITE_IOERR;
    return SQLITE_ERROR;
}

bool starts_with(const char* text, const char* prefix) {
    return text != nullptr && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Whether a statement starts with the keyword word (any case).
bool first_word_is(const std::string& statement, const char* word) {
    size_t i = 0;
    while (i < statement.size() && std::isspace(static_cast<unsigned char>(statement[i])))
        ++i;
    const size_t n = std::strlen(word);
    return statement.size() - i >= n && strncasecmp(statement.c_str() + i, word, n) == 0;
}

// Of the transaction-control statements: which begins one, which rolls back.
bool begins_transaction(const std::string& statement) {
    return first_word_is(statement, "BEGIN");
}
bool rolls_back(const std::string& statement) {
    return first_word_is(statement, "ROLLBACK");
}

} // namespace

std::unique_ptr<ServerEngine> ServerEngine::connect(const std::string& conninfo, int& rc,
                                                    std::string& message) {
    rc = SQLITE_OK;
    message.clear();
    // A server that does not answer (a dead network) must not hold the till
    // for minutes: unless the connection string says otherwise, ten seconds.
    std::string with_timeout = conninfo;
    if (conninfo.find("connect_timeout") == std::string::npos && conninfo.rfind("postgres", 0) != 0)
        with_timeout += " connect_timeout=10";
    PGconn* conn = PQconnectdb(with_timeout.c_str());
    if (conn == nullptr) {
        rc = SQLITE_NOMEM;
        return nullptr;
    }
    if (PQstatus(conn) != CONNECTION_OK) {
        rc = SQLITE_CANTOPEN;
        message = std::string(kCannotConnect) + " " + server_name(conn, conninfo) + kColon +
                  local_to_gbk(one_line(PQerrorMessage(conn)));
        PQfinish(conn);
        return nullptr;
    }
    std::unique_ptr<ServerEngine> engine(new ServerEngine(conn));
    engine->conninfo_ = conninfo;
    if (!engine->set_up_session()) {
        rc = SQLITE_CANTOPEN;
        message = std::string(kCannotConnect) + " " + server_name(conn, conninfo) + kColon + engine->message_;
        return nullptr;
    }
    return engine;
}

ServerEngine::~ServerEngine() {
    close();
}

void ServerEngine::on_notice(void* engine, const PGresult* res) {
    // Notices (IF NOT EXISTS skips and the like) are not for the terminal. A
    // FATAL one is the server's reason for closing the session (an idle
    // timeout, an administrator, a shutdown), sent while no statement of ours
    // was running: nothing we send from now on will run.
    const char* severity = PQresultErrorField(res, PG_DIAG_SEVERITY_NONLOCALIZED);
    if (severity != nullptr && (std::strcmp(severity, "FATAL") == 0 || std::strcmp(severity, "PANIC") == 0))
        static_cast<ServerEngine*>(engine)->closing_ = true;
}

bool ServerEngine::set_up_session() {
    closing_ = false;
    PQsetNoticeReceiver(conn_, on_notice, this);
    // The program's text is GBK; the server keeps UTF-8 and converts both ways.
    if (PQsetClientEncoding(conn_, "GBK") != 0) {
        message_ = one_line(PQerrorMessage(conn_));
        return false;
    }
    // Doubles come back in 15 significant digits, as the file gives a double's
    // text; backslashes in quoted text are plain characters, as in SQLite.
    PGresult* res = PQexec(conn_, "SET extra_float_digits TO 0; SET standard_conforming_strings TO on");
    const bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
    if (!ok) message_ = local_to_gbk(one_line(PQresultErrorMessage(res)));
    PQclear(res);
    return ok;
}

bool ServerEngine::connected() const {
    return conn_ != nullptr && !closing_ && PQstatus(conn_) == CONNECTION_OK;
}

bool ServerEngine::inside() const {
    if (!connected()) return open_tx_;
    const PGTransactionStatusType ts = PQtransactionStatus(conn_);
    return ts == PQTRANS_INTRANS || ts == PQTRANS_INERROR;
}

bool ServerEngine::ended_meanwhile() {
    // Between statements the server sends nothing unless it is closing the
    // session: then its FATAL message and the end of the stream are already
    // waiting on the socket. Reading what is there (never waiting) lets libpq
    // take the message (on_notice) or find the end (the status goes bad).
    for (;;) {
        if (!connected()) return true;
        pollfd p{PQsocket(conn_), POLLIN, 0};
        if (p.fd < 0 || poll(&p, 1, 0) <= 0) return false;
        if (PQconsumeInput(conn_) == 0) return true;
    }
}

bool ServerEngine::usable() {
    if (conn_ == nullptr) return false;
    if (!ended_meanwhile()) return true;
    // The server rolled back whatever transaction was open when it went; the
    // caller learns of it by this failure and rolls back, and only then do we
    // reconnect, so no later statement of that transaction runs on its own.
    if (open_tx_) {
        message_ = "the connection to the server was lost inside a transaction";
        return false;
    }
    PQreset(conn_);
    inserted_ = false; // a new session has drawn no ids yet
    closing_ = false;
    if (PQstatus(conn_) != CONNECTION_OK || !set_up_session()) {
        message_ = local_to_gbk(one_line(PQerrorMessage(conn_)));
        return false;
    }
    return true;
}

int ServerEngine::fail(PGresult* res) {
    const char* state = res != nullptr ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    int rc = code_of_state(state);
    if (state == nullptr && PQstatus(conn_) != CONNECTION_OK) rc = SQLITE_IOERR;
    const char* text = res != nullptr ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    // A message of libpq's own (a lost connection) is in the locale's wording;
    // the server's come converted to GBK already.
    message_ =
        text != nullptr && state != nullptr
            ? std::string(text)
            : local_to_gbk(one_line(res != nullptr ? PQresultErrorMessage(res) : PQerrorMessage(conn_)));
    if (message_.empty()) message_ = local_to_gbk(one_line(PQerrorMessage(conn_)));
    return rc;
}

void ServerEngine::note_state(PGresult* res) {
    const PGTransactionStatusType ts = PQtransactionStatus(conn_);
    if (ts == PQTRANS_IDLE)
        open_tx_ = false;
    else if (ts == PQTRANS_INTRANS || ts == PQTRANS_INERROR)
        open_tx_ = true;
    // PQTRANS_UNKNOWN: the connection is gone; what was open stays open for
    // the caller to roll back.
    // With RETURNING a change comes back as rows, so the status decides.
    if (res != nullptr &&
        (PQresultStatus(res) == PGRES_COMMAND_OK || PQresultStatus(res) == PGRES_TUPLES_OK)) {
        const char* status = PQcmdStatus(res);
        if (starts_with(status, "INSERT") || starts_with(status, "UPDATE") || starts_with(status, "DELETE")) {
            changes_ = std::atoi(PQcmdTuples(res));
            if (starts_with(status, "INSERT")) inserted_ = true;
        }
    }
}

PGresult* ServerEngine::run(const std::string& statement, int& rc, bool repeatable) {
    // A session the server ended while we were idle is made again here, before
    // anything is sent (usable()): the statement then runs for the first time.
    //
    // Once a statement has gone out, libpq cannot tell whether the server ran
    // it before the connection broke: its result is simply missing. A change
    // sent again might then be made twice (a unit written off twice, a second
    // sale), so only what may safely run twice is run again: a read, and a
    // BEGIN (what a transaction did dies with its session). Never inside a
    // transaction either: the server rolled back its earlier statements with
    // the session, and the rest must not run on their own (usable() refuses
    // until the caller has rolled back).
    const bool outside = !inside();
    for (int attempt = 0;; ++attempt) {
        rc = SQLITE_OK;
        sent_ = false;
        if (!usable()) {
            rc = conn_ == nullptr ? SQLITE_MISUSE : SQLITE_IOERR;
            return nullptr;
        }
        sent_ = true;
        PGresult* res = PQexec(conn_, statement.c_str());
        const ExecStatusType st = PQresultStatus(res);
        if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK || st == PGRES_EMPTY_QUERY) {
            note_state(res);
            return res;
        }
        rc = fail(res);
        note_state(nullptr);
        PQclear(res);
        if (!repeatable || !outside || attempt > 0 || connected()) return nullptr;
    }
}

int ServerEngine::run_raw(const char* text) {
    int rc = SQLITE_OK;
    PQclear(run(text, rc));
    return rc;
}

int ServerEngine::exec(const char* sql, bool refuse_control) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr) return SQLITE_MISUSE;
    const std::vector<std::string> statements = pg::split_statements(sql != nullptr ? sql : "");
    if (refuse_control) {
        for (const std::string& s : statements) {
            if (pg::is_transaction_control(s)) {
                message_ = "a statement here may not begin or end a transaction";
                return SQLITE_AUTH;
            }
        }
    }
    for (const std::string& s : statements) {
        if (pg::is_transaction_control(s)) {
            const bool begins = begins_transaction(s);
            const int rc = check_control(begins);
            if (rc != SQLITE_OK) return rc;
            if (!begins && !rolls_back(s) && connected() && PQtransactionStatus(conn_) == PQTRANS_INERROR) {
                // The server would answer this COMMIT with a silent ROLLBACK.
                message_ = "the transaction had failed and was rolled back";
                run_raw("ROLLBACK");
                return SQLITE_ABORT;
            }
        }
        const std::string t = pg::translate(s);
        if (t.empty()) continue;
        // A transaction begun in the text may write: it holds the writers' key too.
        const bool begins = pg::is_transaction_control(s) && begins_transaction(s);
        const int rc = begins ? open_transaction(t + ";" + kServerWriterLock) : run_raw(t.c_str());
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

int ServerEngine::check_control(bool begins) {
    // The server only warns of a BEGIN inside a transaction or a COMMIT outside
    // one and carries on; the file refuses both, and the callers rely on that
    // (a transaction that could not begin makes the writes meant for it fail).
    if (!connected()) return SQLITE_OK; // run() reports it
    const bool inside = PQtransactionStatus(conn_) != PQTRANS_IDLE;
    if (begins && inside) {
        message_ = "cannot start a transaction within a transaction";
        return SQLITE_ERROR;
    }
    if (!begins && !inside) {
        message_ = "cannot commit - no transaction is active";
        return SQLITE_ERROR;
    }
    return SQLITE_OK;
}

int ServerEngine::query(const std::string& sql, RowReader read, RowContext& ctx) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr) return SQLITE_MISUSE;
    const std::vector<std::string> statements = pg::split_statements(sql);
    if (statements.empty()) return SQLITE_MISUSE; // nothing to run, as the file says
    if (statements.size() > 1) {
        message_ = "the text holds more than one statement";
        return SQLITE_ERROR;
    }
    const std::string t = pg::translate(statements.front());
    if (t.empty()) return SQLITE_OK;
    int rc = SQLITE_OK;
    // The store's SELECTs change nothing (the few that lock rows, FOR UPDATE,
    // do so inside transactions, where nothing runs again): one that failed
    // with its connection may run once more. Anything else (a change with
    // RETURNING) may have been made, and is not.
    PGresult* res = run(t, rc, first_word_is(t, "SELECT"));
    if (res == nullptr) return rc;
    const int rows = PQresultStatus(res) == PGRES_TUPLES_OK ? PQntuples(res) : 0;
    for (int i = 0; i < rows; ++i)
        read(Row(res, i), ctx);
    PQclear(res);
    return SQLITE_OK;
}

int ServerEngine::begin(bool write) {
    // A write runs READ COMMITTED: the callers take what they sell or take
    // back by conditional updates and count the rows changed, so no unit goes
    // twice. Reads that must agree with each other (a count and its rows, a
    // report's sums, a backup) see one state of the store, as in the file.
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr) return SQLITE_MISUSE;
    commit_unknown_ = false;
    const int rc = check_control(true);
    if (rc != SQLITE_OK) return rc;
    return open_transaction(write ? std::string("BEGIN;") + kServerWriterLock
                                  : "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
}

int ServerEngine::open_transaction(const std::string& begin) {
    // A BEGIN that found its connection gone runs again on a new one: it has
    // changed nothing that outlives its session.
    int rc = SQLITE_OK;
    PQclear(run(begin, rc, true));
    if (rc != SQLITE_OK && connected() && PQtransactionStatus(conn_) != PQTRANS_IDLE) {
        // The BEGIN went through and the writers' key did not (a lock timeout
        // the server was told to keep, a cancel): nothing may stay open.
        const std::string why = message_;
        rollback();
        message_ = why;
    }
    return rc;
}

int ServerEngine::commit() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr) return SQLITE_MISUSE;
    commit_unknown_ = false;
    if (connected() && PQtransactionStatus(conn_) == PQTRANS_INERROR) {
        // The server would answer COMMIT with a silent ROLLBACK.
        message_ = "the transaction had failed and was rolled back";
        run_raw("ROLLBACK");
        return SQLITE_ABORT;
    }
    if (!connected()) {
        // The server rolled it back when the connection went: nothing is
        // open any more, and the next statement may reconnect.
        message_ = "the connection to the server was lost before the commit";
        open_tx_ = false;
        return SQLITE_IOERR;
    }
    int rc = check_control(false);
    if (rc != SQLITE_OK) return rc;
    PGresult* res = run("COMMIT", rc);
    if (res == nullptr && !connected()) {
        open_tx_ = false;
        // Lost before the COMMIT went out (found gone by run()), the session
        // took the transaction with it. Lost after, the server may have
        // committed first: the answer can go missing on the way back, and a
        // session ended while COMMIT ran (its last word a FATAL message, not
        // the commit's) may still have committed, as when it was ended while
        // waiting for a standby after writing the commit locally. Only the
        // store can tell now; the caller asks it.
        commit_unknown_ = sent_;
    }
    if (res != nullptr && starts_with(PQcmdStatus(res), "ROLLBACK")) {
        message_ = "the transaction had failed and was rolled back";
        rc = SQLITE_ABORT;
    }
    PQclear(res);
    return rc;
}

bool ServerEngine::commit_outcome_unknown() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return commit_unknown_;
}

void ServerEngine::rollback() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr) return;
    if (connected()) {
        if (PQtransactionStatus(conn_) != PQTRANS_IDLE) {
            PGresult* res = PQexec(conn_, "ROLLBACK");
            PQclear(res);
        }
    }
    // On a lost connection the server has rolled back already; the next
    // statement may reconnect.
    open_tx_ = false;
}

bool ServerEngine::in_transaction() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return conn_ != nullptr && inside();
}

int64_t ServerEngine::last_insert_id() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    // lastval() fails until this session has drawn from a sequence, and a
    // failure inside a transaction would spoil it; nothing inserted, no id.
    if (!inserted_ || !connected()) return 0;
    const bool inside = PQtransactionStatus(conn_) == PQTRANS_INTRANS;
    if (PQtransactionStatus(conn_) == PQTRANS_INERROR) return 0;
    int64_t id = 0;
    if (inside) {
        PGresult* sp = PQexec(conn_, "SAVEPOINT vorn_lastval");
        const bool ok = PQresultStatus(sp) == PGRES_COMMAND_OK;
        PQclear(sp);
        if (!ok) return 0;
    }
    PGresult* res = PQexec(conn_, "SELECT lastval()");
    const bool ok = PQresultStatus(res) == PGRES_TUPLES_OK && PQntuples(res) == 1;
    if (ok) id = std::strtoll(PQgetvalue(res, 0, 0), nullptr, 10);
    PQclear(res);
    if (inside) {
        PGresult* end =
            PQexec(conn_, ok ? "RELEASE SAVEPOINT vorn_lastval"
                             : "ROLLBACK TO SAVEPOINT vorn_lastval; RELEASE SAVEPOINT vorn_lastval");
        PQclear(end);
    }
    return id;
}

int ServerEngine::changes() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return changes_;
}

int ServerEngine::has_table(const char* name) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr || name == nullptr) return -1;
    // Names compare as SQLite compares them, without regard to case: the
    // translated schema leaves most unquoted (folded to lower case) and quotes
    // the one that is a keyword on the server ("User"). Quotes in the name are
    // doubled: standard strings take nothing else as special.
    std::string literal = "'";
    for (const char* p = name; *p; ++p)
        literal += *p == '\'' ? std::string("''") : std::string(1, *p);
    literal += "'";
    int rc = SQLITE_OK;
    PGresult* res = run("SELECT count(*) FROM pg_catalog.pg_tables "
                        "WHERE schemaname = current_schema() AND lower(tablename) = lower(" +
                            literal + ")",
                        rc, true);
    const int n = res != nullptr && PQntuples(res) == 1 ? std::atoi(PQgetvalue(res, 0, 0)) : -1;
    PQclear(res);
    return n;
}

int ServerEngine::indexes_present(const std::vector<const char*>& names) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr) return -1;
    int rc = SQLITE_OK;
    PGresult* res = run(
        "SELECT lower(indexname) FROM pg_catalog.pg_indexes WHERE schemaname = current_schema()", rc, true);
    if (res == nullptr) return -1;
    int found = 0;
    for (const char* name : names) {
        std::string wanted(name);
        for (char& c : wanted)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        for (int i = 0; i < PQntuples(res); ++i) {
            if (wanted == PQgetvalue(res, i, 0)) {
                ++found;
                break;
            }
        }
    }
    PQclear(res);
    return found;
}

std::string ServerEngine::identity() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ == nullptr) return "";
    return "server:" + server_name(conn_, conninfo_);
}

std::string ServerEngine::last_message() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return message_;
}

int ServerEngine::ensure_schema(bool& created) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    created = false;
    if (conn_ == nullptr) return SQLITE_MISUSE;
    // Two tills starting at once against a new database would both find no
    // tables and both create them, and replacing the same function from two
    // sessions at once fails on the server ("tuple concurrently updated"): the
    // whole is done under one lock of the database, and looked at again under it.
    int rc = run_raw("BEGIN");
    if (rc != SQLITE_OK) return rc;
    rc = run_raw(kServerStoreLock);
    int have = 0;
    if (rc == SQLITE_OK) {
        have = has_table("User");
        if (have < 0) rc = SQLITE_IOERR;
    }
    // The server's texts are run whole: the function bodies hold semicolons
    // inside their dollar quotes, and both are written for the server already.
    if (rc == SQLITE_OK && have == 0) {
        const std::string schema = pg::server_schema(kSchemaText);
        rc = run_raw(schema.c_str());
    }
    if (rc == SQLITE_OK) rc = run_raw(pg::kServerFunctions);
    if (rc == SQLITE_OK) rc = commit();
    if (rc != SQLITE_OK) {
        const std::string why = message_;
        rollback();
        message_ = why;
        return rc;
    }
    created = have == 0;
    return SQLITE_OK;
}

int ServerEngine::close() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (conn_ != nullptr) PQfinish(conn_);
    conn_ = nullptr;
    open_tx_ = false;
    return SQLITE_OK;
}

} // namespace vorn::detail

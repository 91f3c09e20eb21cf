// vorn::Core: the one connection to the shop's encrypted database file "__vorn__".
//
// Every read and write of the program goes through this class. Conditions are SQL
// text placed after " WHERE " (null or empty: the whole table); any user text in
// them must go through vorn::sql_escape() (vorn/sqltext.h). Selects write into the
// caller's array from position 0 and never bound their writes: count first with
// the same condition and make room.
//
// Calls may come from the GUI thread and from one worker at the same time: row
// delivery keeps its position per call, and SQLite runs in serialized mode.
// Every call that takes condition or expression text runs exactly one statement:
// text carrying a second one is refused (-1) and nothing of it runs. Writes of
// several statements go through one vorn::Transaction (vorn/transaction.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vorn/export.h"
#include "vorn/records.h"
#include "vorn/sqltext.h"

namespace vorn {

namespace detail {
class Engine;
}

class Transaction;
class ReadSnapshot;

// A refused password check, kept in table LoginFail (beside the six tables)
// so that an owner can see who was refused, where and when. Texts are GBK.
struct LoginFailRec {
    int FLFi_Id = 0;
    std::string FLFs_Name;  // the user name as typed
    int64_t FLFt_Time = 0;  // local time, seconds since 1970
    std::string FLFs_Place; // the dialog that refused it ("用户登录", "用户切换", ...)
};

class VORNCORE_API Core {
public:
    Core();
    // Copies share the connection; only one of them may close it.
    Core(const Core&) = default;
    Core& operator=(const Core&) = default;
    // Does not close: the owner calls close() first.
    ~Core() = default;

    // The store on a PostgreSQL server instead of the file: a libpq connection
    // string or "service=name" (passwords from libpq's own password file);
    // empty for the file. Every Core made afterwards in this process starts
    // with it; set_server() changes one (before open()). The pages never learn
    // which one they talk to.
    static void set_default_server(const std::string& conninfo);
    static std::string default_server();
    void set_server(const std::string& conninfo) { server_ = conninfo; }
    const std::string& server() const { return server_; }
    // True when the open store is on a server.
    bool on_server() const;
    // Why the latest open() failed, in words for the user (GBK): for a server,
    // which one and the reason. Empty after a successful open.
    const std::string& open_message() const { return open_message_; }

    // 0 on success, else the SQLite code of the step that failed (the store then
    // stays closed; a server that cannot be reached: SQLITE_CANTOPEN). Creates the schema (through create_table) when the file did
    // not exist, and stores the built-in administrator's documented password
    // as a hash right away. On a writable store, adds the tables the program
    // keeps beside the six where they are missing. A write that meets another
    // process's lock waits up to 5 s.
    int open();
    // The result of sqlite3_close; afterwards is_open() is 0.
    int close();
    int is_open();
    // The SQLite code of running the text (may hold several statements).
    int exec_sql(const char* sql);
    // Runs the statements in one transaction: all of them or, on the first
    // failure, none. 0, or the SQLite code of what failed. The text may not
    // begin, commit or roll back a transaction itself (savepoints are fine).
    int exec_in_transaction(const std::string& statements);

    // Not part of the file format: creates the indexes the program's queries
    // rely on (IF NOT EXISTS) and sizes the page cache. Call after open().
    // 0 on success, else the SQLite code. A store we may not write (read-only
    // file or folder) keeps working without them: 0, and nothing is built.
    int ensure_indexes();
    // True when any of the indexes ensure_indexes() builds is absent, so the
    // caller can show a busy window first: building them on a large store
    // made elsewhere takes a while. False on a closed store.
    bool indexes_missing();

    // Goods units
    int get_srec_count(const char* cond);
    int select_srec(SRec* out, const char* cond);
    int insert_srec(const SRec* recs, int n);
    int insert_srec(SRec* const* recs, int n);
    int update_srec(const SRec* recs, int n);
    int update_srec(SRec* const* recs, int n);
    int delete_srec(const SRec* recs, int n);
    int delete_srec(SRec* const* recs, int n);
    // out[0] = TOTAL(e1), and out[1] = TOTAL(e2) when e2 is given. 1 or -1.
    int get_srec_total(double* out, const char* e1, const char* e2, const char* cond);
    // Codes with at least one unit in stock and fewer than limit of them.
    int get_srec_alarm_count(int limit);
    // Per low code: FSs_Code, FSs_Name and the in-stock count (text) in FSs_Remark.
    int select_srec_alarm(SRec* out, int limit);

    // Goods types
    int get_trec_count(const char* cond);
    int select_trec(TRec* out, const char* cond);
    int insert_trec(const TRec* recs, int n);
    int insert_trec(TRec* const* recs, int n);
    int update_trec(const TRec* recs, int n);
    int update_trec(TRec* const* recs, int n);
    int delete_trec(const TRec* recs, int n);
    int delete_trec(TRec* const* recs, int n);

    // Suppliers
    int get_sprec_count(const char* cond);
    int select_sprec(SPRec* out, const char* cond);
    int insert_sprec(const SPRec* recs, int n);
    int insert_sprec(SPRec* const* recs, int n);
    int update_sprec(const SPRec* recs, int n);
    int update_sprec(SPRec* const* recs, int n);
    int delete_sprec(const SPRec* recs, int n);
    int delete_sprec(SPRec* const* recs, int n);

    // User accounts
    int get_urec_count(const char* cond);
    int select_urec(URec* out, const char* cond);
    int insert_urec(const URec* recs, int n);
    int insert_urec(URec* const* recs, int n);
    int update_urec(const URec* recs, int n);
    int update_urec(URec* const* recs, int n);
    int delete_urec(const URec* recs, int n);
    int delete_urec(URec* const* recs, int n);

    // Setting rows (fixed ids 1 to 9; no insert or delete)
    int get_arec_count(const char* cond);
    int select_arec(ARec* out, const char* cond);
    int update_arec(const ARec* recs, int n);
    int update_arec(ARec* const* recs, int n);

    // Members
    int get_viprec_count(const char* cond);
    int select_viprec(VIPRec* out, const char* cond);
    int insert_viprec(const VIPRec* recs, int n);
    int insert_viprec(VIPRec* const* recs, int n);
    int update_viprec(const VIPRec* recs, int n);
    int update_viprec(VIPRec* const* recs, int n);
    int delete_viprec(const VIPRec* recs, int n);
    int delete_viprec(VIPRec* const* recs, int n);

    // Refused password checks (table LoginFail, created at open). Adding one
    // keeps the latest kLoginFailKept rows and drops older ones. 1, or -1 when
    // nothing was written (a read-only store).
    static constexpr int kLoginFailKept = 500;
    int insert_login_fail(const LoginFailRec& rec);
    // The latest `limit` refusals, newest first, replacing `out`; their number,
    // or -1 when the query failed (out is then empty).
    int select_login_fail(std::vector<LoginFailRec>& out, int limit);

    // Shop settings (table Addition). A setter answers whether its row was
    // written (a full disk, a busy or read-only file: false); callers that do not
    // ask keep working as before.
    std::string get_shop_name();
    bool set_shop_name(const char* value);
    std::string get_shop_phone();
    bool set_shop_phone(const char* value);
    std::string get_shop_addr();
    bool set_shop_addr(const char* value);
    std::string get_shop_pa();
    bool set_shop_pa(const char* value);
    bool get_run_alarm();
    bool set_run_alarm(bool on);
    int get_alarm_limit();
    bool set_alarm_limit(int limit);
    bool get_run_birt_alarm();
    bool set_run_birt_alarm(bool on);
    int get_birt_alarm_limit();
    bool set_birt_alarm_limit(int days);

    // The SQLite result code of the latest store call that failed, on any Core
    // and any thread (a batch on the busy window's worker is reported by the GUI
    // thread); 0 until one has, and again after a transaction commits. Lets a
    // page name the cause of a failure it reports (SQLITE_FULL, 13: the disk is full).
    static int last_error();
    // True when code (a result code, or last_error()) means the disk is full.
    static bool is_disk_full(int code);

    // Reads every page of the open file (PRAGMA quick_check): 0 when it reports
    // the file sound; SQLITE_CORRUPT when it reports damage; else the code of
    // what kept it from running (a wrong key: SQLITE_NOTADB).
    int quick_check();
    // Whether the open file is readable under the key it was opened with: 0, or
    // SQLITE_NOTADB for a wrong key or a file that is no store.
    int check_key();
    // The passphrase the file is encrypted with; empty for the program's own
    // key. Used by the next open(); copies made afterwards share it.
    void set_passphrase(const std::string& passphrase);
    const std::string& passphrase() const { return passphrase_; }
    // Re-encrypts the open file in place under passphrase (empty: the
    // program's own key), all or nothing. 0, or the SQLite code of the failure
    // (the file keeps its old key then).
    int rekey(const std::string& passphrase);

protected:
    // Runs the schema text of a new file; a derived class may supply another.
    virtual int create_table();
    // True to open the file for reading only, as the system does by itself for
    // a file the user may not write; never creates the file.
    virtual bool read_only() const { return false; }

    // The engine, shared by copies; null while closed.
    detail::Engine* db;

private:
    friend class Transaction;
    friend class ReadSnapshot;
    friend class Journal;
    friend class Articles;
    friend class StockTakes;
    friend class Ranking;
    friend class AlarmLimits;
    friend class Shifts;
    friend class HeldSales;

    int open_server();
    std::string get_setting_text(int id);
    bool set_setting_text(int id, const char* label, const char* value);

    std::shared_ptr<detail::Engine> engine_;
    std::string passphrase_;
    std::string server_;
    std::string open_message_;
};

} // namespace vorn

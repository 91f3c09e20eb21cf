// Shared pieces of the library tests: a fresh store in a private directory per
// test (the store is "__vorn__" in the current directory), GBK text from readable
// literals, sample records.
//
// With VORN_TEST_SERVER_DIR naming a cluster started by scripts/pgcluster.sh,
// the same tests run against the server: each test gets a database of its own,
// and every Core it opens goes there.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>
#include <libpq-fe.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "vorn/core.h"
#include "vorn/password.h"

namespace vorntest {

// The cluster folder of the server run; null for the file.
inline const char* server_dir() {
    const char* d = getenv("VORN_TEST_SERVER_DIR");
    return d != nullptr && *d != '\0' ? d : nullptr;
}

// True when this run puts the store on the server.
inline bool on_server() {
    return server_dir() != nullptr;
}

// For tests of what only the store file has: its key, its bytes, its file
// permissions.
#define VORN_FILE_ONLY()                                                                                     \
    do {                                                                                                     \
        if (vorntest::on_server()) GTEST_SKIP() << "the store file only";                                    \
    } while (0)

// Fault injection for either engine: text that makes every statement of
// `when` ("INSERT ON SalePayment", "UPDATE ON VIP") fail as a broken constraint
// would (SQLITE_CONSTRAINT), through a trigger called name; and the text that
// takes it away again. The server's trigger calls a function of its own.
inline std::string failing_trigger(const std::string& name, const std::string& when,
                                   const std::string& message = "forced") {
    if (!on_server())
        return "CREATE TRIGGER " + name + " BEFORE " + when + " BEGIN SELECT RAISE(ABORT,'" + message +
               "'); END;";
    return "CREATE OR REPLACE FUNCTION vorn_fail_" + name +
           "() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN " + "RAISE EXCEPTION '" + message +
           "' USING ERRCODE = 'integrity_constraint_violation'; END$$;" + "CREATE TRIGGER " + name +
           " BEFORE " + when + " FOR EACH ROW EXECUTE FUNCTION vorn_fail_" + name + "();";
}
inline std::string dropping_trigger(const std::string& name, const std::string& table) {
    if (!on_server()) return "DROP TRIGGER " + name + ";";
    return "DROP TRIGGER " + name + " ON " + table + ";DROP FUNCTION vorn_fail_" + name + "();";
}

// One line of a file, without its line end; empty when it cannot be read.
inline std::string first_line(const std::filesystem::path& path) {
    std::ifstream f(path);
    std::string line;
    std::getline(f, line);
    return line;
}

// Runs one statement on the cluster's own "postgres" database; the server's
// message on failure, empty on success.
inline std::string cluster_command(const std::string& url, const std::string& sql) {
    PGconn* conn = PQconnectdb(url.c_str());
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
        error = PQerrorMessage(conn);
    } else {
        PGresult* res = PQexec(conn, sql.c_str());
        if (PQresultStatus(res) != PGRES_COMMAND_OK) error = PQresultErrorMessage(res);
        PQclear(res);
    }
    PQfinish(conn);
    return error;
}

// A fresh database on the test cluster for one test; dropped with it.
class ServerDatabase {
public:
    // The cluster's connection string, or why there is none: skipped (the
    // cluster script found no server binaries and said so) or failed.
    static bool cluster_url(std::string& url, std::string& why, bool& skipped) {
        const std::filesystem::path dir = server_dir();
        url = first_line(dir / "url");
        skipped = false;
        if (!url.empty()) return true;
        why = first_line(dir / "skipped");
        skipped = !why.empty();
        if (!skipped)
            why = "no cluster in " + dir.string() +
                  " (scripts/pgcluster.sh start did not finish; see the "
                  "server_cluster_start test)";
        return false;
    }

    // Creates the database; the connection string of it, empty on failure.
    std::string create(const std::string& cluster) {
        static int counter = 0;
        cluster_ = cluster;
        name_ = "vt_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
        const std::string error =
            cluster_command(cluster_, "CREATE DATABASE " + name_ +
                                          " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'");
        if (!error.empty()) {
            ADD_FAILURE() << "cannot create the test database " << name_ << ": " << error;
            name_.clear();
            return "";
        }
        // A later dbname overrides the cluster string's own.
        return cluster_ + " dbname=" + name_;
    }
    void drop() {
        if (name_.empty()) return;
        const std::string error =
            cluster_command(cluster_, "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
        EXPECT_EQ(error, "") << "dropping the test database " << name_;
        name_.clear();
    }
    const std::string& name() const { return name_; }

private:
    std::string cluster_, name_;
};

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Password hashes need not be slow here: every test makes a new store.
        vorn::set_password_iterations(64);
        old_cwd_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "vorn-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
        if (on_server()) {
            std::string cluster, why;
            bool skipped = false;
            // A skipped test's body never runs, whatever a fixture below opens.
            if (!ServerDatabase::cluster_url(cluster, why, skipped)) {
                if (skipped) GTEST_SKIP() << why;
                FAIL() << why;
            }
            server_url_ = database_.create(cluster);
            ASSERT_FALSE(server_url_.empty());
            vorn::Core::set_default_server(server_url_);
        }
    }
    void TearDown() override {
        if (on_server()) {
            vorn::Core::set_default_server("");
            database_.drop();
        }
        std::filesystem::current_path(old_cwd_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::filesystem::path dir_, old_cwd_;
    // The test's database on the server run (its connection string).
    ServerDatabase database_;
    std::string server_url_;
};

// A test directory with an open store.
class StoreTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        // The member was made before the test's server was named.
        if (!server_url_.empty()) core.set_server(server_url_);
        ASSERT_EQ(core.open(), 0);
    }
    void TearDown() override {
        if (core.is_open()) core.close();
        TempDirTest::TearDown();
    }
    vorn::Core core;
};

// Sources are UTF-8; the store holds GBK.
inline std::string gbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    std::string out(utf8.size() * 2 + 4, '\0');
    char *in = const_cast<char*>(utf8.data()), *o = out.data();
    size_t in_left = utf8.size(), out_left = out.size();
    EXPECT_NE(iconv(cd, &in, &in_left, &o, &out_left), static_cast<size_t>(-1)) << utf8;
    iconv_close(cd);
    out.resize(out.size() - out_left);
    return out;
}

inline std::string file_bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Sets TZ for one scope and puts the old zone back.
struct TzGuard {
    explicit TzGuard(const char* tz) : had(getenv("TZ") != nullptr), old(had ? getenv("TZ") : "") {
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TzGuard() {
        had ? setenv("TZ", old.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    bool had;
    std::string old;
};

inline vorn::SRec unit(const std::string& code, const std::string& name, int flag = 0, double ret = 10.0,
                       double rea = 0.0, int64_t sto = 0, int64_t sal = 0) {
    vorn::SRec r;
    r.FSi_Id = 0;
    r.FSs_Code = code;
    r.FSs_Name = name;
    r.FSi_Type = r.FSi_Supplier = 1;
    r.FSs_Size = "M";
    r.FSd_OriP = 5.0;
    r.FSd_RetP = ret;
    r.FSd_MemP = ret - 1;
    r.FSd_GolP = ret - 2;
    r.FSd_WhoP = ret - 3;
    r.FSd_SpeP = ret - 4;
    r.FSt_StoT = sto;
    r.FSd_ReaP = rea;
    r.FSt_SalT = sal;
    r.FSi_Flag = flag;
    return r;
}

inline vorn::VIPRec member(const std::string& code, const std::string& name, int64_t bir = 0,
                           int64_t cre = 0) {
    vorn::VIPRec v;
    v.FVi_Id = v.FVi_Type = v.FVi_Grade = 0;
    v.FVs_Code = code;
    v.FVs_Name = name;
    v.FVt_BirT = bir;
    v.FVt_CreT = cre;
    v.FVs_EMail = "a@b.c";
    v.FVs_Phone = "13800000000";
    v.FVs_Addr = "addr";
    return v;
}

// Count, make room, select: the way the program reads rows.
inline std::vector<vorn::SRec> all_units(vorn::Core& core, const char* cond = nullptr) {
    int n = core.get_srec_count(cond);
    std::vector<vorn::SRec> v(n > 0 ? n : 0);
    EXPECT_EQ(core.select_srec(v.data(), cond), n);
    return v;
}

} // namespace vorntest

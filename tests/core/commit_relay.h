// A relay between a store and the test cluster that can lose the server's
// answer to a COMMIT: the network failing just after the server committed,
// made on demand and without timing.
//
// It listens on a Unix socket of its own and passes every byte both ways.
// Once armed, it reads the server's messages as they come (a type byte and a
// length: the server's side of the protocol is framed from its first byte on
// a Unix socket, where no TLS is asked for) and, at the answer to the next
// COMMIT, closes both sides instead of passing that answer on. The client's
// COMMIT then fails with its connection lost; the server has committed.
#pragma once

#include <arpa/inet.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core_fixture.h"
#include "vorn/core.h"
#include "vorn/journal.h"

namespace vorntest {

class CommitRelay {
public:
    // database_url: a connection string of the cluster ("host=<socket folder>
    // port=<n> ... dbname=<db>"), the server's socket being <host>/.s.PGSQL.<port>.
    explicit CommitRelay(const std::string& database_url) {
        const std::string host = value_of(database_url, "host"), port = value_of(database_url, "port");
        server_path_ = host + "/.s.PGSQL." + port;
        std::string tmpl = (std::filesystem::temp_directory_path() / "vorn-relay-XXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr) return;
        dir_ = tmpl;
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un a = address((dir_ / (".s.PGSQL." + port)).string());
        if (bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
            listen(listener_, 8) != 0 || pipe(wake_) != 0)
            return;
        // A later host overrides the string's own.
        url_ = database_url + " host=" + dir_.string() + " sslmode=disable gssencmode=disable";
        thread_ = std::thread([this] { relay(); });
    }
    ~CommitRelay() {
        if (thread_.joinable()) {
            const char stop = 's';
            (void)!write(wake_[1], &stop, 1);
            thread_.join();
        }
        for (int fd : {listener_, wake_[0], wake_[1]})
            if (fd >= 0) close(fd);
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    CommitRelay(const CommitRelay&) = delete;
    CommitRelay& operator=(const CommitRelay&) = delete;

    // The connection string through the relay; empty when it could not start.
    const std::string& url() const { return url_; }
    // The next COMMIT's answer is lost.
    void lose_next_commit_answer() { armed_ = true; }
    // How many answers were lost so far.
    int lost() const { return lost_; }

private:
    struct Pair {
        int client, server;
        std::string from_server; // bytes of a message not yet whole
    };

    static std::string value_of(const std::string& conninfo, const std::string& key) {
        std::string value;
        for (size_t at = conninfo.find(key + "="); at != std::string::npos;
             at = conninfo.find(key + "=", at + 1)) {
            if (at != 0 && conninfo[at - 1] != ' ') continue;
            const size_t from = at + key.size() + 1;
            value = conninfo.substr(from, conninfo.find(' ', from) - from); // the last one counts
        }
        return value;
    }
    static sockaddr_un address(const std::string& path) {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
        return a;
    }
    static bool send_all(int fd, const char* p, size_t n) {
        while (n > 0) {
            const ssize_t w = send(fd, p, n, MSG_NOSIGNAL);
            if (w <= 0) return false;
            p += w;
            n -= static_cast<size_t>(w);
        }
        return true;
    }
    static void end(Pair& p) {
        shutdown(p.client, SHUT_RDWR);
        close(p.client);
        close(p.server);
        p.client = p.server = -1;
    }

    // Passes the server's whole messages on; false when the pair is ended.
    bool from_server(Pair& p) {
        size_t at = 0;
        while (p.from_server.size() - at >= 5) {
            uint32_t len = 0;
            std::memcpy(&len, p.from_server.data() + at + 1, 4);
            const size_t whole = 1 + ntohl(len);
            if (p.from_server.size() - at < whole) break;
            const char type = p.from_server[at];
            if (type == 'C' && armed_ && p.from_server.compare(at + 5, 6, "COMMIT") == 0) {
                armed_ = false;
                ++lost_;
                end(p);
                return false;
            }
            if (!send_all(p.client, p.from_server.data() + at, whole)) return false;
            at += whole;
        }
        p.from_server.erase(0, at);
        return true;
    }

    void relay() {
        std::vector<Pair> pairs;
        for (;;) {
            std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
            for (const Pair& p : pairs) {
                fds.push_back({p.client, POLLIN, 0});
                fds.push_back({p.server, POLLIN, 0});
            }
            if (poll(fds.data(), fds.size(), -1) < 0) continue;
            if (fds[0].revents != 0) break;
            const size_t polled = pairs.size(); // a pair accepted now waits for the next round
            if (fds[1].revents & POLLIN) {
                Pair p{accept(listener_, nullptr, nullptr), socket(AF_UNIX, SOCK_STREAM, 0), {}};
                const sockaddr_un a = address(server_path_);
                if (connect(p.server, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0)
                    pairs.push_back(p);
                else
                    end(p);
            }
            for (size_t i = 0; i < polled; ++i) {
                Pair& p = pairs[i];
                const short client = fds[2 + 2 * i].revents, server = fds[3 + 2 * i].revents;
                char buf[65536];
                bool alive = true;
                if (client != 0) {
                    const ssize_t n = read(p.client, buf, sizeof buf);
                    alive = n > 0 && send_all(p.server, buf, static_cast<size_t>(n));
                }
                if (alive && server != 0) {
                    const ssize_t n = read(p.server, buf, sizeof buf);
                    if (n > 0) p.from_server.append(buf, static_cast<size_t>(n));
                    alive = from_server(p) && n > 0;
                }
                if (!alive && p.client >= 0) end(p);
            }
            std::erase_if(pairs, [](const Pair& p) { return p.client < 0; });
        }
        for (Pair& p : pairs)
            end(p);
    }

    std::filesystem::path dir_;
    std::string server_path_, url_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::atomic<bool> armed_{false};
    std::atomic<int> lost_{0};
    std::thread thread_;
};

// Server text after which a transaction that inserted a row of table
// matching when (a condition on NEW) has its session end inside its COMMIT,
// before the commit is made: a deferred trigger, which the COMMIT runs first,
// terminates its own server process. Run it as it is (cluster_command).
inline std::string ends_session_at_commit(const std::string& table, const std::string& when) {
    return "CREATE FUNCTION vorn_end_session() RETURNS trigger LANGUAGE plpgsql AS "
           "$$BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; END$$;"
           "CREATE CONSTRAINT TRIGGER ends_session AFTER INSERT ON " +
           table + " DEFERRABLE INITIALLY DEFERRED FOR EACH ROW WHEN (" + when +
           ") EXECUTE FUNCTION vorn_end_session();";
}

// A till that reaches the store through a relay, on a store where a Sale row
// written by the cashier "ends" ends its session inside the COMMIT. Ready
// when problem is empty.
struct RelayedTill {
    explicit RelayedTill(const std::string& server_url) : relay(server_url) {
        if (relay.url().empty()) {
            problem = "the relay did not start";
            return;
        }
        core.set_server(relay.url());
        if (core.open() != 0) {
            problem = "the store did not open through the relay";
            return;
        }
        problem = cluster_command(server_url, ends_session_at_commit("Sale", "NEW.FSAs_User = 'ends'"));
    }

    CommitRelay relay;
    vorn::Core core;
    vorn::Journal journal{core};
    std::string problem;
};

} // namespace vorntest

// vorn_bench [--units N] [--noindex] [--codes K] [--extra SQL] [--dir D]
// Measures the store's everyday operations on a generated shop of N goods units
// (default 1,000,000). The shop is generated once per N into /tmp/vorn-bench-N-noidx
// and copied to /tmp/vorn-bench-N, where the indexes are added; writes go to a
// scratch copy so that reruns measure the same data. --extra runs SQL (further
// indexes, pragmas) on every connection after ensure_indexes, to try variants;
// --dir puts the indexed store elsewhere, so that such trials leave the usual one alone.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "gen.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Processor time of this process, to tell a slow operation from a busy machine.
double cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::string load_average() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    in >> one;
    return one.empty() ? "?" : one;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void report(const char* what, double value, const char* unit, double target, double cpu = -1) {
    std::printf("%-58s %10.3f %-3s target < %g %-3s %-6s", what, value, unit, target, unit,
                value < target ? "ok" : "MISSED");
    if (cpu >= 0) std::printf(" (cpu %.3f %s)", cpu, unit);
    std::printf("\n");
    std::fflush(stdout);
}

struct Meta {
    int64_t begin = 0, end = 0;
    int types[10] = {};
};

bool read_meta(const fs::path& file, Meta& m) {
    std::ifstream in(file);
    if (!(in >> m.begin >> m.end)) return false;
    for (int& t : m.types)
        if (!(in >> t)) return false;
    return true;
}

// The generated shop without indexes; made once per size.
bool ensure_plain(const fs::path& dir, int units) {
    if (fs::exists(dir / "__vorn__") && fs::exists(dir / "meta.txt")) return true;
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
    vorn::Core core;
    if (core.open() != 0) return false;
    vorn::bench::GenOptions opt;
    opt.units = units;
    opt.members = std::max(100, units / 20);
    opt.seed = 20240601;
    vorn::bench::GenResult res;
    const auto t0 = Clock::now();
    int rc = vorn::bench::generate(
        core, opt,
        [&](const char* stage, long done, long total) {
            std::printf("\rgenerating %-8s %ld/%ld  %.0f s", stage, done, total, seconds_since(t0));
            if (done >= total) std::printf("\n");
            std::fflush(stdout);
        },
        &res);
    core.close();
    if (rc != 0) return false;
    std::ofstream meta(dir / "meta.txt");
    meta << res.span_begin << ' ' << res.span_end;
    for (int t : res.type_ids)
        meta << ' ' << t;
    meta << '\n';
    std::printf("generated %d units (%d sold), %d codes, %d members in %.1f s\n", res.units, res.sold,
                res.codes, res.members, seconds_since(t0));
    return static_cast<bool>(meta);
}

void copy_store(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    fs::copy_file(from / "__vorn__", to / "__vorn__", fs::copy_options::overwrite_existing);
    fs::copy_file(from / "meta.txt", to / "meta.txt", fs::copy_options::overwrite_existing);
}

std::string day_text(int64_t t) {
    std::string s = vorn::format_date(t);
    return s + " 00:00:00";
}

// Midnight texts of consecutive calendar months or days, computed on the
// calendar so that daylight saving does not shift them.
std::string month_start(int y, int m) {
    while (m < 1)
        m += 12, --y;
    while (m > 12)
        m -= 12, ++y;
    char b[64];
    std::snprintf(b, sizeof b, "%04d-%02d-01 00:00:00", y, m);
    return b;
}

std::string day_start(int y, int m, int d) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = 12;
    std::time_t t = timegm(&tm);
    gmtime_r(&t, &tm);
    char b[64];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d 00:00:00", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return b;
}

std::string sold_between(const std::string& from, const std::string& to) {
    return "FSi_Flag=1 AND FSt_SalT>='" + from + "' AND FSt_SalT<'" + to + "'";
}

} // namespace

int main(int argc, char** argv) {
    int units = 1000000;
    bool noindex = false;
    int ncodes = -1;
    std::string extra;
    std::string other_dir;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc)
            units = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--noindex"))
            noindex = true;
        else if (!std::strcmp(argv[i], "--codes") && i + 1 < argc)
            ncodes = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--extra") && i + 1 < argc)
            extra = argv[++i];
        else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc)
            other_dir = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: vorn_bench [--units N] [--noindex] [--codes K] [--extra SQL] [--dir D]\n");
            return 2;
        }
    }
    if (units < 50) units = 50;
    // Without indexes every lookup scans the table; fewer codes keep the run short.
    if (ncodes <= 0) ncodes = noindex && units > 100000 ? 20 : 200;

    const fs::path plain = "/tmp/vorn-bench-" + std::to_string(units) + "-noidx";
    const fs::path indexed =
        other_dir.empty() ? fs::path("/tmp/vorn-bench-" + std::to_string(units)) : fs::path(other_dir);
    const fs::path dir = noindex && other_dir.empty() ? plain : indexed;
    const fs::path scratch = dir.string() + "-scratch";
    if (!ensure_plain(plain, units)) {
        std::fprintf(stderr, "generating the shop failed\n");
        return 1;
    }
    if (dir == indexed && !fs::exists(indexed / "__vorn__")) copy_store(plain, indexed);
    Meta meta;
    if (!read_meta(dir / "meta.txt", meta)) {
        std::fprintf(stderr, "%s is unreadable\n", (dir / "meta.txt").c_str());
        return 1;
    }

    fs::current_path(dir);
    vorn::Core core;
    if (core.open() != 0) return 1;
    if (!noindex) {
        const auto t0 = Clock::now();
        if (int rc = core.ensure_indexes(); rc != 0) {
            std::fprintf(stderr, "ensure_indexes failed: %d\n", rc);
            return 1;
        }
        std::printf("ensure_indexes: %.2f s\n", seconds_since(t0));
    }
    if (!extra.empty()) {
        const auto t0 = Clock::now();
        if (int rc = core.exec_sql(extra.c_str()); rc != 0) {
            std::fprintf(stderr, "--extra failed: %d\n", rc);
            return 1;
        }
        std::printf("extra SQL: %.2f s\n", seconds_since(t0));
    }
    const int total_units = core.get_srec_count(nullptr);
    std::printf("store %s: %d units, %s; load average %s\n", dir.c_str(), total_units,
                noindex ? "without ensure_indexes" : "with ensure_indexes", load_average().c_str());

    std::mt19937_64 rnd(7);
    const int codes = vorn::bench::code_count(units);

    // The counter looks a code up three times per scan.
    {
        std::vector<double> scan, c1, c2, sel, cpu;
        std::vector<vorn::SRec> rows;
        for (int i = 0; i < ncodes; ++i) {
            const std::string code = vorn::bench::goods_code(static_cast<int>(rnd() % codes));
            const std::string all = "FSs_Code='" + code + "'";
            const std::string stock = "FSi_Flag=0 AND FSs_Code='" + code + "'";
            const double cpu0 = cpu_seconds();
            const auto t0 = Clock::now();
            const int n = core.get_srec_count(all.c_str());
            const auto t1 = Clock::now();
            const int in_stock = core.get_srec_count(stock.c_str());
            const auto t2 = Clock::now();
            rows.resize(static_cast<size_t>(std::max(in_stock, 0)));
            const int got = core.select_srec(rows.data(), stock.c_str());
            const auto t3 = Clock::now();
            if (n <= 0 || got != in_stock)
                std::fprintf(stderr, "code %s: %d units, %d/%d in stock\n", code.c_str(), n, got, in_stock);
            auto ms = [](Clock::time_point a, Clock::time_point b) {
                return std::chrono::duration<double, std::milli>(b - a).count();
            };
            c1.push_back(ms(t0, t1));
            c2.push_back(ms(t1, t2));
            sel.push_back(ms(t2, t3));
            scan.push_back(ms(t0, t3));
            cpu.push_back((cpu_seconds() - cpu0) * 1000);
        }
        std::printf("  (counter parts, medians over %d codes: count %.3f ms, count in stock %.3f ms, select "
                    "%.3f ms)\n",
                    ncodes, median(c1), median(c2), median(sel));
        report("counter scan: 2 counts + select of one code, median", median(scan), "ms", 5, median(cpu));
    }

    {
        std::vector<double> t, cpu;
        int n = 0;
        for (int i = 0; i < 5; ++i) {
            const double cpu0 = cpu_seconds();
            const auto t0 = Clock::now();
            n = core.get_srec_alarm_count(5);
            t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            cpu.push_back((cpu_seconds() - cpu0) * 1000);
        }
        report("stock alarm count, limit 5, median of 5", median(t), "ms", 50, median(cpu));
        // The list behind the alarm button, for comparison; no target.
        const auto t0 = Clock::now();
        std::vector<vorn::SRec> low(static_cast<size_t>(std::max(n, 0)));
        const int got = core.select_srec_alarm(low.data(), 5);
        std::printf("  (%d codes below 5 in stock; select_srec_alarm %d rows in %.3f ms)\n", n, got,
                    std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }

    // Statistics: 36 monthly totals; 93 daily totals and 10 per-type totals.
    std::time_t end = static_cast<std::time_t>(meta.end);
    std::tm end_tm{};
    localtime_r(&end, &end_tm);
    const int ey = end_tm.tm_year + 1900, em = end_tm.tm_mon + 1, ed = end_tm.tm_mday;
    auto run_months = [&] {
        double sum = 0;
        const double c0 = cpu_seconds();
        const auto t0 = Clock::now();
        for (int i = 35; i >= 0; --i) {
            double out[2] = {0, 0};
            const std::string cond = sold_between(month_start(ey, em - i), month_start(ey, em - i + 1));
            if (core.get_srec_total(out, "FSd_ReaP", "FSd_OriP", cond.c_str()) != 1)
                std::fprintf(stderr, "total failed\n");
            sum += out[0];
        }
        return std::make_tuple(seconds_since(t0), sum, cpu_seconds() - c0);
    };
    auto run_days_types = [&] {
        double sum = 0;
        const double c0 = cpu_seconds();
        const auto t0 = Clock::now();
        for (int i = 92; i >= 0; --i) {
            double out[2] = {0, 0};
            const std::string cond = sold_between(day_start(ey, em, ed - i), day_start(ey, em, ed - i + 1));
            if (core.get_srec_total(out, "FSd_ReaP", "FSd_OriP", cond.c_str()) != 1)
                std::fprintf(stderr, "total failed\n");
            sum += out[0];
        }
        const std::string from = day_text(meta.begin), to = day_start(ey, em, ed + 1);
        for (int type : meta.types) {
            double out[2] = {0, 0};
            const std::string cond = "FSi_Type=" + std::to_string(type) + " AND " + sold_between(from, to);
            if (core.get_srec_total(out, "FSd_ReaP", "FSd_OriP", cond.c_str()) != 1)
                std::fprintf(stderr, "total failed\n");
            sum += out[0];
        }
        return std::make_tuple(seconds_since(t0), sum, cpu_seconds() - c0);
    };
    {
        auto [s1, sum1, cpu1] = run_months();
        auto [s2, sum2, cpu2] = run_months();
        std::printf("  (36 months: sales %.1f yuan; repeat %.3f s%s)\n", sum1, s2,
                    sum1 == sum2 ? "" : ", DIFFERENT SUM");
        report("statistics: 36 monthly totals", s1, "s", 0.5, cpu1);
        auto [d1, dsum1, dcpu1] = run_days_types();
        auto [d2, dsum2, dcpu2] = run_days_types();
        std::printf("  (93 days + 10 types: %.1f yuan; repeat %.3f s%s)\n", dsum1, d2,
                    dsum1 == dsum2 ? "" : ", DIFFERENT SUM");
        report("statistics: 93 daily + 10 per-type totals", d1, "s", 1.0, dcpu1);
        (void)cpu2;
        (void)dcpu2;
    }

    // Writes go to a scratch copy so that the next run finds the same shop.
    {
        fs::remove_all(scratch);
        copy_store(dir, scratch);
        fs::current_path(scratch);
        vorn::Core w;
        if (w.open() != 0) return 1;
        if (!noindex && w.ensure_indexes() != 0) return 1;
        if (!extra.empty() && w.exec_sql(extra.c_str()) != 0) return 1;
        vorn::SRec proto;
        proto.FSi_Id = 0;
        proto.FSs_Code = "6999000000011";
        proto.FSs_Name = vorn::bench::to_gbk("康源原味薯片");
        proto.FSi_Type = meta.types[1];
        proto.FSs_Size = "70g";
        proto.FSd_OriP = 3.5;
        proto.FSd_RetP = 5.5;
        proto.FSd_MemP = 5.2;
        proto.FSd_GolP = 5.0;
        proto.FSd_WhoP = 4.7;
        proto.FSd_SpeP = 4.4;
        proto.FSt_StoT = static_cast<int64_t>(std::time(nullptr));
        proto.FSd_ReaP = 0;
        proto.FSt_SalT = 0;
        proto.FSi_Flag = 0;
        proto.FSi_Supplier = 1;
        std::vector<vorn::SRec> entry(1000, proto);
        const double c0 = cpu_seconds();
        const auto t0 = Clock::now();
        for (int i = 0; i < 100; ++i)
            if (w.insert_srec(entry.data(), 1000) != 1000) std::fprintf(stderr, "entry failed\n");
        report("goods entry: 100 x insert_srec of 1,000 units", seconds_since(t0), "s", 3,
               cpu_seconds() - c0);

        std::vector<double> t, cpu;
        for (int round = 0; round < 10; ++round) {
            std::vector<vorn::SRec> sale;
            sale.reserve(100);
            while (sale.size() < 100) {
                const std::string cond = "FSi_Flag=0 AND FSs_Code='" +
                                         vorn::bench::goods_code(static_cast<int>(rnd() % codes)) +
                                         "' LIMIT 5";
                vorn::SRec got[5];
                const int n = w.select_srec(got, cond.c_str());
                for (int i = 0; i < n && sale.size() < 100; ++i)
                    sale.push_back(got[i]);
            }
            std::vector<vorn::SRec*> ptrs;
            const int64_t now = static_cast<int64_t>(std::time(nullptr));
            for (vorn::SRec& s : sale) {
                s.FSi_Flag = 1;
                s.FSt_SalT = now;
                s.FSd_ReaP = s.FSd_RetP;
                ptrs.push_back(&s);
            }
            const double cpu0 = cpu_seconds();
            const auto u0 = Clock::now();
            if (w.update_srec(ptrs.data(), 100) != 100) std::fprintf(stderr, "update failed\n");
            t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - u0).count());
            cpu.push_back((cpu_seconds() - cpu0) * 1000);
        }
        report("checkout: update_srec of 100 units, median of 10", median(t), "ms", 50, median(cpu));
        w.close();
        fs::current_path(dir);
        fs::remove_all(scratch);
    }

    {
        const double c0 = cpu_seconds();
        const auto t0 = Clock::now();
        const int n = core.get_srec_count(nullptr);
        std::vector<vorn::SRec> all(static_cast<size_t>(std::max(n, 0)));
        const int got = core.select_srec(all.data(), nullptr);
        const double s = seconds_since(t0);
        const double cpu = cpu_seconds() - c0;
        if (got != n) std::fprintf(stderr, "select all: %d of %d\n", got, n);
        rusage ru{};
        getrusage(RUSAGE_SELF, &ru);
        report("select all units into a vector", s, "s", 5, cpu);
        report("  peak resident memory", static_cast<double>(ru.ru_maxrss) / 1024.0, "MB", 600);
    }
    core.close();
    return 0;
}

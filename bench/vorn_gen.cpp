// vorn_gen --units N --members M [--years Y] [--dir D] [--seed S] [--shop]
// Creates "__vorn__" in D (default: the current directory) filled with generated
// shop data; --shop also gives it the demo shop's name, phone and address.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gen.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: vorn_gen --units N --members M [--years Y] [--dir D] [--seed S] [--shop]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    vorn::bench::GenOptions opt;
    std::string dir;
    bool shop = false;
    for (int i = 1; i < argc; ++i) {
        const bool has_value = i + 1 < argc;
        if (!std::strcmp(argv[i], "--units") && has_value)
            opt.units = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--members") && has_value)
            opt.members = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--years") && has_value)
            opt.years = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--dir") && has_value)
            dir = argv[++i];
        else if (!std::strcmp(argv[i], "--seed") && has_value)
            opt.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--shop"))
            shop = true;
        else
            return usage();
    }
    if (opt.units < 0 || opt.members < 0 || opt.years < 1) return usage();
    if (!dir.empty()) {
        mkdir(dir.c_str(), 0755);
        if (chdir(dir.c_str()) != 0) {
            std::perror(dir.c_str());
            return 1;
        }
    }
    if (access("__vorn__", F_OK) == 0) {
        // Adding a second generated shop to an existing one helps nobody.
        std::fprintf(stderr, "__vorn__ already exists in %s; remove it first\n",
                     dir.empty() ? "." : dir.c_str());
        return 1;
    }

    vorn::Core core;
    if (int rc = core.open(); rc != 0) {
        std::fprintf(stderr, "cannot open the store (SQLite code %d)\n", rc);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    auto progress = [&](const char* stage, long done, long total) {
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("\r%-8s %ld/%ld  %.1f s", stage, done, total, s);
        if (done >= total) std::printf("\n");
        std::fflush(stdout);
    };
    vorn::bench::GenResult res;
    int rc = vorn::bench::generate(core, opt, progress, &res);
    if (rc == 0 && shop && !vorn::bench::write_demo_shop(core)) rc = -1;
    core.close();
    if (rc != 0) {
        std::fprintf(stderr, "\nwriting the generated data failed\n");
        return 1;
    }
    std::printf("%d units (%d sold) over %d codes, %d members, in %.1f s\n", res.units, res.sold, res.codes,
                res.members, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}

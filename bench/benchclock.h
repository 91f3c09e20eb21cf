// The clocks the benchmarks read: wall time, and this process's CPU time (on a
// machine shared with other work the wall time also counts the waits for a
// core; on a server much of the work is in another process: the two together
// say where the time went).
#pragma once

#include <chrono>
#include <ctime>

namespace vornbench {

using Clock = std::chrono::steady_clock;

inline double ms_since(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

inline double cpu_ms() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace vornbench

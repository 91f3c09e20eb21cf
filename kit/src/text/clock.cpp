#include "kit/text/clock.h"

#include <atomic>
#include <ctime>

namespace vorn::ui {

namespace {
std::atomic<int64_t> fixedNow{0};
}

int64_t now() {
    int64_t fixed = fixedNow.load();
    return fixed != 0 ? fixed : static_cast<int64_t>(std::time(nullptr));
}

void setNowForTests(int64_t t) { fixedNow.store(t); }

} // namespace vorn::ui

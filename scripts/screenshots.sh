#!/usr/bin/env bash
# Renders the main window to PNG files under docs/: the login page, the window
# after the administrator's login and after a salesperson's login. Uses the
# offscreen platform, so no display is needed. VORN_SCREENSHOT_TABS=1 also
# renders every other tab.
#
#   scripts/screenshots.sh            (build dir: build/, or $BUILD_DIR)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
out="${SCREENSHOT_DIR:-$root/docs}"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target app_test_look -j"$(nproc)"

mkdir -p "$out"
QT_QPA_PLATFORM=offscreen VORN_SCREENSHOT_DIR="$out" \
    "$build/bin/app_test_look" screenshots
ls -l "$out"/login.png "$out"/main-admin.png "$out"/main-salesperson.png "$out"/goods.png

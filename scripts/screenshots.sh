#!/usr/bin/env bash
# Renders the main window to PNG files under docs/: the login page, the window
# after the administrator's login and after a salesperson's login, and the
# dialogs of the spreadsheet import and of the receipt printer. Uses the
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
cmake --build "$build" --target app_test_look goods_test_goodsimport admin_test_receiptprinterdlg -j"$(nproc)"

mkdir -p "$out"
QT_QPA_PLATFORM=offscreen VORN_SCREENSHOT_DIR="$out" \
    "$build/bin/app_test_look" screenshots
# The import dialogs and the receipt printer dialog, as their tests draw them.
shots="$(mktemp -d)"
QT_QPA_PLATFORM=offscreen VORN_SCREENSHOT_DIR="$shots" "$build/bin/goods_test_goodsimport" >/dev/null
QT_QPA_PLATFORM=offscreen VORN_SCREENSHOT_DIR="$shots" "$build/bin/admin_test_receiptprinterdlg" >/dev/null
cp "$shots/goods-import-mapping.png" "$out/import-mapping.png"
cp "$shots/goods-import-report.png" "$out/import-report.png"
cp "$shots/receipt-printer.png" "$out/receipt-printer.png"
rm -rf "$shots"
ls -l "$out"/login.png "$out"/main-admin.png "$out"/main-salesperson.png "$out"/goods.png

#!/usr/bin/env bash
# Installs what the program needs, builds it into build/ and starts it in a data
# directory of its own (the store "__vorn__", "vorn.ini" and the help file are
# looked up there). The installed program, started from the menu, uses
# ~/.local/share/Vornmart instead.
#
#   scripts/run.sh [DATA_DIR] [PROGRAM OPTIONS]     (default: ./run-data, created if missing)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
data="${1:-./run-data}"
[[ $# -gt 0 ]] && shift
mkdir -p "$data"
data="$(cd "$data" && pwd)"

if [[ -f "$root/scripts/setup.sh" ]]; then
    bash "$root/scripts/setup.sh"
fi

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" --target Vornmart vornhelp -j"$(nproc)"

# The current directory is the data directory, as the program is told; it
# copies its help file there itself.
cd "$data"
exec "$root/build/bin/Vornmart" . "$@"

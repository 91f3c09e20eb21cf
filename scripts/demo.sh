#!/usr/bin/env bash
# Fills a data directory with a believable small shop: a convenience store with
# its name, phone and address (the counter's title and the receipt head), about
# 300 goods codes with Chinese names, sizes and prices that fit them, ten types,
# five suppliers, stock, a year of sales and 120 members. Then
# `bash scripts/run.sh DIR` opens it.
#
#   scripts/demo.sh [DATA_DIR]        (default: ./demo-data)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
data="${1:-./demo-data}"

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$root/build" --target vorn_gen -j"$(nproc)"

if [[ -e "$data/__vorn__" ]]; then
    echo "$data/__vorn__ already exists; remove it or choose another directory." >&2
    exit 1
fi
"$root/build/bin/vorn_gen" --units 15000 --members 120 --years 1 --shop --dir "$data"
echo "Demo shop ready in $data. Start it with: bash scripts/run.sh $data"

#!/usr/bin/env bash
# Two tills of one shop on one machine: two programs, each with a data folder
# of its own whose vorn.ini names the same throwaway PostgreSQL database, each
# on a virtual screen of its own, driven by the keyboard alone. The last unit
# of a code is scanned at both; till 1 sells it, and till 2's checkout says it
# went at another till. Screenshots go to OUT (default ./two-tills).
#   bash scripts/two-tills.sh [OUT]       (after scripts/run.sh or a build in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-two-tills}")
work=$(mktemp -d /tmp/vorn-two-tills-XXXXXX)
chmod 755 "$work"
mkdir -p "$out"
program=build/bin/Vornmart
[ -x "$program" ] || { echo "build the program first (scripts/run.sh or cmake --build build)"; exit 1; }

displays=(:91 :92)
cleanup() {
  pkill -f "$program $work/till" 2>/dev/null || true
  for d in "${displays[@]}"; do pkill -f "Xvfb $d " 2>/dev/null || true; done
  bash scripts/pgcluster.sh stop "$work/pg" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

bash scripts/pgcluster.sh start "$work/pg" >/dev/null
url=$(cat "$work/pg/url")
psql "$url" -qX -c "CREATE DATABASE shop TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'"
for till in till1 till2; do
  mkdir -p "$work/$till"
  printf '[Database]\nconnection=%s dbname=shop\n' "$url" > "$work/$till/vorn.ini"
done
for d in "${displays[@]}"; do Xvfb "$d" -screen 0 1024x768x24 >/dev/null 2>&1 & done
sleep 2

display_of() { [ "$1" = till1 ] && echo "${displays[0]}" || echo "${displays[1]}"; }
window_of() { DISPLAY=$(display_of "$1") xdotool search --pid "$(pgrep -f "$program $work/$1")" --name Qelto | head -1; }
# A picture of a till's screen (xwd's 32-bit pixels into a PNG).
shot() {
  DISPLAY=$(display_of "$1") xwd -root -silent | python3 -c '
import struct, sys, zlib
d = sys.stdin.buffer.read(); h = struct.unpack(">25I", d[:100])
w, hgt, bpl = h[4], h[5], h[12]; pix = d[h[0] + h[19] * 12:]
raw = b"".join(b"\0" + bytes(c for x in range(w) for c in pix[y*bpl+4*x:y*bpl+4*x+3][::-1]) for y in range(hgt))
ch = lambda t, b: struct.pack(">I", len(b)) + t + b + struct.pack(">I", zlib.crc32(t + b) & 0xffffffff)
sys.stdout.buffer.write(b"\x89PNG\r\n\x1a\n" + ch(b"IHDR", struct.pack(">IIBBBBB", w, hgt, 8, 2, 0, 0, 0)) + ch(b"IDAT", zlib.compress(raw)) + ch(b"IEND", b""))' > "$out/$2.png"
}
keys() { DISPLAY=$(display_of "$1") xdotool "${@:2}"; sleep 1; }
start() {
  DISPLAY=$(display_of "$1") "$program" "$work/$1" >"$work/$1.log" 2>&1 &
  for _ in $(seq 1 30); do sleep 1; [ -n "$(window_of "$1")" ] && break; done
  local w; w=$(window_of "$1")
  keys "$1" windowsize "$w" 1024 768
  keys "$1" windowfocus --sync "$w"
  keys "$1" type --delay 40 admin
  keys "$1" key Tab
  keys "$1" type --delay 40 'Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3='
  keys "$1" key Return
  for _ in $(seq 1 20); do sleep 0.5; DISPLAY=$(display_of "$1") xdotool getwindowname "$w" | grep -q 销售前台 && break; done
}

start till1
start till2
# The shop's last unit of a code, entered once for both tills.
psql "$url dbname=shop" -qX -c "INSERT INTO store (fss_code,fss_name,fsi_type,fss_size,fsd_orip,fsd_retp,fsd_memp,fsd_golp,fsd_whop,fsd_spep,fst_stot,fsd_reap,fst_salt,fsi_flag,fsi_supplier,fss_remark) VALUES ('6901234500017','矿泉水',1,'550ml',1,2,2,2,2,2,'2026-12-08 08:00:00',0,NULL,0,1,'')"

keys till2 type --delay 20 6901234500017; keys till2 key Return; shot till2 1-till2-listed
keys till1 type --delay 20 6901234500017; keys till1 key Return
keys till1 key ctrl+Return; keys till1 type --delay 20 5; keys till1 key Return; keys till1 key Return
shot till1 2-till1-sold
keys till2 key ctrl+Return; keys till2 type --delay 20 5; keys till2 key Return; sleep 1
shot till2 3-till2-refused
sold=$(psql "$url dbname=shop" -qtAX -c "SELECT COUNT(*) FROM store WHERE fsi_flag=1")
sales=$(psql "$url dbname=shop" -qtAX -c "SELECT COUNT(*) FROM sale")
echo "units sold: $sold, sales in the journal: $sales (one of each expected); pictures in $out"
[ "$sold" = 1 ] && [ "$sales" = 1 ]

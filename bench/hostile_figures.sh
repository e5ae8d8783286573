#!/usr/bin/env bash
# The figures of six hostile inputs for one kelo-render, to compare builds: time of --check on 5,000 and 100,000
# vehicles of one id, time per frame with a 10 MB Kelo.ini, memory and time with a PNG declaring 23,000 x 23,000 as
# the map, time with stamps [2147483647:-5:99999999], what plays after a blank first line, and when an unwritable
# output is named. Usage: bench/hostile_figures.sh KELO_RENDER. Relies on python3, GNU time and timeout.
set -uo pipefail
render=$(realpath "$1")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x /usr/bin/time ] || { echo "hostile_figures: needs GNU time (/usr/bin/time)" >&2; exit 77; }

# Runs kelo-render under GNU time and `timeout 150`; prints "<seconds> s, <max RSS> MB, exit <status>".
measure() {
  /usr/bin/time -f '%e %M %x' -o "$work/time" timeout 150 "$render" "$@" >"$work/out" 2>"$work/err"
  # GNU time writes a line of its own before the figures when the command fails or is killed.
  read -r seconds kilobytes status < <(tail -n 1 "$work/time")
  echo "${seconds} s, $((kilobytes / 1024)) MB, exit ${status}$([ "$status" = 124 ] && echo ' (timed out at 150 s)')"
}

prog="$work/prog"
mkdir -p "$prog/Maps" "$prog/Presets"
keys='InvertY=0\nInvertX=0\nScaleX=4000\nScaleY=4000\nOffsetX=2000\nOffsetY=0\nRotationOffset=0\n'
printf "[Test.map]\n$keys[Huge.map]\n$keys" >"$prog/Kelo.ini"
python3 - "$work" "$keys" <<'EOF'
import os, struct, sys, zlib
work, keys = sys.argv[1], sys.argv[2].replace("\\n", "\n")
for count in (5000, 100000):
    with open("%s/vehicles-%d.log" % (work, count), "w") as f:
        f.write("[1:0:0] CREATED;VEHICLE;7;Truck;10;10;1;0;100;50;1\n" * count + "[1:0:1] DESTROYED;VEHICLE;7\n")
# Ten seconds of a soldier walking to and fro, so that every repaint composes a frame.
with open(work + "/walk.log", "w") as f:
    f.write("[1:0:0] 1;Big.map\n[1:0:0] CREATED;SOLDIER;1;R;2000;2000;0;0;1;1;0;Walker\n")
    for second in range(1, 11):
        f.write("[1:0:%d] POS;SOLDIER;1;R;2000;%d;0;0;1;1\n" % (second, 1000 + 2000 * (second % 2)))
# A Kelo.ini of ten megabytes whose last section is the map's.
os.makedirs(work + "/big/Maps", exist_ok=True)
with open(work + "/big/Kelo.ini", "w") as f:
    i = 0
    while f.tell() < 10 * 1024 * 1024:
        f.write("[Map%d.map]\n%s; %s\n" % (i, keys, "#" * 400))
        i += 1
    f.write("[Big.map]\n" + keys)
os.makedirs(work + "/small/Maps", exist_ok=True)
with open(work + "/small/Kelo.ini", "w") as f:
    f.write("[Big.map]\n" + keys)
# A black PNG of 23,000 x 23,000 RGB pixels: about 1.5 MB that would decode to 2 GB.
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
side, deflate, idat = 23000, zlib.compressobj(9), b""
row = bytes(1 + 3 * side)
for _ in range(side):
    idat += deflate.compress(row)
idat += deflate.flush()
with open(work + "/prog/Maps/Huge.png", "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
EOF
printf '[0:0:0] 1;Huge.map\n[0:0:1] CREATED;SOLDIER;1;R;2000;2000;0;0;1;1;0;A\n[0:0:2] KILLED;x\n' >"$work/huge.log"
printf '[0:0:0] 1;Test.map\n[2147483647:-5:99999999] CONFIG;5;far\n[2147483647:-5:99999999] KILLED;x\n' \
  >"$work/stamps.log"
printf '\n[0:0:0] 1;Test.map\n[0:0:0] CREATED;SOLDIER;1;R;2000;2000;0;0;1;1;0;First\n[0:0:1] CHAT;PUBLIC;1;hi\n' \
  >"$work/blank.log"

echo "kelo-render: $render"
for count in 5000 100000; do
  echo "(1) --check of $count vehicles of one id, then destroyed: $(measure --check "$work/vehicles-$count.log")"
done
for settings in small big; do
  result=$(measure --folder "$work/$settings" --until 10000 --frames "$work/frames-$settings" --every 100 \
    "$work/walk.log")
  frames=$(find "$work/frames-$settings" -name 'frame-*.png' 2>/dev/null | wc -l)
  seconds=${result%% s,*}
  per=$(python3 -c "print('%.1f' % (1000 * $seconds / max($frames, 1)))")
  echo "(2) $frames frames with the $settings Kelo.ini ($(stat -c %s "$work/$settings/Kelo.ini") bytes): $result;" \
    "$per ms a frame"
done
echo "(3) a map PNG of $(stat -c %s "$prog/Maps/Huge.png") bytes declaring 23,000 x 23,000:" \
  "$(measure --folder "$prog" --until 3000 --frame "$work/huge.png" "$work/huge.log")"
grep -m1 'not shown' "$work/err" | sed 's/^/    /'
echo "(4) stamps [2147483647:-5:99999999]: $(measure --folder "$prog" --state "$work/stamps.json" "$work/stamps.log")"
python3 -c "import json; s = json.load(open('$work/stamps.json')); print('    ended at', s['timeMs'], 'ms')" \
  2>/dev/null || echo "    no state written"
echo "(5) a blank first line: $(measure --folder "$prog" --state "$work/blank.json" "$work/blank.log")"
python3 -c "
import json
s = json.load(open('$work/blank.json'))
print('    map', s['mapName'], '; soldiers', [x['name'] for x in s['soldiers']],
      '; chat', [c and c['text'] for c in s['chat'][:2]], '; boxes', [m['text'] for m in s['messages']],
      '; at', s['timeMs'], 'ms')"
echo "(6) an unwritable --frame with the demo: $(measure --frame /nonexistent/folder/frame.png \
  "$source_dir/examples/demo/demo.log")"
sed 's/^/    /' "$work/err"

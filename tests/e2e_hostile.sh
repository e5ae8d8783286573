#!/usr/bin/env bash
# kelo-render on hostile logs, each bounded by --until or its own end: garbage and NUL bytes, a line of 50 MB (over
# what a step reads), 10,000 ";" in a line, stamps beyond every bound, 100,000 creations of one id of each kind, a
# blank first line, a pipe and a device as logs, --check of 500,000 bad lines in the memory of 20,000.
# Usage: bash tests/e2e_hostile.sh BUILD_DIR SOURCE_DIR. Needs python3 (standard library).
set -uo pipefail
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed" >&2; exit 77; }

source "$(dirname "$0")/render_session.bash"

# Python assertions on the state JSON $work/state.json, which the code sees as `s`.
state_check() {
  local what=$1 code=$2
  python3 - "$work/state.json" <<EOF || fail "$what"
import json, sys
s = json.load(open(sys.argv[1], encoding="utf-8"))
$code
EOF
}

prog="$work/prog"
mkdir -p "$prog/Maps" "$prog/Presets"
printf '[Test.map]\nInvertY=0\nInvertX=0\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n' \
  >"$prog/Kelo.ini"

# [SECTION] Garbage and NUL bytes

python3 - "$work" <<'EOF'
import random, sys
work = sys.argv[1]
rng = random.Random(20261207)
# A quarter of a megabyte of random bytes: a line feed in 64 and no NUL, so that every line is played.
with open(work + "/garbage.log", "wb") as f:
    f.write(bytes(10 if rng.randrange(64) == 0 else rng.randrange(1, 256) for _ in range(1 << 18)))
# Lines that hold NUL bytes (each line ends at its first), then one that opens with one: the data ends there.
with open(work + "/nul.log", "wb") as f:
    f.write(b"[1:0:0] CREATED;SOLDIER;1;R;0;0;0;0;1;1;0;A\0B\n"
            b"[1:0:1] CHAT;PUBLIC;1;a\0b;c\n"
            b"[1:0:2] CONFIG;\0\n"
            b"\0[1:0:3] CHAT;PUBLIC;1;never\n"
            b"[1:0:4] CHAT;PUBLIC;1;never either\n")
EOF
run --folder "$prog" --until 86400000 --state "$work/state.json" "$work/garbage.log"
expect_status 0 "garbage"
grep -qx 'Error: No more data' "$work/err" || fail "garbage: not played to its end within a day: $(tail -c 300 "$work/err")"
run --check "$work/garbage.log"
expect_status 1 "--check of garbage"
[ "$(wc -l <"$work/out")" -gt 1000 ] || fail "--check of garbage lists $(wc -l <"$work/out") lines only"

run --folder "$prog" --state "$work/state.json" "$work/nul.log"
expect_status 0 "NUL bytes"
# The line opening with NUL is empty: as a look-ahead without a stamp (time 0, so twelve hours on by the wrap) it
# resets the world before the line ahead of it applies, and the data ends there.
state_check "NUL bytes: each line ends at its first NUL, the data at a line opening with one" '
assert s["chat"][0]["text"] == "A: a" and s["chat"][1] is None, s["chat"]
assert s["soldiers"] == [] and s["configTitle"] == "", s
assert s["clock"] == {"minutes": -659, "seconds": -58}, s["clock"]  # 0 minutes counted down by 39,598 s
assert s["timeMs"] == (2 + 43200 - 3602) * 1000, s["timeMs"]  # the empty line is due at its log time'

# [SECTION] Long lines and many separators

python3 - "$work" <<'EOF'
import sys
work = sys.argv[1]
with open(work + "/long.log", "wb") as f:
    f.write(b"[1:0:0] CHAT;PUBLIC;1;" + b"x" * (50 * 1024 * 1024) + b"\n")
    f.write(b"[1:0:0] CREATED;SOLDIER;4;R;0;0;0;0;1;1;0;After\n")
    f.write(b"[1:0:1] CONFIG;3;" + b";" * 10000 + b"\n")
    f.write(b"[1:0:1] " + b";" * 10000 + b"\n")
EOF
run --folder "$prog" --state "$work/state.json" "$work/long.log"
expect_status 0 "a line of 50 MB"
state_check "a line of 50 MB: the rest of it is dropped, the next line plays" '
assert [x["name"] for x in s["soldiers"]] == ["After"], s["soldiers"]
assert s["clock"]["minutes"] == 3 and s["configTitle"] == "", s'
run --check "$work/long.log"
expect_status 1 "--check of long lines"
printf '%s\n' "$work/long.log:1: no soldier with id 1" "$work/long.log:4: no event token" >"$work/long.expected"
diff "$work/long.expected" "$work/out" >&2 || fail "--check of long lines lists other lines"

# [SECTION] Stamps beyond every bound

printf '%s\n' '[2147483647:-5:99999999] CONFIG;2147483647;a' '[-2147483648:-2147483648:-2147483648] CONFIG;1;b' \
  '[99999999999999999999:1:1] KILLED;x' '[2147483647:2147483647:2147483647] KILLED;x' 'no stamp' \
  '[-99999999999999999999] KILLED;x' '[0:0:0] CHAT;PUBLIC;1;x' >"$work/stamps.log"
run --folder "$prog" --state "$work/state.json" "$work/stamps.log"
expect_status 0 "stamps beyond every bound"
grep -qx 'Error: No more data' "$work/err" || fail "stamps beyond every bound: the log did not end"
# The first step comes 1 ms after the open, then six waits of at most the longest a timer waits (2^31 - 1 ms).
state_check "stamps beyond every bound: waits of at most 2^31 - 1 ms each" '
assert 6 < s["timeMs"] <= 1 + 6 * (2**31 - 1), s["timeMs"]'

# [SECTION] A hundred thousand records of one id

for kind in SOLDIER VEHICLE BUILDING OBJECT; do
  python3 - "$work/many-$kind.log" "$kind" <<'EOF'
import sys
path, kind = sys.argv[1], sys.argv[2]
rest = {"OBJECT": "Crate;10;10;0"}.get(kind, "Thing;10;10;1;0;100;50;1" + (";Name" if kind == "SOLDIER" else ""))
with open(path, "w") as f:
    f.write("[1:0:0] 1;Test.map\n")
    f.write(("[1:0:0] CREATED;%s;7;%s\n" % (kind, rest)) * 100000)
    f.write("[1:0:1] DESTROYED;%s;7\n" % kind)
EOF
  run --check "$work/many-$kind.log"
  expect_status 0 "--check of 100,000 $kind records of one id"
  [ ! -s "$work/out" ] || fail "--check of 100,000 $kind records listed lines: $(head -3 "$work/out")"
  # Lines of one stamp are due together: all 100,000 are applied, 10,000 a step, before the second's end, when the
  # record is destroyed.
  run --folder "$prog" --until 999 --state "$work/state.json" "$work/many-$kind.log"
  expect_status 0 "a bounded play of 100,000 $kind records"
  state_check "a bounded play of 100,000 $kind records: all of one stamp by its second's end" "
counts = {'SOLDIER': 1, 'VEHICLE': 100000, 'BUILDING': 100000, 'OBJECT': 100000}
listed = [e for e in s['entities'] if e['kind'] == '${kind,,}']
assert len(listed) == counts['$kind'], len(listed)"
done

# [SECTION] Files that are no logs

# A pipe without a writer held kelo-render in its open for ever and /dev/zero kept it reading for ever: both are
# turned away at once, as a missing log is (timeout turns a hang into a failure).
mkfifo "$work/pipe.log"
for log in "$work/pipe.log" /dev/zero; do
  timeout 60 "$render" --state "$work/state.json" "$log" >"$work/out" 2>"$work/err"
  status=$?
  expect_status 1 "playing $log"
  grep -qx 'Error!: Could not open file' "$work/err" || fail "playing $log: $(head -c 300 "$work/err")"
  for mode in --check --index; do
    timeout 60 "$render" "$mode" "$log" >"$work/out" 2>"$work/err"
    status=$?
    expect_status 1 "$mode $log"
    grep -qx "kelo-render: $log: Could not open file" "$work/err" || fail "$mode $log: $(head -c 300 "$work/err")"
  done
done

# [SECTION] --check of many bad lines

# The peak resident memory (kB) of kelo-render --check LOG, whose standard output goes to $work/out. The sanitizers'
# quarantine of freed memory, which would count as held, is turned off.
check_peak() {
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=0" python3 - "$render" "$1" "$work/out" <<'EOF'
import resource, subprocess, sys
with open(sys.argv[3], "wb") as out:
    subprocess.run([sys.argv[1], "--check", sys.argv[2]], stdout=out, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
EOF
}
python3 -c 'import sys; open(sys.argv[1], "wb").write(b"x\n" * 20000)' "$work/few.log"
python3 -c 'import sys; open(sys.argv[1], "wb").write(b"x\n" * 500000)' "$work/many.log"
few=$(check_peak "$work/few.log")
many=$(check_peak "$work/many.log")
[ "$(wc -l <"$work/out")" -eq 500000 ] || fail "--check of 500,000 bad lines lists $(wc -l <"$work/out")"
[ "$(tail -n 1 "$work/out")" = "$work/many.log:500000: no stamp: the world model is reset here; no event token" ] \
  || fail "--check of 500,000 bad lines ends with $(tail -n 1 "$work/out")"
# Each problem is printed as it is found: none is kept (kept, they would take some 50 MB).
[ $((many - few)) -lt 16384 ] || fail "--check of 500,000 bad lines takes $many kB, of 20,000 $few kB"

# [SECTION] A blank first line

printf '\n  \t\n[1:0:0] 1;Test.map\n[1:0:0] CREATED;SOLDIER;1;R;0;0;0;0;1;1;0;First\n' >"$work/blank.log"
run --folder "$prog" --state "$work/state.json" "$work/blank.log"
expect_status 0 "a blank first line"
state_check "a blank first line: the log plays from its first line" '
assert s["mapName"] == "Test.map" and [x["name"] for x in s["soldiers"]] == ["First"], s'

finish "e2e_hostile"

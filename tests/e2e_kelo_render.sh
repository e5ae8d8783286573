#!/usr/bin/env bash
# End-to-end run of kelo-render: every option, its exit codes, the state JSON and the PNG frames, on small logs
# written here and on the bundled demo. Usage: bash tests/e2e_kelo_render.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]
# Needs python3 (standard library) for reading JSON and PNG headers.
set -uo pipefail
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed" >&2; exit 77; }

source "$(dirname "$0")/render_session.bash"

# Python assertions on a JSON file, which the code sees as `s`.
json_check() {
  local file=$1 what=$2 code=$3
  python3 - "$file" <<EOF || fail "$what"
import json, struct, sys
s = json.load(open(sys.argv[1], encoding="utf-8"))
f32 = lambda v: struct.unpack("<f", struct.pack("<f", v))[0]
$code
EOF
}

# Width and height of a PNG from its IHDR; the pixel at (x, y) as RRGGBB when coordinates are given.
png_info() {
  python3 - "$@" <<'EOF'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR"
width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
if len(sys.argv) < 4:
    print(width, height)
    sys.exit()
at, idat = 8, b""
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    idat += data[at + 8:at + 8 + length] if kind == b"IDAT" else b""
    at += 12 + length
raw, channels = zlib.decompress(idat), {2: 3, 6: 4}[colour]
stride, rows, previous = width * channels, [], bytearray(width * channels)
for y in range(height):
    kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - channels] if i >= channels else 0
        b, c = previous[i], previous[i - channels] if i >= channels else 0
        p = a + b - c
        paeth = a if abs(p - a) <= min(abs(p - b), abs(p - c)) else b if abs(p - b) <= abs(p - c) else c
        predictor = [0, a, b, (a + b) // 2, paeth][kind]
        line[i] = (line[i] + predictor) & 0xFF
    rows.append(line)
    previous = line
x, y = int(sys.argv[2]), int(sys.argv[3])
print("%02X%02X%02X" % tuple(rows[y][x * channels:x * channels + 3]))
EOF
}

expect_frame() {
  local file=$1 what=$2
  [ -f "$file" ] || { fail "$what: no frame $file"; return; }
  [ "$(png_info "$file")" = "400 455" ] || fail "$what: $file is $(png_info "$file"), not 400 x 455"
}

# [SECTION] A program folder and logs of our own

prog="$work/prog"
mkdir -p "$prog/Maps" "$prog/Presets"
cp "$source_dir/examples/demo/Maps/Brackwater.png" "$prog/Maps/Test.png"
cp "$source_dir/examples/demo/Presets/SupplyTruck.png" "$prog/Presets/Truck.png"
printf '[Test.map]\nInvertY=false\nInvertX=false\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n' \
  >"$prog/Kelo.ini"

# Steps at 1000 ms per log second: lines 1 to 9 at 1 ms to 9 ms, then 1010, 2011, 3012, 4013 and the last at 5014.
printf '%b\n' \
  '[10:00:00] 1;Test.map' \
  '[10:00:00] CONFIG;5;Test title' \
  '[10:00:00] CREATED;SOLDIER;1;Rifleman;10;0.1;0;0;100;50;0;Alpha' \
  '[10:00:00] CREATED;SOLDIER;2;Medic;-30;-40;0;0;80;20;1;B\xe9ta' \
  '[10:00:00] CREATED;VEHICLE;5;Truck;0;0;1;45;100;0;0' \
  '[10:00:00] CREATED;BUILDING;7;Depot;1e999;16777217;0;0;500;0;1' \
  '[10:00:00] CREATED;OBJECT;9;Crate;5;5;0' \
  '[10:00:00] ENTER;5;x;0;0;0;1' \
  '[10:00:00] DAMAGED;SOLDIER;2;Medic;0;0;0;0;5' \
  '[10:00:01] CHAT;PUBLIC;1;hello' \
  '[10:00:02] CHAT;TEAM;2;yes' \
  '[10:00:03] POS;SOLDIER;2;Medic;-20;-40;0;0;60;20' \
  '[10:00:04] WIN;0' \
  '[10:00:05] CHAT;PUBLIC;2;last line' >"$work/basic.log"

# [SECTION] Usage errors: exit 2 with one line saying what is wrong

for args in "" "--speed 7 $work/basic.log" "--speed=fast $work/basic.log" "--until -5 $work/basic.log" \
  "--until 1.5 $work/basic.log" "--every 0 --frames $work/f $work/basic.log" "--frames $work/f $work/basic.log" \
  "--every 100 $work/basic.log" "--check --frame $work/x.png $work/basic.log" "--check --until 5 $work/basic.log" \
  "--check=yes $work/basic.log" "--bogus $work/basic.log" "$work/basic.log $work/basic.log" "$work/basic.log --state" \
  "--speed 500 --speed 250 $work/basic.log" "--folder $work/nowhere $work/basic.log" "--frame= $work/basic.log" \
  "--video $work/clip.avi $work/basic.log" "--video $work/mp4 $work/basic.log" \
  "--check --video $work/c.gif $work/basic.log" \
  "--key jump@5 $work/basic.log" "--key space $work/basic.log" "--key space@-1 $work/basic.log" \
  "--key space@1.5 $work/basic.log" "--click 400,10@5 $work/basic.log" "--click 10@5 $work/basic.log" \
  "--click 10,-1@5 $work/basic.log" "--timeline=yes $work/basic.log" "--check --key space@0 $work/basic.log" \
  "--check --timeline $work/basic.log" \
  "--seek x $work/basic.log" "--seek -1 $work/basic.log" "--seek 1@-2 $work/basic.log" "--seek 1e3 $work/basic.log" \
  "--index --state $work/x.json $work/basic.log" "--check --seek 1 $work/basic.log" "--index=yes $work/basic.log" \
  "--camera 1,2 $work/basic.log" "--camera 1,2,65 $work/basic.log" "--follow-unit x $work/basic.log" \
  "--wheel 10,10,1 $work/basic.log" "--drag 1,2,3@5 $work/basic.log" "--check --camera 1,2,3 $work/basic.log"; do
  # shellcheck disable=SC2086
  run $args
  expect_status 2 "usage error for '$args'"
  [ "$(grep -c . "$work/err")" -eq 1 ] || fail "usage error for '$args' is not one line: $(cat "$work/err")"
  grep -q '^kelo-render: ' "$work/err" || fail "usage error for '$args' does not name the program"
done

run --help
expect_status 0 "--help"
grep -q -- '--frames DIR --every MS' "$work/out" || fail "--help does not list the options"
grep -q 'Latin-1' "$work/out" || fail "--help does not say how texts are written"
grep -q -- '--version' "$work/out" || fail "--help does not list --version"
run --version
expect_status 0 "--version"
version=$(sed -n 's/^project(Kelo VERSION \([0-9.]*\) .*/\1/p' "$source_dir/CMakeLists.txt")
[ -n "$version" ] && [ "$(cat "$work/out")" = "kelo-render $version" ] \
  || fail "--version printed '$(cat "$work/out")', not the version of CMakeLists.txt ('$version')"

# [SECTION] A log that cannot be opened: the viewer's box, exit 1, nothing written

run --state "$work/never.json" "$work/missing.log"
expect_status 1 "missing log"
grep -qx 'Error!: Could not open file' "$work/err" || fail "missing log: no 'Could not open file' box"
[ ! -e "$work/never.json" ] || fail "missing log: a state was written"
run --state "$work/never.json" "$work"
expect_status 1 "a folder as the log"
run --check -- "$work/-dash.log"
expect_status 1 "a log named after --"
grep -q -- "-dash.log: Could not open file" "$work/err" || fail "a log named after -- was not taken as the log"

# [SECTION] Playing to the end of data

run --folder "$prog" --state "$work/end.json" --frame "$work/end.png" "$work/basic.log"
expect_status 0 "play to the end"
grep -qx 'Error: No more data' "$work/err" || fail "play to the end: no 'No more data' box on standard error"
expect_frame "$work/end.png" "play to the end"
[ "$(png_info "$work/end.png" 200 300)" != "000000" ] || fail "play to the end: no map picture in the frame"
json_check "$work/end.json" "state at the end of data" '
assert list(s) == ["timeMs", "msPerLogSecond", "paused", "playing", "mapName", "statusMessage", "configTitle",
                   "clock", "calibration", "chat", "messages", "soldiers", "vehicles", "buildings", "entities",
                   "logTimeS", "indexedS"], list(s)
assert s["timeMs"] == 5000 and s["msPerLogSecond"] == 1000
assert s["logTimeS"] == 5 and s["indexedS"] == 5
assert s["paused"] is False and s["playing"] is False
assert s["mapName"] == "Test.map" and s["statusMessage"] is None and s["configTitle"] == "Test title"
assert s["clock"] == {"minutes": 4, "seconds": 55}, s["clock"]
assert s["calibration"] == {"invertX": False, "invertY": False, "scaleX": 400, "scaleY": 400, "offsetX": 0,
                            "offsetY": 0, "rotationOffset": 0}, s["calibration"]
assert s["messages"] == [{"text": "No more data", "caption": "Error"}]
# The final line is applied before the data ends.
assert s["chat"][:3] == [{"text": "Alpha: hello", "side": 0}, {"text": "B\u00e9ta [TEAM]: yes", "side": 1},
                         {"text": "B\u00e9ta: last line", "side": 1}], s["chat"]
assert s["chat"][3:] == [None, None, None]
assert s["entities"] == [{"kind": "soldier", "id": 1}, {"kind": "soldier", "id": 2}, {"kind": "vehicle", "id": 5},
                         {"kind": "building", "id": 7}, {"kind": "object", "id": 9}]
head = ["id", "className", "side", "x", "y", "z", "direction", "levelA", "levelB", "peakA", "peakB"]
unit = ["hovered", "pinned", "stepsLeft", "stepLength", "moveHeading", "targetX", "targetY", "targetZ"]
alpha, beta = s["soldiers"]
assert list(alpha) == head + ["name", "aboard"] + unit + ["damageLink"], list(alpha)
# The fewest digits that read back to the same 32-bit float: 0.1, not 0.10000000149011612.
assert alpha["aboard"] is True and alpha["x"] == 0.1 and f32(alpha["x"]) == f32(0.1)
assert beta["name"] == "B\u00e9ta" and beta["side"] == 1
assert beta["stepsLeft"] == 0 and abs(beta["y"] + 20) < 0.01 and beta["targetY"] == -20
assert beta["levelA"] == 60 and beta["peakA"] == 80 and beta["damageLink"] is None
truck, = s["vehicles"]
assert list(truck) == head + unit + ["targetDirection", "passengers"], list(truck)
assert truck["passengers"] == [1] and truck["direction"] == 45 and truck["targetDirection"] == 45
depot, = s["buildings"]
assert list(depot) == head and depot["y"] is None and depot["x"] == 16777216, depot
'

# [SECTION] --until, --speed and the frames effect on the state

run --folder "$prog" --until 50 --state "$work/t50.json" "$work/basic.log"
expect_status 0 "--until 50"
grep -q 'No more data' "$work/err" && fail "--until 50 reached the end of data"
json_check "$work/t50.json" "state at 50 ms" '
assert s["timeMs"] == 50 and s["playing"] is True and s["messages"] == []
# Damaged by the truck, found through the entity list; no frame has drawn the link yet.
assert s["soldiers"][1]["damageLink"] == {"kind": "vehicle", "id": 5}, s["soldiers"][1]["damageLink"]
assert s["chat"] == [None] * 6
'
run --folder "$prog" --until 150 --state "$work/t150.json" "$work/basic.log"
json_check "$work/t150.json" "state at 150 ms" 'assert s["soldiers"][1]["damageLink"] is None'

run --folder "$prog" --until 1500 --state - "$work/basic.log"
expect_status 0 "--state -"
json_check "$work/out" "state on standard output" '
assert s["timeMs"] == 1500 and s["chat"][0]["text"] == "Alpha: hello"
'

run --folder "$prog" --speed 2000 --until 1500 --state "$work/slow.json" "$work/basic.log"
expect_status 0 "--speed 2000"
json_check "$work/slow.json" "state at 2000 ms per log second" '
assert s["msPerLogSecond"] == 2000 and s["chat"][0] is None
'
run --folder "$prog" --speed=125 --state "$work/fast.json" "$work/basic.log"
json_check "$work/fast.json" "state at 125 ms per log second" '
assert s["msPerLogSecond"] == 125 and s["timeMs"] == 5 * 125, s["timeMs"]
'
run --folder "$prog" --until 0 --state "$work/t0.json" --frame "$work/t0.png" "$work/basic.log"
json_check "$work/t0.json" "state at time 0" 'assert s["timeMs"] == 0 and s["playing"] is True and s["mapName"] is None'
expect_frame "$work/t0.png" "--until 0"

# Without --folder the program folder is kelo-render's own, which has no section for this map.
run --until 100 --state "$work/own.json" "$work/basic.log"
json_check "$work/own.json" "the default program folder" 'assert s["statusMessage"] == "Error loading Kelo.ini"'

# A log of one line waits twelve hours minus its stamp (the missing look-ahead reads as time 0) before its end:
# two hours of virtual time, played without composing the frames that would come out the same.
printf '[10:00:00] 1;Test.map\n' >"$work/one.log"
run --folder "$prog" --state "$work/one.json" --frame "$work/one.png" "$work/one.log"
expect_status 0 "a log of one line"
json_check "$work/one.json" "state after a log of one line" '
assert s["timeMs"] == 7200000 and s["mapName"] == "Test.map", s["timeMs"]
assert s["messages"] == [{"text": "No more data", "caption": "Error"}]
'
[ "$(png_info "$work/one.png" 200 300)" != "000000" ] || fail "a log of one line: no map picture in the last frame"

# [SECTION] --seek and --index

run --folder "$prog" --seek 2.5 --until 0 --state "$work/seek.json" "$work/basic.log"
expect_status 0 "--seek right after the open"
json_check "$work/seek.json" "state after a seek to 2.5 s" '
assert s["timeMs"] == 0 and s["playing"] is True and s["logTimeS"] == 3 and s["indexedS"] == 5
assert [c["text"] for c in s["chat"][:2]] == ["Alpha: hello", "B\u00e9ta [TEAM]: yes"] and s["chat"][2] is None
assert s["clock"] == {"minutes": 4, "seconds": 57}, s["clock"]
# The damage line of second 0 is older than the last whole second before the target.
assert s["soldiers"][1]["damageLink"] is None
'
run --folder "$prog" --seek 4@1000 --seek 0.5@500 --until 1500 --state "$work/seeks.json" "$work/basic.log"
expect_status 0 "two --seek in order of their times"
json_check "$work/seeks.json" "state after seeks to 0.5 s at 500 ms, then to 4 s at 1000 ms" '
assert s["logTimeS"] == 5 and s["messages"] == [], s
assert s["chat"][2] is None and s["chat"][1]["text"] == "B\u00e9ta [TEAM]: yes"
'
run --folder "$prog" --seek 4@8000 --state "$work/again.json" "$work/basic.log"
expect_status 0 "--seek after the end of data"
json_check "$work/again.json" "state after a seek back from the end of data" '
assert s["messages"] == [{"text": "No more data", "caption": "Error"}] * 2, s["messages"]
assert s["timeMs"] == 8000 + 1000 and s["logTimeS"] == 5, s["timeMs"]
'
run --index "$work/basic.log"
expect_status 0 "--index"
json_check "$work/out" "--index of the basic log" '
assert s == {"totalS": 5, "lines": 14, "marks": [{"t": 1, "kind": "chat"}, {"t": 2, "kind": "chat"},
             {"t": 4, "kind": "win"}, {"t": 5, "kind": "chat"}], "breaks": []}, s
'
run --index "$work/missing.log"
expect_status 1 "--index of a missing log"

# [SECTION] --frames and --every

run --folder "$prog" --until 1000 --frames "$work/frames" --every 250 "$work/basic.log"
expect_status 0 "--frames"
for i in 1 2 3 4; do expect_frame "$work/frames/frame-00000$i.png" "--frames"; done
[ ! -e "$work/frames/frame-000005.png" ] || fail "--frames wrote a frame after the stop"
[ "$(grep -c 'frame-0000' "$work/err")" -eq 4 ] || fail "--frames: no progress line per frame: $(cat "$work/err")"
run --folder "$prog" --frame "$work/no/such/folder/x.png" "$work/basic.log"
expect_status 1 "--frame into a missing folder"

# [SECTION] --timeline, --key and --click

# The strip is drawn only when asked for: without it the rows below the map stay black.
run --folder "$prog" --until 500 --frame "$work/plain.png" "$work/basic.log"
run --folder "$prog" --until 500 --timeline --frame "$work/strip.png" "$work/basic.log"
expect_status 0 "--timeline"
[ "$(png_info "$work/plain.png" 200 433)" = "000000" ] || fail "a strip without --timeline"
[ "$(png_info "$work/strip.png" 200 433)" != "000000" ] || fail "no strip with --timeline"
[ "$(png_info "$work/strip.png" 200 300)" = "$(png_info "$work/plain.png" 200 300)" ] \
  || fail "--timeline changed the map"

# Keys happen in order of time, whatever the order given: the three "minus" at 50 ms come before the "plus" at
# 100 ms (2000, 4000, 4000 at the slowest, then 2000; in the order given it would end at 4000).
run --folder "$prog" --until 200 --state "$work/keys.json" --key plus@100 --key minus@50 --key minus@50 \
  --key minus@50 --key space@150 "$work/basic.log"
expect_status 0 "--key"
json_check "$work/keys.json" "state after keys" 'assert s["msPerLogSecond"] == 2000 and s["paused"] is True, s'
run --folder "$prog" --until 200 --state "$work/space2.json" --key space@20 --key=space@30 "$work/basic.log"
json_check "$work/space2.json" "state after two spaces" 'assert s["paused"] is False and s["playing"] is True'

# A click at soldier 1 (map x 0.1, y 10, calibrated onto the view's (200.1, 235)) pins it, as in the viewer.
run --folder "$prog" --until 200 --state "$work/click.json" --click 203,238@100 "$work/basic.log"
expect_status 0 "--click"
json_check "$work/click.json" "state after a click" '
assert s["soldiers"][0]["pinned"] is True and s["soldiers"][0]["hovered"] is True, s["soldiers"][0]
assert s["soldiers"][1]["pinned"] is False
'

# [SECTION] --panel, --units and --events

# The panel widens the frame to 600 x 455 and leaves the map as it was; Alpha rides in the Truck, listed under it.
run --folder "$prog" --until 500 --timeline --panel --frame "$work/panel.png" --units "$work/units.json" \
  "$work/basic.log"
expect_status 0 "--panel"
[ "$(png_info "$work/panel.png")" = "600 455" ] || fail "--panel: the frame is $(png_info "$work/panel.png")"
[ "$(png_info "$work/panel.png" 200 300)" = "$(png_info "$work/strip.png" 200 300)" ] || fail "--panel moved the map"
json_check "$work/units.json" "the Units tab" '
rows = [(r["row"], r["side"], r.get("name")) for r in s["rows"]]
assert rows == [("side", 0, None), ("unit", 0, "Truck"), ("passenger", 0, "Alpha"), ("side", 1, None),
                ("unit", 1, "B\u00e9ta")], rows
assert s["rows"][0]["soldiers"] == 1 and s["rows"][0]["vehicles"] == 1
'
# The search, typed through --key, filters the tab ("b": B\xe9ta alone); Enter pins its first unit, and a click on its
# row (the second, under its side's) reaches the panel too.
run --folder "$prog" --until 500 --panel --key slash@100 --key b@110 --key enter@120 --click 450,67@130 \
  --units - "$work/basic.log"
expect_status 0 "--key into the search"
python3 -c 'import json, sys; s = json.load(sys.stdin); assert s["search"] == "b", s
assert [r.get("name") for r in s["rows"]] == [None, "B\u00e9ta"] and s["rows"][1]["pinned"], s' <"$work/out" \
  || fail "the search: $(cat "$work/out")"
run --folder "$prog" --click 450,10@5 "$work/basic.log"
expect_status 2 "a click on the panel without --panel"
run --events "$work/basic.log"
expect_status 0 "--events"
python3 -c 'import json, sys; events = [json.loads(line) for line in sys.stdin]
assert [(e["t"], e["kind"], e["side"], e["name"], e["text"]) for e in events] == [(1, "chat", 0, "Alpha", "hello"),
    (2, "chat", 1, "B\u00e9ta", "yes"), (4, "win", -1, "", ""), (5, "chat", 1, "B\u00e9ta", "last line")], events' \
  <"$work/out" || fail "--events: $(cat "$work/out")"

# [SECTION] --check

printf '%s\n' \
  '[1:00:00] CREATED;SOLDIER;1;R;0;0;0;0;1;1;0;A' \
  '' \
  '[1:00:01] FOO;1' \
  '[1:00:02] POS;SOLDIER;2;R;0;0;0;0;1;1' \
  'garbage CHAT;PUBLIC;1;hi' \
  '[1:00:03] CREATED;TANK;3;x' \
  '[1:00:04] DESTROYED;VEHICLE;4' \
  '[1:00:05] ENTER;4;x;0;0;0;1' \
  '[1:00:06] DAMAGED;SOLDIER;1;x;0;0;0;0;1' \
  '[1:00:07]' \
  '[1:00:08] KILLED;SOLDIER;1' \
  '   [1:00:09] WIN' \
  '[1:00:10] CHAT;SHOUT;1;x' >"$work/bad.log"
printf '[1:00:11] F\033O"O;1\n' >>"$work/bad.log"
run --check "$work/bad.log"
expect_status 1 "--check of a bad log"
printf '%s\n' \
  "$work/bad.log:3: unknown event \"FOO\"" \
  "$work/bad.log:4: no soldier with id 2" \
  "$work/bad.log:5: no stamp: the world model is reset here; no soldier with id 1" \
  "$work/bad.log:6: unknown kind \"TANK\" for CREATED" \
  "$work/bad.log:7: no vehicle with id 4" \
  "$work/bad.log:8: no vehicle with id 4" \
  "$work/bad.log:9: no soldier with id 1" \
  "$work/bad.log:10: no event token" \
  "$work/bad.log:13: unknown kind \"SHOUT\" for CHAT" \
  "$work/bad.log:14: unknown event \"F\\x1BO\\\"O\"" >"$work/bad.expected"
diff "$work/bad.expected" "$work/out" >&2 || fail "--check output differs"

run --check --folder "$prog" "$work/basic.log"
expect_status 0 "--check of a good log"
[ ! -s "$work/out" ] || fail "--check of a good log listed lines: $(cat "$work/out")"
sed 's/$/\r/' "$work/basic.log" >"$work/crlf.log"
run --check "$work/crlf.log"
expect_status 0 "--check of a log with carriage returns"
: >"$work/empty.log"
run --check "$work/empty.log"
expect_status 1 "--check of an empty log"
grep -qx "$work/empty.log:1: empty: playback ends here" "$work/out" || fail "empty log"
# A log of one line is opened as the viewer opens it, with an empty line held after its line: no line of the file.
printf '[0:00:05] CREATED;SOLDIER;1;R;0;0;0;0;1;1;0;A' >"$work/lone.log"
for log in "$work/one.log" "$work/lone.log"; do
  run --check "$log"
  expect_status 0 "--check of a log of one line"
  [ ! -s "$work/out" ] || fail "--check of a log of one line listed lines: $(cat "$work/out")"
done
# A second line that opens with NUL is empty, and a line of the file: playback ends there.
printf '[0:00:05] WIN;1\n\000\n' >"$work/nul.log"
run --check "$work/nul.log"
expect_status 1 "--check of a log whose second line opens with NUL"
grep -qx "$work/nul.log:2: empty: playback ends here" "$work/out" || fail "NUL line: $(cat "$work/out")"
# A wait of over twelve hours is named at the line that ends it; one of exactly twelve hours is not.
printf '%s\n' '[1:00:00] KILLED;x' '[13:00:00] KILLED;x' '[2147483647:-5:99999999] KILLED;x' >"$work/far.log"
run --check "$work/far.log"
expect_status 1 "--check of a log with a wait of years"
printf '%s\n' "$work/far.log:3: comes 7731041082099 log seconds after the line before (over twelve hours)" \
  >"$work/far.expected"
diff "$work/far.expected" "$work/out" >&2 || fail "--check does not name the long wait"
run --check "$work/missing.log"
expect_status 1 "--check of a missing log"

# [SECTION] Outputs that cannot be written are named before anything plays

# The log waits years between its lines: a run that played before checking its outputs would print its boxes.
: >"$work/plain-file"
for args in "--frame $work/plain-file/f.png" "--state $work/no/such/folder/s.json" "--frames $work/plain-file/d --every 100"; do
  # shellcheck disable=SC2086
  run $args "$work/far.log"
  expect_status 1 "unwritable output ($args)"
  grep -q '^kelo-render: could not write ' "$work/err" || fail "unwritable output ($args) not named: $(cat "$work/err")"
  grep -q 'No more data' "$work/err" && fail "unwritable output ($args): the log played first"
done
run --state "$work/plain-file" --until 10 "$work/far.log"
expect_status 0 "a state written over an existing file"

# [SECTION] The bundled demo, from kelo-render's own folder

run --check "$demo"
expect_status 0 "--check of the demo"
run --state "$work/demo.json" --frame "$work/demo.png" "$demo"
expect_status 0 "the demo"
expect_frame "$work/demo.png" "the demo"
json_check "$work/demo.json" "state at the end of the demo" '
assert s["mapName"] == "Brackwater.map" and s["statusMessage"] is None
assert s["messages"] == [{"text": "No more data", "caption": "Error"}]
assert len(s["soldiers"]) == 9 and len(s["vehicles"]) == 4 and len(s["buildings"]) == 3
assert all(c is not None for c in s["chat"]) and s["chat"][5]["text"].endswith("nice push everyone")
assert not any(v["passengers"] for v in s["vehicles"]) and not any(p["aboard"] for p in s["soldiers"])
assert any(p["name"] == "S\u00f8lvi" for p in s["soldiers"])
'

# [SECTION] The camera on the demo: set, turned by the wheel and the keys, dragged, following a unit across a seek

run --until 1000 --state "$work/rest.json" "$demo"
json_check "$work/rest.json" "the camera at rest" 'assert "camera" not in s'
run --camera 2215,2030,8 --wheel 221,222,-4@500 --drag 200,225,250,250@600 --key z@700 --until 1000 \
  --state "$work/camera.json" --frame "$work/camera.png" "$demo"
expect_status 0 "the camera's inputs"
expect_frame "$work/camera.png" "the frame through the camera"
json_check "$work/camera.json" "the camera after the wheel, a drag and Z" '
c = s["camera"]
assert abs(c["zoom"] - 4 * 2 ** 0.25) < 1e-5 and c["following"] is None, c
# Zoom 8 to 4 about the point under pixel (221, 222) moves the middle 26.875 map units west and 3.125 south of
# (2215, 2030); the drag of (50, 25) frame pixels at zoom 4 takes it 125 west and 62.5 north; Z keeps it.
assert abs(c["x"] - 2063.125) < 0.01 and abs(c["y"] - 2089.375) < 0.01, c
'
run --camera 2000,2000,4 --follow-unit 3@100 --seek 20@5000 --until 10000 --state "$work/follow.json" "$demo"
json_check "$work/follow.json" "following soldier 3 across a seek" '
c, unit = s["camera"], [u for u in s["soldiers"] if u["id"] == 3][0]
assert c["following"] == 3 and c["zoom"] == 4, c
assert abs(c["x"] - unit["x"]) < 20 and abs(c["y"] - unit["y"]) < 20, (c, unit)
'
run --follow-unit 3 --key 0@3000 --until 4000 --state "$work/zero.json" "$demo"
json_check "$work/zero.json" "0 puts the camera at rest" 'assert "camera" not in s'

finish "kelo-render end-to-end"

#!/usr/bin/env bash
# End-to-end run of kelo-render --scale: usage errors for a factor outside 1 to 8; --scale 1 writes the very files
# that no --scale writes; --scale 2 writes frames of 800 x 910 drawn at that size (text and lines on half frame
# pixels, not pixels doubled), and --click stays in the 400 x 455 frame's pixels.
# Usage: e2e_render_scale.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]; exits 77 without python3 or ImageMagick.
set -uo pipefail

if ! command -v python3 convert identify >/dev/null; then
  echo "python3 or ImageMagick missing: skipped"
  exit 77
fi
source "$(dirname "$0")/render_session.bash"

size() {
  identify -format '%wx%h' "$1"
}

# [SECTION] Usage errors: exit 2 with one line saying what is wrong

for args in "--scale 0" "--scale 9" "--scale 1.5" "--scale two" "--scale=" "--scale -2" "--scale 2 --scale 3" \
  "--check --scale 2"; do
  # shellcheck disable=SC2086
  run $args "$demo"
  [ "$status" -eq 2 ] || fail "'$args': exit status $status, not 2"
  [ "$(grep -c . "$work/err")" -eq 1 ] || fail "'$args': not one line: $(cat "$work/err")"
done
run --scale 9 "$demo"
grep -qx 'kelo-render: --scale must be a whole number from 1 to 8, not "9" (see kelo-render --help)' "$work/err" \
  || fail "--scale 9 says: $(cat "$work/err")"
run --help
grep -q -- '--scale N' "$work/out" || fail "--help does not list --scale"
echo "a factor outside 1 to 8 is a usage error"

# [SECTION] --scale 1 is the frame as it always was

run --until 85850 --frame "$work/plain.png" --frames "$work/plain" --every 1000 "$demo"
[ "$status" -eq 0 ] || fail "without --scale: exit status $status ($(cat "$work/err"))"
run --scale 1 --until 85850 --frame "$work/one.png" --frames "$work/one" --every 1000 "$demo"
[ "$status" -eq 0 ] || fail "--scale 1: exit status $status ($(cat "$work/err"))"
cmp -s "$work/plain.png" "$work/one.png" || fail "--scale 1 wrote another frame than no --scale"
[ "$(ls "$work/one" | wc -l)" -eq 85 ] || fail "--scale 1 wrote $(ls "$work/one" | wc -l) numbered frames, not 85"
diff -r "$work/plain" "$work/one" >/dev/null || fail "--scale 1 wrote other numbered frames than no --scale"
[ "$(size "$work/one.png")" = 400x455 ] || fail "--scale 1: a frame of $(size "$work/one.png")"
echo "--scale 1 writes the same files as no --scale"

# [SECTION] --scale 2: drawn at twice the size

run --scale 2 --until 85850 --frame "$work/two.png" --frames "$work/two" --every 20000 "$demo"
[ "$status" -eq 0 ] || fail "--scale 2: exit status $status ($(cat "$work/err"))"
[ "$(size "$work/two.png")" = 800x910 ] || fail "--scale 2: a frame of $(size "$work/two.png")"
[ "$(size "$work/two/frame-000004.png")" = 800x910 ] \
  || fail "--scale 2: numbered frames of $(size "$work/two/frame-000004.png")"
# Pixel doubling would make every 2 x 2 block one colour; drawn at the size, edges of text, lines and the map's
# picture fall inside blocks. Yet block by block it is the 1x picture, and the control band spans the top 50 rows.
convert "$work/two.png" -depth 8 rgb:"$work/two.rgb"
convert "$work/one.png" -depth 8 rgb:"$work/one.rgb"
python3 - "$work/two.rgb" "$work/one.rgb" <<'EOF_PY' || fail "--scale 2 is not the frame drawn at twice the size"
import sys
large, small = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
def at(data, width, x, y):
    i = (y * width + x) * 3
    return data[i:i + 3]
mixed = difference = 0
for y in range(0, 910, 2):
    for x in range(0, 800, 2):
        block = [at(large, 800, x + dx, y + dy) for dy in (0, 1) for dx in (0, 1)]
        mixed += len(set(block)) > 1
        one = at(small, 400, x // 2, y // 2)
        difference += sum(abs(sum(p[c] for p in block) / 4 - one[c]) for c in range(3)) / 3
blocks = 400 * 455
print(f"{mixed} of {blocks} blocks hold more than one colour; mean difference from 1x {difference / blocks:.2f}")
assert mixed > blocks // 20, mixed
assert difference / blocks < 12, difference / blocks
assert all(at(large, 800, x, y) == bytes((0, 0, 100)) for x in (0, 400, 799) for y in (0, 49))
EOF_PY

# --click names the pixel of the 400 x 455 frame: "Pause" is clicked at its place there, found along row 10 of the
# band (the fourth run of pixels that are not the band's colour: Open, <<, Play, Pause, >>, Bars).
read -r -a middles <<<"$(convert "$work/one.png" -crop 400x1+0+10 +repage -depth 8 rgb:- \
    | python3 "$(dirname "$0")/button_middles.py")"
pause_x=${middles[3]}
run --scale 2 --click "$pause_x,12@1000" --until 2000 --state - "$demo"
[ "$status" -eq 0 ] || fail "--click at --scale 2: exit status $status ($(cat "$work/err"))"
grep -q '"paused": true' "$work/out" || fail "--click $pause_x,12 at --scale 2 did not press Pause"
run --scale 2 --click "$((pause_x * 2)),12@1000" --until 2000 --state - "$demo"
[ "$status" -eq 0 ] || fail "--click at twice Pause's x: exit status $status ($(cat "$work/err"))"
grep -q '"paused": false' "$work/out" || fail "--click at twice Pause's x pressed Pause: the click was scaled twice"
echo "--scale 2 draws 800 x 910 frames at that size; --click stays in frame pixels"

finish "kelo-render --scale"

#!/usr/bin/env bash
# End-to-end run of kelo-render --video: clips of three seconds of the bundled demo as MP4 and GIF, read back with
# ffprobe (frames, rate, size) and compared with the PNG frames of --frames, and clips at --scale 2 and 3 read back
# for their size; an output that cannot be written, a full disk, no ffmpeg on the PATH and no frame at all each give
# exit status 1 and say so.
# Usage: e2e_video_clip.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]; exits 77 without ffmpeg, ffprobe or ImageMagick.
set -uo pipefail

if ! command -v ffmpeg ffprobe compare convert >/dev/null; then
  echo "ffmpeg, ffprobe or ImageMagick missing: skipped"
  exit 77
fi
source "$(dirname "$0")/render_session.bash"

# codec, width, height, frame rate and the number of frames of a clip's picture stream, on one line.
probe() {
  ffprobe -v error -count_frames -select_streams v:0 -of csv=p=0 \
    -show_entries stream=codec_name,width,height,r_frame_rate,nb_read_frames "$1" | tr ',' ' '
}

# The root mean square difference of two pictures, from 0 to 1.
difference() {
  compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p'
}

# Frame INDEX (from 0) of a clip as a 400 x 455 PNG: the MP4's row added below is cut off.
clip_frame() {
  ffmpeg -v error -i "$1" -vf "select=eq(n\\,$2),crop=400:455:0:0" -frames:v 1 -y "$3"
}

# The clip's first and last frames look like the first and last PNG frames, not like each other's.
expect_frames_match() {
  local clip=$1 first="$work/frames/frame-000001.png" last="$work/frames/frame-000030.png"
  clip_frame "$clip" 0 "$work/clip-first.png" && clip_frame "$clip" 29 "$work/clip-last.png" \
    || { fail "$clip: frames cannot be read back"; return; }
  python3 - "$(difference "$first" "$work/clip-first.png")" "$(difference "$last" "$work/clip-first.png")" \
    "$(difference "$last" "$work/clip-last.png")" "$(difference "$first" "$work/clip-last.png")" <<'EOF_PY' \
    || fail "$clip: its frames are not the ones --frames writes"
import sys
first_same, first_other, last_same, last_other = map(float, sys.argv[1:])
assert first_same < 0.03 and last_same < 0.03, (first_same, last_same)  # H.264 loses a little
assert first_same < first_other and last_same < last_other, sys.argv[1:]
EOF_PY
}

# [SECTION] Clips of the demo's first three seconds: 30 frames at 10 a second

run --until 3000 --video "$work/clip.mp4" --frames "$work/frames" --every 100 "$demo"
[ "$status" -eq 0 ] || fail "MP4: exit status $status ($(cat "$work/err"))"
[ "$(probe "$work/clip.mp4")" = "h264 400 456 10/1 30" ] || fail "MP4: $(probe "$work/clip.mp4")"
expect_frames_match "$work/clip.mp4"
run --until 3000 --video "$work/clip.GIF" "$demo"
[ "$status" -eq 0 ] || fail "GIF: exit status $status ($(cat "$work/err"))"
[ "$(probe "$work/clip.GIF")" = "gif 400 455 10/1 30" ] || fail "GIF: $(probe "$work/clip.GIF")"
expect_frames_match "$work/clip.GIF"
echo "MP4 and GIF clips hold the frames, ten a second"

# [SECTION] Clips at --scale 2: frames of 800 x 910, even already, so the MP4 gets no added row

run --until 3000 --scale 2 --video "$work/large.mp4" "$demo"
[ "$status" -eq 0 ] || fail "MP4 at --scale 2: exit status $status ($(cat "$work/err"))"
[ "$(probe "$work/large.mp4")" = "h264 800 910 10/1 30" ] || fail "MP4 at --scale 2: $(probe "$work/large.mp4")"
run --until 1000 --scale 2 --video "$work/large.gif" "$demo"
[ "$status" -eq 0 ] || fail "GIF at --scale 2: exit status $status ($(cat "$work/err"))"
[ "$(probe "$work/large.gif")" = "gif 800 910 10/1 10" ] || fail "GIF at --scale 2: $(probe "$work/large.gif")"
# At --scale 3 the height is odd (1365): the MP4 gets one black row, as at 1x.
run --until 500 --scale 3 --video "$work/odd.mp4" "$demo"
[ "$status" -eq 0 ] || fail "MP4 at --scale 3: exit status $status ($(cat "$work/err"))"
[ "$(probe "$work/odd.mp4")" = "h264 1200 1366 10/1 5" ] || fail "MP4 at --scale 3: $(probe "$work/odd.mp4")"
echo "clips at --scale 2 are 800 x 910, ten frames a second"

# [SECTION] Failures are never a success

# An unwritable path is named before anything plays; a disk that fills up is ffmpeg's failure, with its status.
run --until 3000 --video "$work/no/such/folder/clip.mp4" "$demo"
[ "$status" -eq 1 ] || fail "an unwritable path: exit status $status"
grep -qx "kelo-render: could not write $work/no/such/folder/clip.mp4" "$work/err" || fail "an unwritable path: $(cat "$work/err")"
if [ -w /dev/full ]; then
  for clip in full.mp4 full.gif; do
    ln -s /dev/full "$work/$clip"
    run --until 1000 --video "$work/$clip" "$demo"
    [ "$status" -eq 1 ] || fail "a full disk ($clip): exit status $status"
    grep -q 'ffmpeg ended with exit status' "$work/err" || fail "a full disk ($clip): $(cat "$work/err")"
  done
fi
mkdir "$work/no-ffmpeg"
PATH="$work/no-ffmpeg" run --until 3000 --video "$work/none.mp4" "$demo"
[ "$status" -eq 1 ] || fail "without ffmpeg: exit status $status"
grep -q 'ffmpeg, which is not on the PATH' "$work/err" || fail "without ffmpeg: $(cat "$work/err")"
run --until 50 --video "$work/empty.gif" "$demo"
[ "$status" -eq 1 ] || fail "no frame: exit status $status"
[ ! -e "$work/none.mp4" ] && [ ! -e "$work/empty.gif" ] || fail "a clip file was left where none could be made"
echo "failures give exit status 1"

finish "video clips"

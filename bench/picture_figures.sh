#!/usr/bin/env bash
# The figures of large and odd pictures for one kelo-render, to compare builds: the time of 21 s of play with eight
# vehicle classes of 2,048 x 2,048 icons and with two of 3,000 x 3,000 (against none), of the first frame and of three
# frames with fifty classes of 16,384 x 4,096 icons, of a map of 8,192 x 8,192 (64 megapixels) and of one of
# 16,384 x 16,384, and whether a GIF whose first image is smaller than its screen draws the same frame on every run.
# Usage: bench/picture_figures.sh KELO_RENDER [CASE...] with cases icons, big-icons, map, gif (default: all).
# Relies on python3 (bench/make_picture.py), ImageMagick's convert (the GIFs), GNU time and timeout.
set -uo pipefail
render=$(realpath "$1")
shift
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cases=("${@:-icons big-icons map gif}")
cases=(${cases[*]})
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for tool in /usr/bin/time convert python3; do
  command -v "$tool" >/dev/null || { echo "picture_figures: needs $tool" >&2; exit 77; }
done

# Runs kelo-render under GNU time and `timeout 1800`; prints "<elapsed> s (<user + system> s of processor),
# <max RSS> MB, exit <status>". The processor time is the figure to compare on a machine that others share.
measure() {
  /usr/bin/time -f '%e %U %S %M %x' -o "$work/time" timeout 1800 "$render" "$@" >"$work/out" 2>"$work/err"
  read -r seconds user system kilobytes status < <(tail -n 1 "$work/time")
  echo "${seconds} s ($(python3 -c "print('%.2f' % ($user + $system))") s of processor)," \
    "$((kilobytes / 1024)) MB, exit ${status}$([ "$status" = 124 ] && echo ' (timed out at 1800 s)')"
}

# A program folder with the map's calibration and an empty Maps and Presets.
folder() {
  mkdir -p "$1/Maps" "$1/Presets"
  printf '[Test.map]\nInvertY=0\nInvertX=0\nScaleX=4000\nScaleY=4000\nOffsetX=2000\nOffsetY=0\nRotationOffset=0\n' \
    >"$1/Kelo.ini"
}

# A log of COUNT vehicles of the classes C1 to C<COUNT> driving about the map for SECONDS log seconds.
vehicles_log() {
  python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, count, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, "w") as f:
    f.write("[1:0:0] 1;Test.map\n")
    for v in range(1, count + 1):
        f.write("[1:0:0] CREATED;VEHICLE;%d;C%d;%d;%d;1;0;100;0;%d\n"
                % (v, v, -1500 + 70 * v % 3000, 400 + 50 * v, v % 2))
    for s in range(1, seconds + 1):
        for v in range(1, count + 1):
            f.write("[1:0:%d] POS;VEHICLE;%d;C%d;%d;%d;1;%d;100;0\n"
                    % (s, v, v, -1500 + (70 * v + 40 * s) % 3000, 400 + 50 * v, 15 * s))
EOF
}

# An icon of WIDTH x HEIGHT: a green arrow and a red disc on white, which the colour key makes clear.
icon() {
  python3 "$source_dir/bench/make_picture.py" icon "$@"
}

echo "kelo-render: $render"
for case in "${cases[@]}"; do
  case "$case" in
  icons)
    folder "$work/none"
    vehicles_log "$work/eight.log" 8 21
    echo "(1) 21 s of play, 8 vehicles without icons: $(measure --folder "$work/none" --until 21000 "$work/eight.log")"
    folder "$work/eight"
    icon "$work/eight/Presets/C1.png" 2048 2048
    for v in 2 3 4 5 6 7 8; do cp "$work/eight/Presets/C1.png" "$work/eight/Presets/C$v.png"; done
    echo "(1) 21 s of play, 8 classes of 2,048 x 2,048 icons: $(measure --folder "$work/eight" --until 21000 \
      --frame "$work/eight.png" "$work/eight.log")"
    folder "$work/two"
    vehicles_log "$work/two.log" 2 21
    icon "$work/two/Presets/C1.png" 3000 3000
    cp "$work/two/Presets/C1.png" "$work/two/Presets/C2.png"
    echo "(2) 21 s of play, 2 classes of 3,000 x 3,000 icons: $(measure --folder "$work/two" --until 21000 \
      "$work/two.log")"
    rm -rf "$work/eight" "$work/two"
    ;;
  big-icons)
    folder "$work/fifty"
    vehicles_log "$work/fifty.log" 50 2
    icon "$work/fifty/Presets/C1.png" 16384 4096
    for v in $(seq 2 50); do cp "$work/fifty/Presets/C1.png" "$work/fifty/Presets/C$v.png"; done
    echo "(3) 50 classes of 16,384 x 4,096 icons ($(stat -c %s "$work/fifty/Presets/C1.png") bytes each)," \
      "the first frame: $(measure --folder "$work/fifty" --until 100 "$work/fifty.log")"
    echo "(3) the same, three frames: $(measure --folder "$work/fifty" --until 300 "$work/fifty.log")"
    rm -rf "$work/fifty"
    ;;
  map)
    vehicles_log "$work/map.log" 1 2
    for side in 8192 16384; do
      folder "$work/map$side"
      python3 "$source_dir/bench/make_picture.py" map "$work/map$side/Maps/Test.png" "$side" "$side"
      echo "(4) a map of $side x $side ($(stat -c %s "$work/map$side/Maps/Test.png") bytes), the first frame:" \
        "$(measure --folder "$work/map$side" --until 100 "$work/map.log")"
      rm -rf "$work/map$side"
    done
    ;;
  gif)
    # A screen of 64 x 64 whose only image is 32 x 32 at (16, 16), red as the map and blue as the icon; the vehicle
    # stands at the middle of the map area, so its icon's outer part lies over the map's red.
    folder "$work/gif"
    printf '[1:0:0] 1;Test.map\n[1:0:0] CREATED;VEHICLE;1;C1;0;2000;1;0;100;0;1\n[1:0:9] KILLED;x\n' \
      >"$work/gif.log"
    convert -page 64x64+16+16 -size 32x32 xc:'rgb(200,40,40)' "$work/gif/Maps/Test.gif"
    # Named as the map's and the icon's PNG, as a picture saved under the wrong extension is.
    cp "$work/gif/Maps/Test.gif" "$work/gif/Maps/Test.png"
    convert -page 64x64+16+16 -size 32x32 xc:'rgb(40,40,220)' "$work/gif/icon.gif"
    cp "$work/gif/icon.gif" "$work/gif/Presets/C1.png"
    for run in 1 2 3 4 5; do
      "$render" --folder "$work/gif" --scale 4 --until 100 --frame "$work/gif-$run.png" "$work/gif.log" 2>/dev/null
    done
    echo "(5) a GIF of 64 x 64 holding one image of 32 x 32, as map and icon, 5 runs at scale 4:" \
      "$(md5sum "$work"/gif-*.png | cut -d' ' -f1 | sort -u | wc -l) different frames;" \
      "outside the image, the map shows $(convert "$work/gif-1.png" -format '%[pixel:p{40,200}]' info:) and the" \
      "icon $(convert "$work/gif-1.png" -format '%[pixel:p{782,882}]' info:)"
    ;;
  *)
    echo "picture_figures: no case $case" >&2
    exit 2
    ;;
  esac
done

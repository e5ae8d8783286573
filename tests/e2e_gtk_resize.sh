#!/usr/bin/env bash
# End-to-end run of the GTK viewer's view that grows with its window, under Xvfb: `kelo LOG` at 400 x 455, then the
# window resized with xdotool to 800 x 910 shows the frame at twice the size (the control band's 50 rows, the
# buttons at twice their places), at 1000 x 910 centred between black bands, and a click at Pause's doubled place
# pauses (the readout appears at its doubled place) while a click in a black band does nothing.
# Usage: e2e_gtk_resize.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]. Relies on tests/x11_session.bash; exits 77 when
# Xvfb, xdotool, ImageMagick or python3 is missing.
set -euo pipefail
source "$(dirname "$0")/x11_session.bash"

built="$(realpath "$1")/kelo"
[ -x "$built" ] || fail "no viewer at $built (was GTK 3 found when building?)"
start_display 1280x1024
export GSETTINGS_BACKEND=memory

# A folder of its own with a plain dark green map, and a log whose second line comes a minute later: playback waits
# all through the test, with one red soldier in the middle of the map.
app="$work/app"
mkdir -p "$app/Maps"
cp "$built" "$app/kelo"
printf '[Plain.map]\nInvertY=false\nInvertX=false\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n' \
    >"$app/Kelo.ini"
map_colour='rgb(0,80,0)'
band_colour='rgb(0,0,100)'
convert -size 64x64 "xc:$map_colour" "PNG24:$app/Maps/Plain.png"
cat >"$work/wait.log" <<'LOG'
[10:00:00] 1;Plain.map
[10:00:00] CREATED;SOLDIER;1;Rifleman;0;0;0;0;1;0;0;Alpha
[10:01:00] KILLED;SOLDIER;1
LOG

start_viewer "$work" "$app/kelo" "$work/wait.log"
e2e_show_output() { echo "--- output of kelo:"; cat "$work/kelo.out"; }
window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window named Kelo appeared"
read_window_geometry "$window"
[ "${win_width}x$win_height" = 400x455 ] || fail "the window starts at ${win_width}x$win_height, not 400x455"
wait_for_colour "$(area 400 400 0 25)" "$map_colour" 100000 20 || fail "the log's map is not shown"

read -r -a small <<<"$(button_middles 0 10 400)"
[ "${#small[@]}" -eq 6 ] || fail "expected six buttons at 400 x 455, found ${#small[@]}: ${small[*]}"
echo "at 400 x 455: buttons at x = ${small[*]}"

# [SECTION] 800 x 910: everything twice the size

xdotool windowsize --sync "$window" 800 910
read_window_geometry "$window"
[ "${win_width}x$win_height" = 800x910 ] || fail "the window was resized to ${win_width}x$win_height, not 800x910"
wait_for_colour "$(area 800 800 0 50)" "$map_colour" 500000 20 || fail "the map does not fill 800 x 800 below the band"
# The band: 50 rows, edge to edge (the buttons take part of rows 6 to 44).
wait_for_colour "$(area 800 6 0 0)" "$band_colour" 4800 5 || fail "the band's top rows do not span 800 pixels"
[ "$(count_other "$(area 800 4 0 46)" "$band_colour")" -eq 0 ] || fail "rows 46 to 49 are not all band"
read -r -a large <<<"$(button_middles 0 20 800)"
[ "${#large[@]}" -eq 6 ] || fail "expected six buttons at 800 x 910, found ${#large[@]}: ${large[*]}"
for i in 0 1 2 3 4 5; do
    off=$((large[i] - 2 * small[i]))
    [ "${off#-}" -le 6 ] || fail "button $i at x = ${large[i]}, not near twice ${small[i]}"
done
# The soldier, a dot of 6 frame pixels at the map's middle (200, 225), is 12 pixels wide at (400, 450).
wait_for_colour "$(area 24 24 394 444)" 'rgb(255,0,0)' 80 5 || fail "no soldier of twice the size at (400, 450)"
cp "$work/screen.png" "$work/at-800x910.png"
echo "at 800 x 910: the band is 50 rows, buttons at x = ${large[*]}, the soldier twice the size"

# [SECTION] 1000 x 910: centred between black bands; the pointer through the fit

xdotool windowsize --sync "$window" 1000 910
read_window_geometry "$window"
[ "${win_width}x$win_height" = 1000x910 ] || fail "the window was resized to ${win_width}x$win_height"
wait_for_colour "$(area 800 800 100 50)" "$map_colour" 500000 20 || fail "the map is not at x = 100 to 900"
[ "$(count_other "$(area 100 910 0 0)" 'rgb(0,0,0)')" -eq 0 ] || fail "the left band is not black"
[ "$(count_other "$(area 100 910 900 0)" 'rgb(0,0,0)')" -eq 0 ] || fail "the right band is not black"
read -r -a centred <<<"$(button_middles 100 20 800)"
[ "${centred[*]}" = "${large[*]}" ] || fail "buttons at x = ${centred[*]} from the frame's left, not ${large[*]}"
cp "$work/screen.png" "$work/at-1000x910.png"
echo "at 1000 x 910: the frame 800 x 910 in the middle, black bands of 100 pixels on either side"

# The speed readout ("1.00X Paused") stands at frame (10, 25 + its height): at 1000 x 910 from (120, 50) on.
readout=$(area 120 60 116 54)
[ "$(count_other "$readout" "$map_colour")" -eq 0 ] || fail "a readout shows before Pause"
click() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.2
    xdotool click 1
}
# A click in the black band on the row of the buttons hits nothing: a second later there is still no readout.
click 50 20
sleep 1
[ "$(count_other "$readout" "$map_colour")" -eq 0 ] || fail "a click in the black band paused playback"
click $((100 + 2 * small[3])) 20
wait_for_other "$readout" "$map_colour" 200 10 || fail "no readout after a click at Pause's doubled place"
cp "$work/screen.png" "$work/paused.png"
echo "a click at Pause's doubled place paused playback; one in the black band did nothing"

close_viewer "$window" kelo

#!/usr/bin/env bash
# End-to-end run of the control bar in the GTK viewer `kelo` under Xvfb, clicked with xdotool at the buttons'
# places as found in a screenshot: Open a short log through the chooser, see its units, ">>" shows the speed
# readout, "Pause" widens it with " Paused", "Play" runs to "No more data", and the window closes with exit code 0;
# "Bars" shows the soldiers' bare status bars on the way.
# Usage: e2e_gtk_controls.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]. Relies on tests/x11_session.bash.
set -euo pipefail
source "$(dirname "$0")/x11_session.bash"

built="$(realpath "$1")/kelo"
[ -x "$built" ] || fail "no viewer at $built (was GTK 3 found when building?)"
start_display

# The program gets a folder of its own, so that its Kelo.ini and map picture are the ones written here: a plain
# dark green map on which 400 map units span the 400 pixels, map (0, 0) being the view's point (200, 225).
app="$work/app"
mkdir -p "$app/Maps"
cp "$built" "$app/kelo"
printf '[Plain.map]\nInvertY=false\nInvertX=false\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n' \
    >"$app/Kelo.ini"
map_colour='rgb(0,80,0)'
convert -size 64x64 "xc:$map_colour" "PNG24:$app/Maps/Plain.png"

# Two red soldiers and a red vehicle square at once; a long wait (20 log seconds) leaves time for ">>" and "Pause";
# after "Play" the last two lines come within a few seconds and the data ends.
mkdir "$work/logs"
cat >"$work/logs/controls.log" <<'LOG'
[10:00:00] 1;Plain.map
[10:00:00] CREATED;SOLDIER;1;Rifleman;0;0;0;0;1;0;0;Alpha
[10:00:00] CREATED;SOLDIER;2;Rifleman;100;-100;0;0;1;0;0;Bravo
[10:00:00] CREATED;VEHICLE;3;Truck;-100;100;1;90;1;0;0
[10:00:20] POS;SOLDIER;1;Rifleman;10;10;0;0;1;0
[10:00:22] KILLED;SOLDIER;2
LOG

start_viewer "$work/logs" "$app/kelo"
e2e_show_output() { echo "--- output of kelo:"; cat "$work/kelo.out"; }

window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window named Kelo appeared"
read_window_geometry "$window"
wait_for_colour "$(area 400 25 0 0)" 'rgb(0,0,100)' 2000 20 || fail "no control band in the top rows"

# [SECTION] The buttons' places, from the screenshot

read -r -a middles <<<"$(button_middles 0 10 400)"
[ "${#middles[@]}" -eq 6 ] || fail "expected six buttons along the band, found ${#middles[@]}: ${middles[*]}"
open_x=${middles[0]} play_x=${middles[2]} pause_x=${middles[3]} faster_x=${middles[4]} bars_x=${middles[5]}
echo "buttons at x = ${middles[*]}"

click_at() {
    xdotool mousemove --window "$window" "$1" 10
    sleep 0.2
    xdotool click 1
}

# [SECTION] Open, then the units on the map

click_at "$open_x"
chooser=$(wait_for_window '^Open$' 15) || fail "the open-file chooser did not appear"
xdotool windowfocus --sync "$chooser"
xdotool key --clearmodifiers ctrl+l
sleep 0.5
xdotool type --delay 20 "$work/logs/controls.log"
sleep 0.5
xdotool key Return
wait_for_no_window '^Open$' 10 || fail "the chooser did not close on Return"
opened=$SECONDS
wait_for_colour "$(area 400 400 0 25)" 'rgb(255,0,0)' 60 15 || fail "no red units on the map"
wait_for_colour "$(area 12 12 197 222)" 'rgb(255,0,0)' 10 5 || fail "no soldier at the view's point (200, 225)"
cp "$work/screen.png" "$work/units.png"
echo "the log opened and its units are on the map"

# "Bars" gives the soldier at (200, 225) its bare status bar 13 pixels below its point.
bar=$(area 30 5 203 236)
[ "$(count_other "$bar" "$map_colour")" -eq 0 ] || fail "a bar shows under the soldier before Bars"
click_at "$bars_x"
wait_for_other "$bar" "$map_colour" 60 10 || fail "no bare status bar under the soldier after Bars"
cp "$work/screen.png" "$work/bars.png"
echo "Bars shows the bare status bars"

# [SECTION] Faster, Pause, Play

# The readout stands at x = 10 just below the band; "2.00X" stays well left of x = 60, " Paused" reaches past it.
readout=$(area 50 30 9 28)
beyond=$(area 40 30 62 28)
[ "$(count_other "$readout" "$map_colour")" -eq 0 ] || fail "a speed readout shows at the starting speed"
click_at "$faster_x"
wait_for_other "$readout" "$map_colour" 100 10 || fail "no speed readout after >>"
[ "$(count_other "$beyond" "$map_colour")" -eq 0 ] || fail "the readout at 2.00X reaches past x = 60"
cp "$work/screen.png" "$work/faster.png"
echo "the speed readout appeared after >>"

click_at "$pause_x"
wait_for_other "$beyond" "$map_colour" 50 10 || fail "the readout did not grow by \" Paused\""
cp "$work/screen.png" "$work/paused.png"
echo "the readout says Paused"
# Paused, the long wait is dropped: no "No more data" comes however long we wait. Unpaused, the box would come 21 s
# after the log opened (20 log seconds at 1x, then 2 at the doubled speed), so the watch lasts until 30 s after.
watch=$((opened + 30 - SECONDS))
[ "$watch" -gt 0 ] || watch=1
! wait_for_window '^Error$' "$watch" >/dev/null || fail "playback went on while paused"

click_at "$play_x"
error_box=$(wait_for_window '^Error$' 20) || fail "no \"No more data\" box after Play"
[ "$(count_other "$beyond" "$map_colour")" -eq 0 ] || fail "the readout still says Paused after Play"
xdotool windowfocus --sync "$error_box"
xdotool key Return
wait_for_no_window '^Error$' 10 || fail "Return did not dismiss the \"No more data\" box"
echo "Play ran to the end of the data; the box was dismissed"

close_viewer "$window" kelo

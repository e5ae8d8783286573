#!/usr/bin/env bash
# End-to-end run of the GTK viewer `kelo` under Xvfb: the window "Kelo" (400 x 455 inside, icon, no maximise),
# the control band and the yellow title, hover, the open-file chooser, the "No more data" box and the map picture
# over a short log, the frame growing with the window (black on either side) when enlarged, and exit code 0 when the
# window is closed.
# Usage: e2e_gtk_window.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]
set -euo pipefail
source "$(dirname "$0")/x11_session.bash"

kelo="$(realpath "$1")/kelo"
[ -x "$kelo" ] || fail "no viewer at $kelo (was GTK 3 found when building?)"
start_display
# What the chooser remembers stays in memory, not in the settings of the one running the tests.
export GSETTINGS_BACKEND=memory

# The chooser starts in the current folder, where the log waits. It names the demo's map, whose picture and
# Kelo.ini section lie beside kelo (map x / 10 is the view's x, map y 3500 its y 75); a red soldier is created at
# map x 500 and reported at 1000, so it glides for two seconds. All lines share a stamp: the data ends at once.
mkdir "$work/logs"
cat >"$work/logs/short.log" <<'LOG'
[10:00:00] 1;Brackwater.map
[10:00:00] CREATED;SOLDIER;1;Rifleman;3500;500;0;0;100;0;0;Alpha
[10:00:00] POS;SOLDIER;1;Rifleman;3500;1000;0;0;100;0
[10:00:00] CONFIG;20;End to end
LOG
start_viewer "$work/logs" "$kelo"
e2e_show_output() { echo "--- output of kelo:"; cat "$work/kelo.out"; }

window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window named Kelo appeared"
read_window_geometry "$window"
[ "${win_width}x$win_height" = 400x455 ] || fail "the window's inside is ${win_width}x$win_height, not 400 x 455"
has_32_icon "$window" || fail "the window has no 32 x 32 icon"
offers_no_maximise "$window" || fail "the window offers maximising"

# The top 25 rows hold the control band, the rest the title screen with its yellow title.
band=$(area 400 25 0 0)
wait_for_colour "$band" 'rgb(0,0,100)' 2000 20 || fail "no control band in the top rows"
wait_for_colour "$(area 400 430 0 25)" 'rgb(255,255,0)' 300 10 || fail "no yellow title on the title screen"
echo "band and title drawn"

# Hovering "Open" (near the band's left end) lights its face; leaving the band puts it out again.
xdotool mousemove --window "$window" 10 12
wait_for_colour "$band" 'rgb(0,0,255)' 50 10 || fail "hovering Open did not show"
xdotool mousemove --window "$window" 200 300
sleep 0.5
import -window root "$work/screen.png"
[ "$(count_colour "$work/screen.png" "$band" 'rgb(0,0,255)')" -eq 0 ] || fail "the hover stayed after leaving"
echo "hover follows the pointer"

# Pressing and releasing "Open" shows the chooser; the log is named relative to the folder it starts in.
xdotool mousemove --window "$window" 10 12 click 1
chooser=$(wait_for_window '^Open$' 15) || fail "the open-file chooser did not appear"
xdotool windowfocus --sync "$chooser"
xdotool key --clearmodifiers ctrl+l
sleep 0.5
xdotool type --delay 30 short.log
sleep 0.5
xdotool key Return
wait_for_no_window '^Open$' 10 || fail "the chooser did not close on Return"
error_box=$(wait_for_window '^Error$' 15) || fail "no \"Error\" box at the end of the log"
echo "chooser opened the log; the end of data was reported"
# Under the box, movement and repainting go on: the soldier's dot arrives at the view's (100, 75).
wait_for_colour "$(area 14 14 96 71)" 'rgb(255,0,0)' 10 10 || fail "the soldier did not glide under the box"
[ "$(count_colour "$work/screen.png" "$(area 14 14 46 71)" 'rgb(255,0,0)')" -eq 0 ] \
    || fail "the soldier stayed at its start under the box"
echo "the soldier glided under the box"
close_window "$error_box"
wait_for_no_window '^Error$' 10 || fail "the \"Error\" box did not close"
# The map picture from the program's folder fills the map area: hardly any black is left there.
# The map picture is decoded aside and may come a moment after the units: less than a tenth of the area black.
wait_for_other "$(area 400 400 0 25)" 'rgb(0,0,0)' 144001 10 || fail "no map picture in the map area"
echo "the log's map is drawn"

# Enlarged to 480 x 500, the window shows the frame 500 / 455 times larger (439.6 pixels wide), centred from x = 20:
# the band's top two rows span x = 20 to 459, and the 20 columns on either side are black.
xdotool windowsize "$window" 480 500
wait_for_colour "$(area 440 2 20 0)" 'rgb(0,0,100)' 880 10 || fail "the band does not span the enlarged frame"
[ "$(count_colour "$work/screen.png" "$(area 20 500 0 0)" 'rgb(0,0,0)')" -eq 10000 ] \
    || fail "not black left of the enlarged frame"
[ "$(count_colour "$work/screen.png" "$(area 20 500 460 0)" 'rgb(0,0,0)')" -eq 10000 ] \
    || fail "not black right of the enlarged frame"
echo "the frame grows with the window, black on either side"

close_viewer "$window" kelo

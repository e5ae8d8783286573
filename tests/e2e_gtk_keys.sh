#!/usr/bin/env bash
# End-to-end run of the keys and the timeline strip in the GTK viewer `kelo` under Xvfb, typed with xdotool: "o"
# opens a short log through the chooser and the strip appears below the map; "plus" shows the speed readout and
# "minus" takes it away; "b" shows the soldiers' bare status bars; Space pauses (" Paused") and plays on to "No more
# data"; pointing at the strip shows the time under the pointer, and a press there is taken by the strip. Under the
# "No more data" box the window takes no input, and a close request ends both with exit code 0. A log that cannot be
# opened is named on standard error with the system's reason; Ctrl+Q closes. Under a window manager (openbox), F11
# fills the screen with the frame drawn to fit, Escape gives the window its size back, and Ctrl+W closes.
# Usage: e2e_gtk_keys.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]. Relies on tests/x11_session.bash.
set -euo pipefail
source "$(dirname "$0")/x11_session.bash"

built="$(realpath "$1")/kelo"
[ -x "$built" ] || fail "no viewer at $built (was GTK 3 found when building?)"
command -v Xvfb xdotool import convert python3 >/dev/null || fail "Xvfb, xdotool, ImageMagick or python3 missing"
require_tools openbox
start_display

# A plain dark green map on which 400 map units span the 400 pixels, map (0, 0) being the view's point (200, 225).
app="$work/app"
mkdir -p "$app/Maps"
cp "$built" "$app/kelo"
printf '[Plain.map]\nInvertY=false\nInvertX=false\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n' \
    >"$app/Kelo.ini"
map_colour='rgb(0,80,0)'
convert -size 64x64 "xc:$map_colour" "PNG24:$app/Maps/Plain.png"

# A red soldier at once, then a wait of two log minutes that leaves time for every key; after Play the last two
# lines come within two log seconds and the data ends.
mkdir "$work/logs"
cat >"$work/logs/keys.log" <<'LOG'
[10:00:00] 1;Plain.map
[10:00:00] CREATED;SOLDIER;1;Rifleman;0;0;0;0;1;0;0;Alpha
[10:00:00] CHAT;PUBLIC;1;hello
[10:02:00] POS;SOLDIER;1;Rifleman;10;10;0;0;1;0
[10:02:01] KILLED;SOLDIER;1
LOG

start_viewer "$work/logs" "$app/kelo"
e2e_show_output() { echo "--- output of kelo:"; cat "$work/kelo.out"; }

window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window named Kelo appeared"
read_window_geometry "$window"
wait_for_colour "$(area 400 25 0 0)" 'rgb(0,0,100)' 2000 20 || fail "no control band in the top rows"

# Keys go to the window that has the focus; without a window manager nobody gives it back after a dialog.
press_key() {
    xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers "$1"
}

# Waits until every pixel of the geometry has the colour, within the given seconds.
wait_for_only() {
    local box=$1 colour=$2 deadline=$((SECONDS + $3))
    while [ $SECONDS -lt "$deadline" ]; do
        [ "$(count_other "$box" "$colour")" -eq 0 ] && return 0
        sleep 0.3
    done
    return 1
}

strip=$(area 400 30 0 425)
bar=$(area 380 8 10 429)
[ "$(count_other "$strip" 'rgb(0,0,0)')" -eq 0 ] || fail "the strip shows before a log is open"

# [SECTION] "o" opens the chooser; the log's map, its soldier and the strip appear

press_key o
chooser=$(wait_for_window '^Open$' 15) || fail "the open-file chooser did not appear on \"o\""
xdotool windowfocus --sync "$chooser"
xdotool key --clearmodifiers ctrl+l
sleep 0.5
xdotool type --delay 20 "$work/logs/keys.log"
sleep 0.5
xdotool key Return
wait_for_no_window '^Open$' 10 || fail "the chooser did not close on Return"
wait_for_colour "$(area 12 12 197 222)" 'rgb(255,0,0)' 10 15 || fail "no soldier at the view's point (200, 225)"
wait_for_other "$bar" 'rgb(0,0,0)' 2500 10 || fail "no timeline bar below the map"
cp "$work/screen.png" "$work/opened.png"
echo "\"o\" opened the log; the strip is drawn"

# [SECTION] plus, minus, b

# The readout stands at x = 10 just below the band; " Paused" reaches past x = 60.
readout=$(area 50 30 9 28)
beyond=$(area 40 30 62 28)
[ "$(count_other "$readout" "$map_colour")" -eq 0 ] || fail "a speed readout shows at the starting speed"
press_key plus
wait_for_other "$readout" "$map_colour" 100 10 || fail "no speed readout after \"plus\""
echo "\"plus\" shows the speed readout"
press_key minus
wait_for_only "$readout" "$map_colour" 10 || fail "the speed readout stays after \"minus\""
echo "\"minus\" takes it away again"

soldier_bar=$(area 30 5 203 236)
[ "$(count_other "$soldier_bar" "$map_colour")" -eq 0 ] || fail "a bar shows under the soldier before \"b\""
press_key b
wait_for_other "$soldier_bar" "$map_colour" 60 10 || fail "no bare status bar under the soldier after \"b\""
echo "\"b\" shows the bare status bars"

# [SECTION] Space pauses; the strip under the pointer

press_key space
wait_for_other "$beyond" "$map_colour" 50 10 || fail "no \" Paused\" readout after Space"
echo "Space paused playback"

# Pointing at the bar shows the time under the pointer, centred below it in a grey box in the strip's text row,
# where nothing else stands (the elapsed time is at the right end).
label=$(area 80 16 160 439)
label_grey='rgb(64,64,64)'
[ "$(count_colour "$work/screen.png" "$label" "$label_grey")" -eq 0 ] || fail "a time label before pointing"
xdotool mousemove --window "$window" 200 433
wait_for_colour "$label" "$label_grey" 50 10 || fail "no time under the pointer on the strip"
xdotool click 1
sleep 1
kill -0 "$kelo_pid" 2>/dev/null || fail "kelo ended after a press on the strip"
wait_for_colour "$label" "$label_grey" 50 5 || fail "the time under the pointer went after a press on the strip"
cp "$work/screen.png" "$work/pointing.png"
xdotool mousemove --window "$window" 200 300
wait_for_only "$label" 'rgb(0,0,0)' 10 || fail "the time label stays after the pointer left the strip"
echo "the strip shows the time under the pointer and takes a press"

# Paused, the long wait is dropped: no "No more data" comes however long we wait; Space plays on to the end.
! wait_for_window '^Error$' 1 >/dev/null || fail "playback went on while paused"
press_key space
error_box=$(wait_for_window '^Error$' 20) || fail "no \"No more data\" box after Space played on"
xdotool windowfocus --sync "$error_box"
xdotool key Return
wait_for_no_window '^Error$' 10 || fail "Return did not dismiss the \"No more data\" box"
echo "Space played on to the end of the data"

# [SECTION] A close request while the box is up

# Pause, then Play after the end: the data ends again at once, and the box comes back.
press_key space
press_key space
wait_for_window '^Error$' 20 "$kelo_pid" >/dev/null || fail "no \"No more data\" box after Play at the end"
# The box is modal: the window takes neither a click on "Open" nor the key "o" while it is up.
xdotool mousemove --window "$window" 10 12 click 1
press_key o
! wait_for_window '^Open$' 3 >/dev/null || fail "the window took input while the box was up"
close_viewer "$window" kelo
wait_for_no_window '^Error$' 5 || fail "the \"No more data\" box stayed after kelo ended"
echo "a close request while the \"No more data\" box was up closed the box and the window"

# [SECTION] A log that cannot be opened; Ctrl+Q

missing="$work/logs/no such.log"
start_viewer "$work/logs" "$app/kelo" "$missing"
window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window for a missing log"
error_box=$(wait_for_window '^Error!$' 15 "$kelo_pid") || fail "no \"Could not open file\" box for a missing log"
grep -qxF "kelo: could not open $missing: No such file or directory" "$work/kelo.out" \
    || fail "standard error does not name the missing log and the reason"
xdotool windowfocus --sync "$error_box"
xdotool key Return
wait_for_no_window '^Error!$' 10 || fail "Return did not dismiss the \"Could not open file\" box"
echo "a missing log: the box, and on standard error the path and the reason"
press_key ctrl+q
wait_for_exit "$kelo_pid" 20
[ "$exit_code" = 0 ] || fail "kelo did not end with exit code 0 on Ctrl+Q (exit code '$exit_code')"
echo "Ctrl+Q closed the window: exit code 0"

# [SECTION] Full screen under a window manager; Ctrl+W

start_window_manager
start_viewer "$work/logs" "$app/kelo" "$work/logs/keys.log"
window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window under openbox"
read_window_geometry "$window"
wait_for_colour "$(area 12 12 197 222)" 'rgb(255,0,0)' 10 15 || fail "no soldier under openbox"
before="${win_width}x$win_height"
[ "$before" = 400x455 ] || fail "the window's inside is $before under openbox, not 400x455"
screen_size=$(xdotool getdisplaygeometry | tr ' ' x)

press_key F11
expect_full_screen "$window" "$screen_size"
# 1024 x 768 fits the frame at 768 / 455 its size, 675 pixels wide from x = 174: the soldier's (200, 225) is at
# (512, 380).
wait_for_colour "$(area 20 20 502 370)" 'rgb(255,0,0)' 30 10 || fail "F11: no soldier at (512, 380)"
echo "F11 filled the $screen_size screen; the frame is drawn to fit it"

press_key Escape
wait_for_size "$window" "$before" 10 || fail "Escape: the window is ${win_width}x$win_height, not $before again"
wait_for_colour "$(area 12 12 197 222)" 'rgb(255,0,0)' 10 15 || fail "Escape: no soldier at (200, 225) again"
echo "Escape gave the window its size back"

press_key F11
wait_for_size "$window" "$screen_size" 10 || fail "F11 again: the window did not fill the screen"
press_key ctrl+w
wait_for_exit "$kelo_pid" 20
[ "$exit_code" = 0 ] || fail "kelo did not end with exit code 0 on Ctrl+W in full screen (exit code '$exit_code')"
echo "Ctrl+W closed the full-screen window: exit code 0"

#!/usr/bin/env bash
# End-to-end run of the cross-built Kelo.exe under Wine and Xvfb, in a fresh Wine prefix: the window "Kelo" with
# the icon resource, no maximise box and a client area of the frame's 400 x 455, the control band and the yellow
# title, hover, the open-file dialog, the "No more data" box, the map picture and the timeline strip over a short
# log, a key, F11 and Escape in and out of full screen, and exit code 0 on Ctrl+Q; then `Kelo.exe LOG` opening the
# log at start-up, a log dropped on the window (from the GTK drag source of tests/drag_source.cpp), the window resized
# (the frame drawn larger) and closed; and a close request while the "No more data" box is up.
# Usage: e2e_wine_window.sh BUILD_DIR SOURCE_DIR WINDOWS_EXE (the test command cross-builds Kelo.exe first)
set -euo pipefail
source "$(dirname "$0")/x11_session.bash"
# Debian keeps wine64 out of the PATH when only the 64-bit Wine is installed.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$wine" ] || skip "wine64 is not installed"

exe=${3:-}
[ -n "$exe" ] || fail "no Kelo.exe was given: cross-build it (cmake/mingw-w64-x86_64.cmake) and pass its path"
[ -s "$exe" ] || fail "Kelo.exe at '$exe' is missing or empty"
folder=$(dirname "$(realpath "$exe")")
for beside in Kelo.ini Maps Presets; do
    [ -e "$folder/$beside" ] || fail "$beside is not beside $exe"
done

export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No Mono or Gecko installers in the fresh prefix: Kelo needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
e2e_extra_cleanup() { "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; }
e2e_show_output() { echo "--- output of Kelo.exe under Wine:"; cat "$work/kelo.out"; }
# Room for the window resized to 800 x 910 at the end.
start_display 1280x1024

"$wine" wineboot --init >"$work/wineboot.out" 2>&1 || fail "wineboot failed: $(cat "$work/wineboot.out")"
# A bare prefix has no Arial and no generic sans-serif family: without these GDI+ draws no text.
for font in Arial "Microsoft Sans Serif"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d 'Liberation Sans' /f >/dev/null 2>&1 \
        || fail "could not add the font replacement for $font"
done

mkdir "$work/Kelo"
cp -r "$exe" "$folder/Kelo.ini" "$folder/Maps" "$folder/Presets" "$work/Kelo/"
start_viewer "$work/Kelo" "$wine" "./$(basename "$exe")"

window=$(wait_for_window '^Kelo$' 40 "$kelo_pid") || fail "no window named Kelo appeared"
read_window_geometry "$window"
echo "window inside: ${win_width}x$win_height at $win_x,$win_y"
has_32_icon "$window" || fail "the window shows no 32 x 32 icon"
offers_no_maximise "$window" || fail "the window offers maximising"

# The frame and the caption lie around the client area, which holds the whole frame.
[ "$win_width" -eq 400 ] && [ "$win_height" -eq 455 ] \
    || fail "the window's inside is ${win_width}x$win_height, not the frame's 400x455"
band=$(area 400 25 0 0)
wait_for_colour "$band" 'rgb(0,0,100)' 2000 30 || fail "no control band in the top rows"
wait_for_colour "$(area 400 400 0 25)" 'rgb(255,255,0)' 300 10 || fail "no yellow title on the title screen"
# No log yet: the rows below the map are black.
[ "$(count_other "$(area 400 30 0 425)" 'rgb(0,0,0)')" -eq 0 ] || fail "the strip shows before a log is open"
echo "band and title drawn"

xdotool mousemove --window "$window" 10 12
wait_for_colour "$band" 'rgb(0,0,255)' 50 10 || fail "hovering Open did not show"
echo "hover follows the pointer"

# "Open" shows the system's open-file dialog; the log's full path goes into its name field. The log names the
# demo's map, whose picture and Kelo.ini section lie beside Kelo.exe (map x / 10 is the view's x, map y 3500 its
# y 75); a red soldier is created at map x 500 and reported at 1000, so it glides for two seconds. All lines
# share a stamp, so the data ends at once with the "No more data" box. The lines end as on Windows.
printf '%s\r\n' '[10:00:00] 1;Brackwater.map' '[10:00:00] CREATED;SOLDIER;1;Rifleman;3500;500;0;0;100;0;0;Alpha' \
    '[10:00:00] POS;SOLDIER;1;Rifleman;3500;1000;0;0;100;0' '[10:00:00] CONFIG;20;End to end' >"$work/short.log"
xdotool click 1
dialog=$(wait_for_window '^Open$' 20 "$kelo_pid") || fail "the open-file dialog did not appear"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "Z:${work//\//\\}\\short.log"
xdotool key Return
wait_for_no_window '^Open$' 10 || fail "the open-file dialog did not close on Return"
error_box=$(wait_for_window '^Error$' 15 "$kelo_pid") || fail "no \"Error\" box at the end of the log"
# Under the box, movement and repainting go on: the soldier's dot arrives at the view's (100, 75).
wait_for_colour "$(area 14 14 96 71)" 'rgb(255,0,0)' 10 10 || fail "the soldier did not glide under the box"
[ "$(count_colour "$work/screen.png" "$(area 14 14 46 71)" 'rgb(255,0,0)')" -eq 0 ] \
    || fail "the soldier stayed at its start under the box"
echo "the soldier glided under the box"
close_window "$error_box"
wait_for_no_window '^Error$' 10 || fail "the \"Error\" box did not close"
echo "the dialog opened the log; the end of data was reported"
# The map picture fills the map area, to its right edge: hardly any black is left there.
# The map picture is decoded aside and may come a moment after the units: less than a tenth of the area black.
wait_for_other "$(area 400 400 0 25)" 'rgb(0,0,0)' 144001 10 || fail "no map picture in the map area"
[ "$(count_colour "$work/screen.png" "$(area 8 400 392 25)" 'rgb(0,0,0)')" -lt 400 ] \
    || fail "no map picture in the map area's right 8 columns"
echo "the log's map is drawn"
# Below the map, the timeline strip: its bar fills the rows under the map, its text row reaches the frame's bottom.
wait_for_other "$(area 380 8 10 429)" 'rgb(0,0,0)' 2500 10 || fail "no timeline bar below the map"
[ "$(count_other "$(area 400 15 0 440)" 'rgb(0,0,0)')" -gt 20 ] || fail "no time text in the strip's last rows"
echo "the timeline strip is drawn below the map"

# A key: "plus" acts as ">>", and the speed readout's black text appears at the top left of the map.
readout=$(area 50 16 9 28)
readout_ink=$(count_colour "$work/screen.png" "$readout" 'rgb(0,0,0)')
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers plus
wait_for_colour "$readout" 'rgb(0,0,0)' $((readout_ink + 20)) 10 || fail "no speed readout after the key \"plus\""
echo "the key \"plus\" sped playback up"

# F11: the window loses its frame and covers the screen, where the frame is drawn to fit. Escape gives the window its
# frame, place and size back.
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers F11
expect_full_screen "$window" 1280x1024
echo "F11 filled the screen; the frame is drawn to fit it"
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers Escape
wait_for_size "$window" 400x455 10 || fail "Escape: the window is ${win_width}x$win_height, not 400x455 again"
wait_for_colour "$(area 400 25 0 0)" 'rgb(0,0,100)' 2000 15 || fail "Escape: no control band in the top rows"
echo "Escape gave the window its frame and size back"

xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers ctrl+q
wait_for_exit "$kelo_pid" 20
[ "$exit_code" = 0 ] || fail "Kelo.exe did not end with exit code 0 on Ctrl+Q (exit code '$exit_code')"
echo "Ctrl+Q closed the window: exit code 0"

# Started with a log, as the desktop starts it when a log is opened with Kelo: the soldier glides to its last
# report, the view's (100, 75). Then a log dropped on the window opens in its place: a yellow soldier at (300, 75).
drag_source="$(realpath "$1")/tests/kelo_drag_source"
[ -x "$drag_source" ] || fail "no drag source at $drag_source"
printf '%s\r\n' '[10:00:00] 1;Brackwater.map' '[10:00:00] CREATED;SOLDIER;2;Rifleman;3500;3000;0;0;100;0;1;Bravo' \
    '[10:00:00] CONFIG;20;Dropped' >"$work/dropped.log"
start_viewer "$work/Kelo" "$wine" "./$(basename "$exe")" "Z:${work//\//\\}\\short.log" extra.log
window=$(wait_for_window '^Kelo$' 40 "$kelo_pid") || fail "no window for Kelo.exe LOG"
error_box=$(wait_for_window '^Error$' 15 "$kelo_pid") || fail "Kelo.exe LOG: no \"Error\" box at the end of the log"
read_window_geometry "$window"
wait_for_colour "$(area 14 14 96 71)" 'rgb(255,0,0)' 10 10 || fail "Kelo.exe LOG: the log's soldier is not drawn"
close_window "$error_box"
wait_for_no_window '^Error$' 10 || fail "the \"Error\" box did not close"
echo "Kelo.exe LOG opened the log"
drag_and_drop "$drag_source" $((win_x + 200)) $((win_y + 200)) "$(file_uri "$work/dropped.log")"
wait_for_window '^Error$' 15 "$kelo_pid" >/dev/null || fail "the dropped log reached no end of data"
wait_for_colour "$(area 14 14 296 71)" 'rgb(255,255,0)' 10 10 || fail "the dropped log's soldier is not drawn"
[ "$(count_colour "$work/screen.png" "$(area 14 14 96 71)" 'rgb(255,0,0)')" -eq 0 ] \
    || fail "the first log's soldier stayed after the drop"
echo "the dropped log was opened"
close_window "$(wait_for_window '^Error$' 5)"
wait_for_no_window '^Error$' 10 || fail "the \"Error\" box did not close"

# Resized to 800 x 910, the window shows the frame at twice the size: the band's top rows span 800 pixels, the yellow
# soldier is at (600, 150), and the pointer at twice the place of "Open" lights its face. At 1000 x 910 the frame is
# centred between black bands of 100 pixels, where the pointer lights nothing.
xdotool windowsize --sync "$window" 800 910
read_window_geometry "$window"
[ "${win_width}x$win_height" = 800x910 ] || fail "the window was resized to ${win_width}x$win_height, not 800x910"
wait_for_colour "$(area 800 2 0 0)" 'rgb(0,0,100)' 1600 15 || fail "the band does not span the resized window"
wait_for_colour "$(area 28 28 586 136)" 'rgb(255,255,0)' 60 10 || fail "no soldier of twice the size at (600, 150)"
xdotool mousemove --window "$window" 20 24
wait_for_colour "$(area 800 50 0 0)" 'rgb(0,0,255)' 150 10 || fail "the pointer at twice Open's place lit nothing"
echo "at 800 x 910 the frame is twice the size and the pointer finds Open at twice its place"
xdotool windowsize --sync "$window" 1000 910
read_window_geometry "$window"
wait_for_colour "$(area 800 2 100 0)" 'rgb(0,0,100)' 1600 15 || fail "the band is not centred at 1000 x 910"
xdotool mousemove --window "$window" 50 24
sleep 1
import -window root "$work/screen.png"
[ "$(count_colour "$work/screen.png" "$(area 100 910 0 0)" 'rgb(0,0,0)')" -eq 91000 ] \
    || fail "the left band is not black"
[ "$(count_colour "$work/screen.png" "$(area 100 910 900 0)" 'rgb(0,0,0)')" -eq 91000 ] \
    || fail "the right band is not black"
[ "$(count_colour "$work/screen.png" "$(area 800 50 100 0)" 'rgb(0,0,255)')" -eq 0 ] \
    || fail "the pointer in the black band lit a button"
echo "at 1000 x 910 the frame is centred between black bands, where the pointer hits nothing"
close_viewer "$window" Kelo.exe

# A close request while the "No more data" box is up ends the box and Kelo.exe with exit code 0. The box disables
# its owner, whose close button then does nothing (Wine drops the window manager's close of it, as Windows does);
# the request comes as WM_CLOSE, which taskkill posts to each of the program's windows.
start_viewer "$work/Kelo" "$wine" "./$(basename "$exe")" "Z:${work//\//\\}\\short.log"
wait_for_window '^Kelo$' 40 "$kelo_pid" >/dev/null || fail "no window for the close under the box"
wait_for_window '^Error$' 15 "$kelo_pid" >/dev/null || fail "no \"Error\" box to close Kelo.exe under"
"$wine" taskkill /im "$(basename "$exe")" >"$work/taskkill.out" 2>&1 || fail "taskkill: $(cat "$work/taskkill.out")"
wait_for_exit "$kelo_pid" 20
[ "$exit_code" = 0 ] || fail "Kelo.exe did not end with exit code 0 on a close under its box (exit code '$exit_code')"
wait_for_no_window '^Error$' 5 || fail "the \"Error\" box stayed after Kelo.exe ended"
echo "a close request while the box was up ended Kelo.exe: exit code 0"

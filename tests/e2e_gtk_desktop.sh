#!/usr/bin/env bash
# End-to-end run of the GTK viewer `kelo` as a desktop starts it: --help, --version and usage errors without a
# display; `kelo LOG` opening the log at start-up (extra logs named in a warning, a missing log giving the
# "Could not open file" box with the window staying up); a log dropped on the window from a GTK drag source.
# Usage: e2e_gtk_desktop.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]. Relies on tests/x11_session.bash; exits 77 when
# Xvfb, xdotool, ImageMagick or python3 is missing.
set -euo pipefail
if ! command -v Xvfb xdotool import convert python3 >/dev/null; then
    echo "Xvfb, xdotool, ImageMagick or python3 missing: skipped"
    exit 77
fi
source "$(dirname "$0")/x11_session.bash"

build=$(realpath "$1")
kelo="$build/kelo"
drag_source="$build/tests/kelo_drag_source"
[ -x "$kelo" ] || fail "no viewer at $kelo (was GTK 3 found when building?)"
[ -x "$drag_source" ] || fail "no drag source at $drag_source"
version=$(sed -n 's/^project(Kelo VERSION \([0-9.]*\) .*/\1/p' "$2/CMakeLists.txt")
[ -n "$version" ] || fail "no version in the project line of CMakeLists.txt"

# [SECTION] The command line, read before the display is needed

headless() { env -u DISPLAY -u WAYLAND_DISPLAY "$kelo" "$@" >"$work/out" 2>"$work/err"; }
headless --help || fail "--help ended with exit code $?"
head -n 1 "$work/out" | grep -qx 'Usage: kelo \[options\] \[LOG\]' || fail "--help printed no usage: $(cat "$work/out")"
grep -q -- '--version' "$work/out" || fail "--help does not list --version"
[ ! -s "$work/err" ] || fail "--help wrote to standard error: $(cat "$work/err")"
headless --version || fail "--version ended with exit code $?"
[ "$(cat "$work/out")" = "kelo $version" ] || fail "--version printed '$(cat "$work/out")', not 'kelo $version'"
for option in --bogus -x -; do
    status=0
    headless some.log "$option" || status=$?
    [ "$status" -eq 2 ] || fail "$option ended with exit code $status, not 2"
    [ ! -s "$work/out" ] || fail "$option wrote to standard output"
    head -n 1 "$work/err" | grep -qx -- "kelo: unknown option $option" || fail "$option: $(head -n 1 "$work/err")"
    grep -qx 'Usage: kelo \[options\] \[LOG\]' "$work/err" || fail "$option: no usage on standard error"
done
echo "--help, --version and unknown options work without a display"

# [SECTION] A log named on the command line

start_display
export GSETTINGS_BACKEND=memory
e2e_show_output() { echo "--- output of kelo:"; cat "$work/kelo.out"; }
# The demo's map, whose picture and Kelo.ini section lie beside kelo (map x / 10 is the view's x, map y 3500 its
# y 75): a red soldier at the view's (100, 75). All lines share a stamp, so the data ends at once.
mkdir "$work/logs" "$work/elsewhere"
cat >"$work/logs/short.log" <<'LOG'
[10:00:00] 1;Brackwater.map
[10:00:00] CREATED;SOLDIER;1;Rifleman;3500;1000;0;0;100;0;0;Alpha
[10:00:00] CONFIG;20;From the desktop
LOG

# The log is opened as "Open" opens it: the map, the soldier, and the "No more data" box at once.
expect_short_log_open() {
    local box
    box=$(wait_for_window '^Error$' 20 "$kelo_pid") || fail "$1: no \"No more data\" box"
    read_window_geometry "$window"
    wait_for_colour "$(area 10 10 95 70)" 'rgb(255,0,0)' 10 10 || fail "$1: the log's soldier is not drawn"
    # The map picture is decoded aside and may come a moment after the units: less than a tenth of the area black.
    wait_for_other "$(area 400 400 0 25)" 'rgb(0,0,0)' 144001 10 || fail "$1: no map picture in the map area"
    close_window "$box"
    wait_for_no_window '^Error$' 10 || fail "$1: the box did not close"
}

start_viewer "$work/elsewhere" "$kelo" ../logs/short.log "$work/logs/second.log" "third log"
window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window named Kelo appeared"
expect_short_log_open "kelo LOG"
grep -qxF "kelo: ignoring extra log: $work/logs/second.log" "$work/kelo.out" || fail "no warning for the second log"
grep -qxF "kelo: ignoring extra log: third log" "$work/kelo.out" || fail "no warning for the third log"
close_viewer "$window" kelo
echo "kelo LOG opened the log and named the extra ones"

# A log that cannot be opened: the box, and the window stays up behind it and after it.
start_viewer "$work/elsewhere" "$kelo" -- "$work/logs/missing.log"
window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window for a missing log"
box=$(wait_for_window '^Error!$' 20 "$kelo_pid") || fail "no \"Could not open file\" box for a missing log"
close_window "$box"
wait_for_no_window '^Error!$' 10 || fail "the \"Could not open file\" box did not close"
read_window_geometry "$window"
wait_for_colour "$(area 400 430 0 25)" 'rgb(255,255,0)' 300 10 || fail "no title screen after the failed open"
close_viewer "$window" kelo
echo "a missing log gave the box and the window stayed"

# [SECTION] Dropping a log on the window

start_viewer "$work/elsewhere" "$kelo"
window=$(wait_for_window '^Kelo$' 20 "$kelo_pid") || fail "no window named Kelo appeared"
read_window_geometry "$window"
wait_for_colour "$(area 400 430 0 25)" 'rgb(255,255,0)' 300 10 || fail "no title screen before the drops"
# An address of no local file opens nothing: the title screen stays, without a box.
drag_and_drop "$drag_source" $((win_x + 200)) $((win_y + 225)) "http://localhost/short.log"
sleep 1
xdotool search --onlyvisible --name '^Error' >/dev/null 2>&1 && fail "dropping a web address showed a box"
wait_for_colour "$(area 400 430 0 25)" 'rgb(255,255,0)' 300 10 || fail "dropping a web address left the title"
# The first of the dropped files is opened.
drag_and_drop "$drag_source" $((win_x + 200)) $((win_y + 225)) "$(file_uri "$work/logs/short.log")" \
    "file:///nowhere/second.log"
expect_short_log_open "the dropped log"
close_viewer "$window" kelo
echo "the dropped log was opened"

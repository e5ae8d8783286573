#!/usr/bin/env bash
# How long the GTK viewer takes to show "Paused" after a click on "Pause" while it decodes a map of 8,192 x 8,192 and
# ten icons of 16,384 x 4,096 (64 megapixels each) that the log names 4 s after the open: the click comes half a second
# later (starting xdotool counts in), then the screen is read every few ms; then how long closing the window takes.
# Usage: bench/pause_while_decoding.sh KELO. Relies on tests/x11_session.bash, libX11 and bench/make_picture.py.
set -euo pipefail
source "$(dirname "$0")/../tests/x11_session.bash"

built=$(realpath "$1")
[ -x "$built" ] || fail "no viewer at $built"
start_display

app="$work/app"
mkdir -p "$app/Maps" "$app/Presets"
cp "$built" "$app/kelo"
printf '[Huge.map]\nInvertY=false\nInvertX=false\nScaleX=400\nScaleY=400\nOffsetX=0\nOffsetY=0\nRotationOffset=0\n' \
    >"$app/Kelo.ini"
python3 "$(dirname "$0")/make_picture.py" map "$app/Maps/Huge.png" 8192 8192
python3 "$(dirname "$0")/make_picture.py" icon "$app/Presets/C0.png" 16384 4096
# The pictures come 4 s after the open, so that the click, half a second later, meets their decodes under way.
{
    echo '[10:00:00] CREATED;SOLDIER;1;Rifleman;0;0;0;0;1;0;0;Alpha'
    echo '[10:00:04] 1;Huge.map'
    for class in 0 1 2 3 4 5 6 7 8 9; do
        cp "$app/Presets/C0.png" "$app/Presets/C$class.png" 2>/dev/null || true
        echo "[10:00:04] CREATED;VEHICLE;$((class + 2));C$class;-100;$((class * 30 - 150));1;0;1;0;1"
    done
    echo '[10:01:00] KILLED;x'
} >"$work/huge.log"

start_viewer "$work" "$app/kelo" "$work/huge.log"
e2e_show_output() { echo "--- output of kelo:"; cat "$work/kelo.out"; }
window=$(wait_for_window '^Kelo$' 30 "$kelo_pid") || fail "no window named Kelo appeared"
read_window_geometry "$window"
wait_for_colour "$(area 400 25 0 0)" 'rgb(0,0,100)' 2000 30 || fail "no control band in the top rows"
band_shown=$(date +%s%N)  # about when the log was opened
read -r -a middles <<<"$(button_middles 0 10 400)"
[ "${#middles[@]}" -eq 6 ] || fail "expected six buttons along the band, found ${#middles[@]}"

# Clicks, then reads the readout's place on the screen through libX11 every few milliseconds until its box shows:
# white at alpha 75 over black (the map area without its picture, or the map's top rows), a grey of about 75.
python3 - "$window" "${middles[3]}" "$((win_x + 12))" "$((win_y + 41))" \
    "$(python3 -c "print(($(date +%s%N) - $band_shown) / 1e9)")" <<'EOF'
import ctypes, subprocess, sys, time
window, button, left, top = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
shown = time.monotonic() - float(sys.argv[5])
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                          ctypes.c_ulong, ctypes.c_int]
x11.XGetPixel.restype = ctypes.c_ulong
x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
display = x11.XOpenDisplay(None)
root = x11.XDefaultRootWindow(display)

def grey_pixels():
    image = x11.XGetImage(display, root, left, top, 20, 4, 0xFFFFFFFF, 2)  # ZPixmap
    count = 0
    for y in range(4):
        for x in range(20):
            pixel = x11.XGetPixel(image, x, y)
            if all(60 <= (pixel >> shift) & 0xFF <= 90 for shift in (0, 8, 16)):
                count += 1
    return count

subprocess.run(["xdotool", "mousemove", "--window", window, button, "10"], check=True)
time.sleep(4.5 - (time.monotonic() - shown))
start = time.monotonic()
subprocess.run(["xdotool", "click", "1"], check=True)
reads = 0
while grey_pixels() < 10:
    reads += 1
    if time.monotonic() - start > 120:
        sys.exit('no "Paused" within two minutes')
    time.sleep(0.005)
shown_after = (time.monotonic() - start) * 1000
print('"Paused" shown %d ms after the click (%d reads of the screen before)' % (shown_after, reads))
EOF
# Closing the window waits for the decode under way, if any, then ends the program.
closing=$(date +%s%N)
close_window "$window"
wait_for_exit "$kelo_pid" 120
if [ -n "$exit_code" ]; then
    echo "ended with exit code $exit_code $((($(date +%s%N) - closing) / 1000000)) ms after the window was closed"
else
    echo "still running two minutes after the window was closed"
fi

# Shared by the end-to-end scripts (sourced, not run): a scratch folder and a private Xvfb display, both gone on
# every way out; waiting for windows and colours; closing a window as a window manager does (WM_DELETE_WINDOW);
# dragging files onto a window; openbox as the window manager, for full screen. Relies on Xvfb, xdotool,
# ImageMagick (import, convert) and python3 with the system's libX11, skipping without them; openbox where started.

# A test that cannot run for want of a tool reports itself skipped: exit code 77, which CTest counts as a skip.
skip() {
    echo "SKIP: $*" >&2
    exit 77
}

# Skips the test unless every command named is installed.
require_tools() {
    local tool missing=()
    for tool in "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] || skip "not installed: ${missing[*]}"
}

require_tools Xvfb xdotool import convert python3

# Scripts may define e2e_show_output to print what their programs said.
fail() {
    echo "FAIL: $*" >&2
    if declare -F e2e_show_output >/dev/null; then e2e_show_output >&2 || true; fi
    exit 1
}

work=$(mktemp -d)
stop_pids=()  # processes this script started, stopped at exit if still running

# Scripts may define e2e_extra_cleanup for what their programs leave behind.
e2e_cleanup() {
    if declare -F e2e_extra_cleanup >/dev/null; then e2e_extra_cleanup || true; fi
    local pid
    # Only processes that are still this shell's children: the number of one that ended and was waited for may
    # already belong to another program (process numbers are reused, soon on a busy machine).
    for pid in "${stop_pids[@]}"; do
        [ "$(ps -o ppid= -p "$pid" 2>/dev/null | tr -d ' ')" = "$$" ] && kill "$pid" 2>/dev/null || true
    done
    for pid in "${stop_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap e2e_cleanup EXIT
trap 'exit 1' INT TERM

# Starts Xvfb on a display number nobody uses and exports DISPLAY; the screen is 1024 x 768 unless a size such as
# 1280x1024 is given.
start_display() {
    # -noreset: a script that starts its viewer again must not meet the server resetting after the last client.
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    stop_pids+=($!)
    local _
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n 1 "$work/display")"
}

# The first mapped window whose name matches the pattern, within the given seconds; gives up early when the
# process given as the third argument ends.
wait_for_window() {
    local pattern=$1 deadline=$((SECONDS + $2)) watched=${3:-} window
    while [ $SECONDS -lt "$deadline" ]; do
        [ -z "$watched" ] || kill -0 "$watched" 2>/dev/null || return 1
        window=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1) || true
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Succeeds once no mapped window matches the pattern, within the given seconds.
wait_for_no_window() {
    local pattern=$1 deadline=$((SECONDS + $2))
    while [ $SECONDS -lt "$deadline" ]; do
        xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    return 1
}

# Sets win_x, win_y, win_width and win_height to the window's inside on the screen.
read_window_geometry() {
    local X Y WIDTH HEIGHT
    eval "$(x11_request geometry "$1")"
    win_x=$X win_y=$Y win_width=$WIDTH win_height=$HEIGHT
}

# Waits until the window's inside is of the size (WIDTHxHEIGHT), within the given seconds; win_x, win_y, win_width
# and win_height stay as last read.
wait_for_size() {
    local window=$1 size=$2 deadline=$((SECONDS + $3))
    while [ $SECONDS -lt "$deadline" ]; do
        read_window_geometry "$window"
        [ "${win_width}x$win_height" = "$size" ] && return 0
        sleep 0.2
    done
    return 1
}

# Expects the window to fill a screen wider than the frame, of the given size, within 10 s, with the frame drawn to fit:
# centred, 400 x 455 times the screen's height / 455, the band across its top rows and black on both sides of it.
expect_full_screen() {
    local window=$1 size=$2 screen_width=${2%x*} screen_height=${2#*x} frame_width left side
    wait_for_size "$window" "$size" 10 || fail "the window is ${win_width}x$win_height, not the screen's $size"
    [ "$win_x,$win_y" = 0,0 ] || fail "the full-screen window is at $win_x,$win_y"
    frame_width=$((screen_height * 400 / 455))
    left=$(((screen_width - frame_width) / 2))
    # Two pixels inside the black and ten inside the frame keep clear of the rounding at the frame's edges.
    wait_for_colour "$(area $((frame_width - 20)) 4 $((left + 10)) 0)" 'rgb(0,0,100)' $(((frame_width - 20) * 4)) 15 \
        || fail "the band does not span the frame drawn to fit the screen"
    for side in 0 $((screen_width - left + 2)); do
        [ "$(count_colour "$work/screen.png" "$(area $((left - 2)) "$screen_height" "$side" 0)" 'rgb(0,0,0)')" \
            -eq $(((left - 2) * screen_height)) ] || fail "the side of the screen from x = $side is not black"
    done
}

# An ImageMagick geometry of a rectangle of the window's inside: WIDTH HEIGHT LEFT TOP, from read_window_geometry.
area() {
    echo "${1}x${2}+$((win_x + $3))+$((win_y + $4))"
}

# How many pixels of the screenshot inside the geometry have exactly the colour (any ImageMagick colour, such as
# 'rgb(0,0,100)'), counted in the screenshot's histogram.
count_colour() {
    local hex
    hex=$(convert "xc:$3" -depth 8 -alpha off -format '#%[hex:u]' info:)
    convert "$1" -crop "$2" +repage -depth 8 -alpha off -format %c histogram:info:- \
        | awk -v colour="$hex " 'index(toupper($0), colour) { sum += $1 } END { print sum + 0 }'
}

# Takes screenshots until at least `minimum` pixels inside the geometry have the colour, within the given seconds;
# the last screenshot stays in $work/screen.png.
wait_for_colour() {
    local box=$1 colour=$2 minimum=$3 deadline=$((SECONDS + $4)) count=0
    while [ $SECONDS -lt "$deadline" ]; do
        import -window root "$work/screen.png"
        count=$(count_colour "$work/screen.png" "$box" "$colour")
        [ "$count" -ge "$minimum" ] && return 0
        sleep 0.3
    done
    echo "only $count pixels of $colour in $box" >&2
    return 1
}

# How many pixels of the geometry are not of the colour, in a new screenshot ($work/screen.png).
count_other() {
    import -window root "$work/screen.png"
    local box=$1 size
    size=$(convert "$work/screen.png" -crop "$box" +repage -format '%[fx:w*h]' info:)
    echo $((size - $(count_colour "$work/screen.png" "$box" "$2")))
}

# Waits until at least `minimum` pixels of the geometry are not of the colour, within the given seconds.
wait_for_other() {
    local box=$1 colour=$2 minimum=$3 deadline=$((SECONDS + $4))
    while [ $SECONDS -lt "$deadline" ]; do
        [ "$(count_other "$box" "$colour")" -ge "$minimum" ] && return 0
        sleep 0.3
    done
    return 1
}

# X11 requests that the tools at hand do not make (or not rightly), sent through the system's libX11:
#   x11_request close WINDOW: asks the window's program to close it, as a window manager's close button does
#   (the WM_DELETE_WINDOW protocol);
#   x11_request property WINDOW NAME COUNT: prints the first COUNT 32-bit items of the window's property NAME
#   (nothing when it has none); WINDOW "root" is the screen's root window;
#   x11_request geometry WINDOW: prints the window's inside on the screen for the shell, X= Y= WIDTH= HEIGHT=
#   (xdotool's position is off by the frame under a window manager).
x11_request() {
    python3 - "$@" <<'EOF'
import ctypes
import sys

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x11.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetGeometry.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint),
    ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint)]
x11.XTranslateCoordinates.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.POINTER(ctypes.c_int),
    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong)]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("client", ClientMessage), ("size", ctypes.c_long * 24)]


def close(display, window):
    event = Event()
    event.client.type = 33  # ClientMessage
    event.client.window = window
    event.client.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.client.format = 32
    event.client.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.client.data[1] = 0  # CurrentTime
    if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
        sys.exit("the close request could not be sent")


def show_property(display, window, name, count):
    kind, size, items = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong()
    left, data = ctypes.c_ulong(), ctypes.c_void_p()
    atom = x11.XInternAtom(display, name.encode(), 0)
    if x11.XGetWindowProperty(display, window, atom, 0, count, 0, 0, ctypes.byref(kind), ctypes.byref(size),
                              ctypes.byref(items), ctypes.byref(left), ctypes.byref(data)) != 0:
        sys.exit("the property could not be read")
    if data.value:
        if size.value == 32:  # 32-bit items arrive as C longs
            print(" ".join(str(value) for value in (ctypes.c_ulong * items.value).from_address(data.value)))
        x11.XFree(data)


def show_geometry(display, window):
    root, child = ctypes.c_ulong(), ctypes.c_ulong()
    x, y, width, height = ctypes.c_int(), ctypes.c_int(), ctypes.c_uint(), ctypes.c_uint()
    border, depth = ctypes.c_uint(), ctypes.c_uint()
    if not x11.XGetGeometry(display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y), ctypes.byref(width),
                            ctypes.byref(height), ctypes.byref(border), ctypes.byref(depth)):
        sys.exit("the window's geometry could not be read")
    # The inside's top left corner on the root window, through every parent a window manager put around it.
    x11.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
    print(f"X={x.value} Y={y.value} WIDTH={width.value} HEIGHT={height.value}")


display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
if sys.argv[1] == "close":
    close(display, int(sys.argv[2]))
elif sys.argv[1] == "geometry":
    show_geometry(display, int(sys.argv[2]))
else:
    window = x11.XDefaultRootWindow(display) if sys.argv[2] == "root" else int(sys.argv[2])
    show_property(display, window, sys.argv[3], int(sys.argv[4]))
x11.XCloseDisplay(display)
EOF
}

close_window() {
    x11_request close "$1"
}

# Succeeds when the window carries a 32 x 32 icon (the first image of _NET_WM_ICON).
has_32_icon() {
    [ "$(x11_request property "$1" _NET_WM_ICON 2)" = "32 32" ]
}

# Succeeds when the window's frame offers no maximising (Motif hints: functions given, maximise bit clear).
offers_no_maximise() {
    local flags functions rest
    read -r flags functions rest <<<"$(x11_request property "$1" _MOTIF_WM_HINTS 5)"
    [ -n "$functions" ] && (((flags & 1) && !(functions & 16)))
}

# Starts openbox as the display's window manager and waits until it has taken the screen (it names its check window
# on the root window).
start_window_manager() {
    openbox --sm-disable >"$work/openbox.out" 2>&1 &
    stop_pids+=($!)
    local deadline=$((SECONDS + 20))
    until [ -n "$(x11_request property root _NET_SUPPORTING_WM_CHECK 1)" ]; do
        [ $SECONDS -lt "$deadline" ] || fail "openbox did not start: $(cat "$work/openbox.out")"
        sleep 0.2
    done
}

# Drags from a drag source (tests/drag_source.cpp, started here offering the URIs) to a point of the screen and drops
# there, as a person would: drag_and_drop DRAG_SOURCE X Y URI... Waits until the source says the drag is over.
drag_and_drop() {
    local program=$1 x=$2 y=$3 source_pid source_window step deadline
    shift 3
    "$program" "$@" >"$work/drag.out" 2>&1 &
    source_pid=$!
    stop_pids+=("$source_pid")
    source_window=$(wait_for_window '^Drag source$' 20 "$source_pid") || fail "the drag source did not start"
    # Without a window manager every window sits at the top left: the source moves out of the target's way.
    xdotool windowmove --sync "$source_window" 600 100
    xdotool mousemove --sync 700 150 mousedown 1
    # In steps: a drag begins only once the pointer has gone a few pixels, and the target follows the motion.
    for step in 1 2 3 4 5 6; do
        xdotool mousemove --sync $((700 + (x - 700) * step / 6)) $((150 + (y - 150) * step / 6))
        sleep 0.2
    done
    xdotool mouseup 1
    deadline=$((SECONDS + 10))
    until grep -q 'drag ended' "$work/drag.out"; do
        [ $SECONDS -lt "$deadline" ] || fail "the drag did not end: $(cat "$work/drag.out")"
        sleep 0.2
    done
    kill "$source_pid"
    wait "$source_pid" 2>/dev/null || true
}

# A file's path as a file:// URI.
file_uri() {
    python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).absolute().as_uri())' "$1"
}

# Waits up to the given seconds for the process to end and sets exit_code to its exit code (empty if it goes on).
# Run it in the script's own shell, not in $(...): only the shell that started the process learns its code.
wait_for_exit() {
    local pid=$1 deadline=$((SECONDS + $2))
    exit_code=
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt "$deadline" ]; do
        sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null && return 0
    exit_code=0
    wait "$pid" || exit_code=$?
}

# Starts a viewer in the background from the given folder: start_viewer FOLDER COMMAND... Sets kelo_pid; what
# the viewer prints goes to $work/kelo.out, for the scripts' e2e_show_output.
start_viewer() {
    local folder=$1
    shift
    (cd "$folder" && exec "$@") >"$work/kelo.out" 2>&1 &
    kelo_pid=$!
    stop_pids+=("$kelo_pid")
}

# Closes the viewer's window as a window manager does and expects the viewer to end with exit code 0:
# close_viewer WINDOW NAME.
close_viewer() {
    close_window "$1"
    wait_for_exit "$kelo_pid" 20
    [ -n "$exit_code" ] || fail "$2 still runs after its window was closed"
    [ "$exit_code" -eq 0 ] || fail "$2 ended with exit code $exit_code"
    echo "closed with exit code 0"
}

# The buttons along the band in the last screenshot ($work/screen.png), on the row from (X, Y) over WIDTH pixels:
# the middle of each, left to right (tests/button_middles.py).
button_middles() {
    convert "$work/screen.png" -crop "$(area "$3" 1 "$1" "$2")" +repage -depth 8 rgb:- \
        | python3 "$(dirname "${BASH_SOURCE[0]}")/button_middles.py"
}

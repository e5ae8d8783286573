#!/usr/bin/env bash
# End-to-end run of kelo-render's progress line: a --check and a playback that take over a second show it on a
# terminal (a pseudo-terminal made by script(1)), with the share done, lines a second and the time left; --quiet, and
# standard error that is not a terminal, show none. Usage: bash tests/e2e_progress_line.sh BUILD_DIR SOURCE_DIR
# Needs script (bsdutils) and python3.
set -uo pipefail
command -v script >/dev/null || { echo "SKIP: script (bsdutils) is not installed" >&2; exit 77; }
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed" >&2; exit 77; }

source "$(dirname "$0")/render_session.bash"

# Runs kelo-render under a pseudo-terminal; everything it wrote (both streams) goes to $work/tty, and the milliseconds
# it took to $elapsed.
on_terminal() {
  local command=("$render" "$@") start
  start=$(date +%s%N)
  script -q -e -c "$(printf '%q ' "${command[@]}")" /dev/null >"$work/tty" </dev/null
  elapsed=$((($(date +%s%N) - start) / 1000000))
}

# --check of a log grown until the run on the terminal takes 2 s or more, so that the line is due whatever the speed
# of this build and this machine.
size=5000000
for _ in 1 2 3 4 5 6; do
  python3 "$source_dir/bench/make_log.py" "$size" "$work/long.log"
  on_terminal --check "$work/long.log"
  [ "$elapsed" -ge 2000 ] && break
  size=$((size * 4))
done
if [ "$elapsed" -lt 2000 ]; then
  fail "no log of up to $size bytes takes --check 2 s; the progress line cannot be looked for"
else
  grep -Eq '[0-9]+% of the log, [0-9,]+ lines a second, [0-9]+ s left' "$work/tty" \
    || fail "--check on a terminal shows no progress line in $elapsed ms: $(tail -c 300 "$work/tty")"
  # The summary starts a line of its own after the progress line.
  tr '\r' '\n' <"$work/tty" | grep -qx "kelo-render: 0 lines the viewer cannot use" \
    || fail "the summary of --check does not stand on a line of its own: $(tail -c 300 "$work/tty")"
fi

on_terminal --quiet --check "$work/long.log"
grep -q "lines a second" "$work/tty" && fail "--quiet still shows the progress line"
grep -q "0 lines the viewer cannot use" "$work/tty" || fail "--check --quiet does not finish with its summary"

"$render" --check "$work/long.log" >"$work/out" 2>"$work/err"
grep -q "lines a second" "$work/err" && fail "standard error that is not a terminal gets the progress line"

# Playback long enough to show it: the share of the time asked for with --until, beside the frame lines.
until=10000
for _ in 1 2 3 4 5 6; do
  on_terminal --until "$until" --frames "$work/frames" --every $((until / 2)) "$work/long.log"
  [ "$elapsed" -ge 2000 ] && break
  until=$((until * 3))
done
if [ "$elapsed" -lt 2000 ]; then
  fail "no playback of up to $until ms takes 2 s; the progress line cannot be looked for"
else
  grep -Eq '[0-9]+% of the time asked for, [0-9,]+ lines a second, [0-9]+ s left' "$work/tty" \
    || fail "playback with --until on a terminal shows no progress line in $elapsed ms: $(tail -c 300 "$work/tty")"
  grep -q "frame-000001.png at $((until / 2)) ms" "$work/tty" || fail "the frame lines are missing on a terminal"
fi

finish "progress line"

#!/usr/bin/env bash
# End-to-end run of kelo-render --follow: a writer appends a generated game to a log at a steady pace (some lines
# in two flushed halves) while kelo-render follows it; the state it ends in must be that of a plain run over the
# finished file. Variants: the log cut short and rewritten, replaced by a rename, deleted and made again.
# Usage: bash tests/e2e_follow.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]. Needs python3 (standard library).
set -uo pipefail
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed" >&2; exit 77; }

source "$(dirname "$0")/render_session.bash"
writer="$source_dir/tests/follow_writer.py"
seconds=12

# The two states are the same but for what following adds: the boxes shown ("No more data" ends the plain run
# only), the virtual time when the game was replaced (the followed log was opened again later) and the fields of
# following itself.
compare_states() {
  local plain=$1 followed=$2 what=$3 same_time=$4
  python3 - "$plain" "$followed" "$same_time" <<'PY' || fail "$what"
import json, sys
plain, followed = (json.load(open(path)) for path in sys.argv[1:3])
assert followed.pop("following") is True, "following is not true"
edge = followed.pop("liveEdgeS")
assert edge == plain["indexedS"], "liveEdgeS %s, the plain run indexed %s" % (edge, plain["indexedS"])
assert plain["messages"] == [{"text": "No more data", "caption": "Error"}], plain["messages"]
assert followed["messages"] == [], followed["messages"]
drop = ["messages"] + ([] if sys.argv[3] == "yes" else ["timeMs"])
for state in (plain, followed):
    for key in drop:
        state.pop(key)
differing = [key for key in plain if plain[key] != followed.get(key)]
assert not differing, "differing: %s" % differing
PY
}

python3 "$writer" game 7 "$seconds" >"$work/final.log"
run --state "$work/plain.json" "$work/final.log"
expect_status 0 "the plain run"

for mode in grow truncate rename recreate; do
  log="$work/live-$mode.log"
  rm -f "$log"
  : >"$log"
  python3 "$writer" write "$log" 7 "$seconds" "$mode" &
  writer_pid=$!
  run --follow --idle-exit 4 --state "$work/follow-$mode.json" "$log"
  wait "$writer_pid" || fail "$mode: the writer failed"
  expect_status 0 "$mode: the followed run"
  cmp -s "$log" "$work/final.log" || fail "$mode: the writer did not leave the finished game"
  same_time=no
  [ "$mode" = grow ] && same_time=yes
  compare_states "$work/plain.json" "$work/follow-$mode.json" "$mode: the followed state is not the plain one" \
    "$same_time"
  reopened=$(grep -c 'reading it again from its start' "$work/err")
  want=1
  [ "$mode" = grow ] && want=0
  [ "$reopened" -eq "$want" ] || fail "$mode: said $reopened times that the log was read again, expected $want"
done

finish e2e_follow

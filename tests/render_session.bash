# Shared by the end-to-end scripts of kelo-render, sourced after their own checks for the tools they need: the build
# and source folders from the arguments BUILD_DIR SOURCE_DIR, a scratch folder removed at exit, failures counted by
# fail() and reported by finish(), and run(), which keeps a run's exit status and outputs.
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
render="$build/kelo-render"
demo="$source_dir/examples/demo/demo.log"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs kelo-render with the given arguments: its exit status goes to $status, its outputs to $work/out and
# $work/err. A sanitizer report fails the run whatever the status.
run() {
  "$render" "$@" >"$work/out" 2>"$work/err"
  status=$?
  if grep -qE 'Sanitizer|runtime error' "$work/err"; then
    fail "kelo-render $*: a sanitizer report: $(grep -m3 -E 'Sanitizer|runtime error|#[0-9] ' "$work/err")"
  fi
}

expect_status() {
  local want=$1 what=$2
  [ "$status" -eq "$want" ] || fail "$what: exit status $status, expected $want ($(head -c 300 "$work/err"))"
}

# Ends the script: status 1 when anything failed, else a line saying that WHAT passed.
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
  echo "$1: all passed"
}

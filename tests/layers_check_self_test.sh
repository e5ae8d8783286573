#!/usr/bin/env bash
# The layer check on a small tree of its own: it passes while every include goes down or sideways (the seam from
# view/, a header named beside its file), then fails and names the file and line once a world/ header includes
# app/playback.h. Usage: layers_check_self_test.sh SOURCE_DIR. Relies on scripts/check-layers.
set -euo pipefail

check="$(realpath "$1")/scripts/check-layers"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Each file: its path, then the headers it includes.
add() {
    local file=$work/tree/$1
    shift
    mkdir -p "$(dirname "$file")"
    printf '// %s\n#include <string>\n' "${file#"$work/tree/"}" >"$file"
    [ $# -eq 0 ] || printf '#include "%s"\n' "$@" >>"$file"
}
add world/records.h
add world/world_model.h world/records.h
add world/world_model.cpp world_model.h ../world/records.h
add seam/gdiplus_flat.h
add seam/platform.h seam/gdiplus_flat.h
add view/frame.cpp world/world_model.h seam/platform.h seam/gdiplus_flat.h
add controls/control_bar.h view/frame.h world/records.h
add app/playback.h controls/control_bar.h seam/platform.h
add platform/linux/shared.h seam/gdiplus_flat.h
add platform/headless/headless.cpp app/playback.h platform/linux/shared.h
add tools/kelo_render.cpp platform/headless/headless.h app/playback.h kelo_icon_bytes.inc

"$check" "$work/tree" >"$work/clean.out" 2>&1 || fail "the clean tree did not pass: $(cat "$work/clean.out")"

printf '#include "app/playback.h"\n' >>"$work/tree/world/world_model.h"
injected=$(grep -c '' "$work/tree/world/world_model.h")
status=0
"$check" "$work/tree" >"$work/dirty.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "an upward include gave exit status $status, not 1: $(cat "$work/dirty.out")"
grep -qxF "world/world_model.h:$injected: includes app/playback.h (layer app above layer world)" "$work/dirty.out" \
    || fail "the upward include is not named: $(cat "$work/dirty.out")"
[ "$(grep -c ': includes ' "$work/dirty.out")" -eq 1 ] || fail "other includes named too: $(cat "$work/dirty.out")"
echo "the layer check passes the clean tree and names the upward include"

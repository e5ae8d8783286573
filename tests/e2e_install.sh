#!/usr/bin/env bash
# Installing Kelo on Linux: `cmake --install` of the build into a scratch prefix gives the program folder lib/kelo,
# links in bin/ through which the programs find that folder from anywhere, a desktop entry that
# desktop-file-validate accepts and the icon that make_icon.py draws; the package (CPack) holds the same tree.
# Usage: e2e_install.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]; exits 77 when desktop-file-validate is missing.
set -uo pipefail

if ! command -v desktop-file-validate python3 cpack >/dev/null; then
  echo "desktop-file-validate (desktop-file-utils), python3 or cpack missing: skipped"
  exit 77
fi
source "$(dirname "$0")/render_session.bash"

version=$(sed -n 's/^project(Kelo VERSION \([0-9.]*\) .*/\1/p' "$source_dir/CMakeLists.txt")
[ -n "$version" ] || fail "no version in the project line of CMakeLists.txt"
programs=(kelo-render)
[ -x "$build/kelo" ] && programs+=(kelo)

# [SECTION] cmake --install

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.out" 2>&1 || fail "install: $(cat "$work/install.out")"
folder="$prefix/lib/kelo"
[ -f "$folder/Kelo.ini" ] || fail "no Kelo.ini in the program folder"
for data in Maps Presets; do
  diff -r "$source_dir/examples/demo/$data" "$folder/$data" >&2 || fail "$data differs from the demo's"
done
for program in "${programs[@]}"; do
  [ -x "$folder/$program" ] || fail "no $program in the program folder"
  [ "$(readlink "$prefix/bin/$program")" = "../lib/kelo/$program" ] || fail "bin/$program is no link to the folder"
done

# From another folder, through the link: the program folder's Kelo.ini is the one read (its scale changed here).
sed -i 's/^ScaleX=.*/ScaleX=4321/' "$folder/Kelo.ini"
mkdir "$work/elsewhere"
(cd "$work/elsewhere" && "$prefix/bin/kelo-render" --until 5000 --state - "$source_dir/examples/demo/demo.log") \
  >"$work/state.json" 2>"$work/render.err" || fail "installed kelo-render failed: $(cat "$work/render.err")"
python3 - "$work/state.json" <<'EOF_PY' || fail "the installed kelo-render did not read its own folder's Kelo.ini"
import json, sys
s = json.load(open(sys.argv[1], encoding="utf-8"))
assert s["timeMs"] == 5000 and s["mapName"] == "Brackwater.map", (s["timeMs"], s["mapName"])
assert s["statusMessage"] is None and s["calibration"]["scaleX"] == 4321, (s["statusMessage"], s["calibration"])
EOF_PY
for program in "${programs[@]}"; do
  [ "$("$prefix/bin/$program" --version)" = "$program $version" ] || fail "bin/$program --version"
done
echo "installed: program folder, links, and the programs find their folder through the links"

# [SECTION] Desktop entry and icon

entry="$prefix/share/applications/kelo.desktop"
icon="$prefix/share/icons/hicolor/32x32/apps/kelo.png"
desktop-file-validate "$entry" >&2 || fail "desktop-file-validate rejects the entry"
grep -qx 'Exec=kelo %f' "$entry" || fail "the entry does not start kelo with a file"
grep -qx 'Icon=kelo' "$entry" || fail "the entry does not name the icon kelo"
if [ -x "$build/kelo" ]; then
  [ -x "$prefix/bin/kelo" ] || fail "the entry's program is not in bin/"
fi
python3 "$source_dir/platform/icon/make_icon.py" "$work/kelo.ico" "$work/kelo.png"
cmp -s "$work/kelo.png" "$icon" || fail "the installed icon is not the one make_icon.py draws"
cmp -s "$work/kelo.ico" "$source_dir/platform/win32/kelo.ico" || fail "kelo.ico is not the one make_icon.py draws"
echo "desktop entry valid, icon as drawn"

# [SECTION] The package: the same tree in one folder, ready to start

(cd "$work" && cpack -G TGZ --config "$build/CPackConfig.cmake" -B "$work/package") >"$work/cpack.out" 2>&1 \
  || fail "cpack: $(cat "$work/cpack.out")"
archive="$work/package/Kelo-$version-Linux.tar.gz"
mkdir "$work/unpacked"
tar -xzf "$archive" -C "$work/unpacked" || fail "no package $archive"
diff -r "$prefix/lib/kelo/Maps" "$work/unpacked/Kelo-$version-Linux/lib/kelo/Maps" >&2 || fail "the package's Maps"
[ "$(cd "$work/unpacked/Kelo-$version-Linux" && find . | sort)" = "$(cd "$prefix" && find . | sort)" ] \
  || fail "the package holds another tree than the install"
[ "$("$work/unpacked/Kelo-$version-Linux/bin/kelo-render" --version)" = "kelo-render $version" ] \
  || fail "the unpacked kelo-render does not start"

finish "install and package"

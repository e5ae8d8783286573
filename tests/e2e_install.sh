#!/usr/bin/env bash
# Installing Kelo on Linux: `cmake --install` of the build into a scratch prefix gives the program folder lib/kelo,
# links in bin/ through which the programs find that folder from anywhere, a desktop entry that
# desktop-file-validate accepts and the icon that make_icon.py draws; the packages (CPack) hold the same tree: the
# archive to unpack, and the Debian package, which apt-get installs with what it depends on, run from /usr, removes.
# Usage: e2e_install.sh BUILD_DIR SOURCE_DIR [WINDOWS_EXE]; exits 77 when desktop-file-validate is missing, and when
# the Debian package cannot be installed here (not root, no apt-get or dpkg-dev) after checking everything else.
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
echo "archive: the install tree, ready to start"

# [SECTION] The Debian package: installed by apt-get under /usr, started from there, removed

# The package's name for the file that holds PATH (found under /lib or /usr/lib alike, /usr being merged).
package_of() {
  local candidate owner
  for candidate in "$1" "/usr$1" "${1#/usr}"; do
    owner=$(dpkg-query -S "$candidate" 2>/dev/null | head -n 1) && [ -n "$owner" ] && { echo "${owner%%[:,]*}"; return 0; }
  done
  return 1
}

# The packages that one program's own shared libraries (NEEDED) come from, one a line.
library_packages() {
  local program=$1 library path
  for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
    path=$(ldd "$program" | awk -v library="$library" '$1 == library { print $3 }')
    package_of "$path" || echo "UNOWNED:$library"
  done
}

# Installs the package, checks it, removes it. Sets deb_skipped when it cannot run here.
deb_package() {
  if [ "$(id -u)" -ne 0 ]; then
    deb_skipped="installing a package needs root"
    return
  fi
  local tool
  for tool in apt-get dpkg-deb dpkg-shlibdeps file flock objdump ldd; do
    command -v "$tool" >/dev/null || { deb_skipped="$tool missing (scripts/install-deps installs it)"; return; }
  done
  # One package test at a time on the machine: two would install and remove the same package under each other.
  exec {lock}>/run/lock/kelo-package-test.lock
  flock -w 240 "$lock" || { fail "another test held the package lock for 240 s"; return; }
  if dpkg-query -W -f='${Status}' kelo 2>/dev/null | grep -q 'ok installed'; then
    deb_skipped="a kelo package is installed already: left as it is"
    return
  fi

  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb") >"$work/cpack-deb.out" 2>&1 \
    || { fail "cpack -G DEB: $(cat "$work/cpack-deb.out")"; return; }
  local deb="$work/deb/kelo_${version}_$(dpkg --print-architecture).deb" depends
  [ -f "$deb" ] || { fail "no package $deb: $(ls "$work/deb")"; return; }
  depends=$(dpkg-deb -f "$deb" Depends | tr -d ' ' | tr ',' '\n' | sed 's/(.*//')
  local program package
  for program in "${programs[@]}"; do
    for package in $(library_packages "$build/$program" | sort -u) fonts-liberation fonts-dejavu-core; do
      grep -qx "$package" <<<"$depends" || fail "the package does not depend on $package (for $program)"
    done
  done

  # A run that stops half-way still removes what it installed.
  trap '"${apt[@]}" purge kelo >/dev/null 2>&1; rm -rf "$work"' EXIT
  "${apt[@]}" install --no-install-recommends "$deb" >"$work/apt.out" 2>&1 \
    || { fail "apt-get install $deb: $(tail -n 20 "$work/apt.out")"; return; }
  local missing
  missing=$(comm -23 <(cd "$prefix" && find . ! -type d | sed 's|^\.|/usr|' | sort) <(dpkg-query -L kelo | sort))
  [ -z "$missing" ] || fail "the package lacks what the install holds: $missing"
  for program in "${programs[@]}"; do
    [ "$("/usr/bin/$program" --version)" = "$program $version" ] || fail "/usr/bin/$program --version"
  done
  # The installed kelo-render plays the demo from its own folder's Kelo.ini, Maps and Presets: the state and the
  # frame are those of the build's own kelo-render.
  local arguments=(--until 30000 --state "$work/deb.json" --frame "$work/deb.png" "$demo")
  (cd "$work/elsewhere" && /usr/bin/kelo-render "${arguments[@]}") 2>"$work/deb.err" \
    || fail "the installed kelo-render failed: $(cat "$work/deb.err")"
  arguments=(--until 30000 --state "$work/build.json" --frame "$work/build.png" "$demo")
  "$render" "${arguments[@]}" 2>"$work/build.err" || fail "the build's kelo-render failed: $(cat "$work/build.err")"
  cmp -s "$work/deb.json" "$work/build.json" || fail "the installed kelo-render ends in another state"
  cmp -s "$work/deb.png" "$work/build.png" || fail "the installed kelo-render draws another frame"

  "${apt[@]}" purge kelo >"$work/apt.out" 2>&1 || fail "apt-get purge kelo: $(tail -n 20 "$work/apt.out")"
  trap 'rm -rf "$work"' EXIT
  ! dpkg-query -W -f='${Status}' kelo 2>/dev/null | grep -q 'ok installed' || fail "kelo is still installed"
  [ ! -e /usr/lib/kelo ] && [ ! -e /usr/bin/kelo-render ] || fail "the removed package left /usr/lib/kelo or a link"
  echo "Debian package: depends on what the programs link and the fonts, installs, plays the demo, removes"
}

apt=(env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=120)
deb_skipped=
deb_package

[ -z "$deb_skipped" ] || [ "$failures" -gt 0 ] || { echo "Debian package not installed ($deb_skipped): skipped"; exit 77; }
finish "install and packages"

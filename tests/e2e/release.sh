#!/usr/bin/env bash
# End to end for the release packages in build/packages (scripts/package):
#   deb       (root) the .debs installed, /usr/bin/picture run, the sketch and the C example
#             built by pkg-config, the C and Python examples run, then removal leaving nothing
#   archives  the Windows archives' files, processors, versions and DLL imports
#   wine      the 64-bit archives' picture.exe and a C example run under Wine
#   lintian   the Debian packages, with no error and no warning
#   parent    a project adding the tree with add_subdirectory builds only the presenter
# Usage: release.sh deb|archives|wine|lintian|parent
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/default}
. "$ROOT/tests/e2e/common.sh"
. "$ROOT/tests/e2e/sketch.sh"
. "$ROOT/tests/e2e/examples.sh"
PACKAGES=${PACKAGES:-$ROOT/build/packages}
VERSION=$(sed -n 's/^project(picture VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
WORK=$(mktemp -d)
failed=0
trap 'stop_xvfb; rm -rf "$WORK"' EXIT

say() {  # say STATUS TEXT: ok when STATUS is 0
  if [ "$1" -eq 0 ]; then echo "ok   $2"; else echo "FAIL $2"; failed=1; fi
}

# PROGRAM... on a 640 x 480 Xvfb shows the picture, then ends with 0 on Escape.
picture_ends_on_escape() {  # picture_ends_on_escape NAME SECONDS PROGRAM...
  local name=$1 seconds=$2 seen= bad=0
  shift 2
  start_xvfb 640x480x24 || { say 1 "$name: Xvfb did not start"; return 1; }
  "$@" >/dev/null 2>&1 &
  local pid=$!
  wait_for_picture "$name" "$seconds" $pid && seen="the picture was on the screen" || bad=1
  press_escape
  wait_for_exit $pid 60
  expect_status "$name Escape" 0 "$STATUS" "$seen" || bad=1
  stop_xvfb
  return $bad
}

DEBS=(picture libpicture-display1 libpicture-display-dev)

check_deb() {
  local deb path brought=() left=() files=()
  for deb in "${DEBS[@]}"; do files+=("$PACKAGES/${deb}_${VERSION}_amd64.deb"); done
  [ "$(id -u)" -eq 0 ] && ls "${files[@]}" >/dev/null || { say 1 "deb: needs ${files[*]} and root"; return; }
  dpkg -r "${DEBS[@]}" >/dev/null 2>&1  # left by an earlier run
  while read -r path; do
    [ -e "$path" ] || brought+=("$path")
  done < <(for deb in "${files[@]}"; do dpkg-deb -c "$deb"; done | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep .)
  apt-get install -y "${files[@]}" >"$ARTIFACTS/apt-install.txt" 2>&1
  say $? "deb: apt-get install of the three: $(dpkg-query -W -f '${Package} ' "${DEBS[@]}" 2>&1)"
  picture_ends_on_escape deb-usr-bin-picture 30 /usr/bin/picture || failed=1
  # shellcheck disable=SC2046
  [ "$(pkg-config --modversion picture-display)" = "$VERSION" ] &&
    g++ -std=c++20 -O2 -o "$WORK/sketch" "$ROOT/examples/sketch/sketch.cpp" $(pkg-config --cflags --libs picture-display)
  say $? "deb: g++ sketch.cpp \$(pkg-config --cflags --libs picture-display) builds the sketch, version $VERSION"
  # The C example on the shared library and, statically, on picture-display-static; it and the Python one run.
  local c="cc -std=c99 -Wall -Wextra -pedantic -Werror $ROOT/examples/c/example.c"
  # shellcheck disable=SC2046
  $c -o "$WORK/example" $(pkg-config --cflags --libs picture-display) &&
    readelf -d "$WORK/example" | grep -q 'NEEDED.*\[libpicture-display\.so\.1\]' &&
    $c -o "$WORK/example-static" $(pkg-config --static --cflags --libs picture-display-static) &&
    ! readelf -d "$WORK/example-static" | grep -q 'libpicture-display'
  say $? "deb: example.c built by pkg-config on picture-display (needing libpicture-display.so.1) and --static on picture-display-static (not)"
  start_xvfb 1024x768x24 && check_example deb-c-example "$WORK/example" &&
    check_example deb-python-example python3 "$ROOT/examples/python/example.py" || failed=1
  stop_xvfb
  dpkg -r "${DEBS[@]}" >"$ARTIFACTS/dpkg-r.txt" 2>&1 || say 1 "deb: dpkg -r failed"
  for path in "${brought[@]}"; do [ -e "$path" ] && left+=("$path"); done
  [ ${#brought[@]} -gt 0 ] && [ ${#left[@]} -eq 0 ]
  say $? "deb: dpkg -r takes away the ${#brought[@]} paths it brought${left[*]:+, not ${left[*]}}"
}

check_lintian() {
  local out
  out=$(cd "$PACKAGES" && lintian --fail-on error,warning "${DEBS[@]/%/_${VERSION}_amd64.deb}" 2>&1)
  say $? "lintian: ${DEBS[*]}: $(echo "$out" | grep -v '^running with root' | grep . || echo no error, no warning)"
}

# Each Windows archive and its developer twin: exactly their files; programs and
# DLL of their processor, with the project's version, importing only system
# DLLs; the DLL exporting exactly the listed names.
check_archives() {
  local bits top dev machine file info dlls
  for bits in 64 32; do
    top=picture-$VERSION-win$bits dev=picture-display-$VERSION-win$bits-dev
    machine=$([ $bits = 64 ] && echo "AMD AMD64" || echo "Intel 386 or later, and compatibles")
    [ "$(cmake -E tar tf "$PACKAGES/$top.zip" | grep -v '/$' | sort | xargs)" = \
      "$top/LICENSE $top/README.md $top/picture.exe $top/sketch.exe" ]
    say $? "win$bits: $top.zip holds picture.exe, sketch.exe, README.md and LICENSE alone"
    [ "$(cmake -E tar tf "$PACKAGES/$dev.zip" | grep -v '/$' | sort | xargs)" = "$dev/bin/picture-display.dll \
$dev/include/picture-display/convert/convert.h $dev/include/picture-display/convert/pixel.h \
$dev/include/picture-display/display/display.h $dev/lib/libpicture-display.dll.a" ]
    say $? "win$bits: $dev.zip holds the DLL, its import library and the presenter's headers alone"
    mkdir -p "$WORK/$bits" && (cd "$WORK/$bits" && cmake -E tar xf "$PACKAGES/$top.zip" && cmake -E tar xf "$PACKAGES/$dev.zip")
    for file in "$top/picture.exe" "$top/sketch.exe" "$dev/bin/picture-display.dll"; do
      info=$(exiftool -S -MachineType -FileVersionNumber -ProductVersionNumber -FileVersion -ProductVersion \
        -ProductName -FileDescription "$WORK/$bits/$file")
      dlls=$(x86_64-w64-mingw32-objdump -p "$WORK/$bits/$file" | sed -n 's/^\tDLL Name: //p' | xargs)
      [ "$(echo "$info" | grep -cxF -e "MachineType: $machine" -e "FileVersionNumber: $VERSION.0" \
        -e "ProductVersionNumber: $VERSION.0" -e "FileVersion: $VERSION" -e "ProductVersion: $VERSION" \
        -e "ProductName: picture")" -eq 6 ] && echo "$info" | grep -q "^FileDescription: ." && [ -n "$dlls" ] &&
        ! echo "$dlls" | tr ' ' '\n' | grep -qvE '^(KERNEL32|USER32|msvcrt)\.dll$'
      say $? "win$bits: $file: $machine, version $VERSION, $(echo "$info" | grep FileDescription), imports $dlls"
    done
    "$ROOT/tools/check_exports.py" "$ROOT/src/exports.txt" "$WORK/$bits/$dev/bin/picture-display.dll" \
      x86_64-w64-mingw32-objdump || failed=1
  done
}

check_wine() {
  local top=picture-$VERSION-win64 dev=picture-display-$VERSION-win64-dev loader=wine
  [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
  (cd "$WORK" && cmake -E tar xf "$PACKAGES/$top.zip" && cmake -E tar xf "$PACKAGES/$dev.zip") || { failed=1; return; }
  export WINEDEBUG=-all
  WINEPREFIX=$("$ROOT/scripts/wine-prefix" 640x480) || { say 1 "wine: no Wine prefix"; return; }
  export WINEPREFIX
  (cd "$WORK/$top" && picture_ends_on_escape win64-archive-picture.exe 120 "$loader" picture.exe) || failed=1
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX"
  # A C program built against the developer archive alone, its windows straight on the X server.
  x86_64-w64-mingw32-gcc -std=c99 -Wall -Wextra -pedantic -Werror -o "$WORK/$dev/example.exe" \
    "$ROOT/examples/c/example.c" -I"$WORK/$dev/include/picture-display" -L"$WORK/$dev/lib" -lpicture-display &&
    cp "$WORK/$dev/bin/picture-display.dll" "$WORK/$dev/"
  say $? "wine: example.c built by MinGW against $dev.zip alone"
  start_xvfb 1024x768x24 && WINEPREFIX=$("$ROOT/scripts/wine-prefix" off) || { say 1 "wine: no Xvfb or prefix"; return; }
  (cd "$WORK/$dev" && check_example win64-c-example "$loader" example.exe) || failed=1
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX"
  stop_xvfb
}

check_parent() {
  mkdir -p "$WORK/parent"
  printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(parent LANGUAGES CXX)' \
    "add_subdirectory(\"$ROOT\" picture)" "add_executable(parent_sketch \"$ROOT/examples/sketch/sketch.cpp\")" \
    'target_link_libraries(parent_sketch PRIVATE PictureDisplay::display)' >"$WORK/parent/CMakeLists.txt"
  { cmake -S "$WORK/parent" -B "$WORK/parent/build" -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$WORK/parent/build" -j "$(nproc)"; } >"$ARTIFACTS/parent.txt" 2>&1 ||
    { say 1 "parent: the project adding the tree did not build ($ARTIFACTS/parent.txt)"; return; }
  local built  # every program and library built, by name
  built=$(find "$WORK/parent/build" -path '*/CMakeFiles' -prune -o -type f \( -perm -u+x -o -name '*.a' \) -print |
    xargs -n1 basename | sort | xargs)
  [ "$built" = "libconvert.a libdisplay.a libpicture-display.so.1.0.0 libplatform_headless.a libplatform_screen.a parent_sketch" ]
  say $? "parent: add_subdirectory builds only $built"
}

case ${1:-} in
  deb | archives | wine | lintian | parent) "check_$1" ;;
  *) echo "usage: release.sh deb|archives|wine|lintian|parent" >&2 && exit 2 ;;
esac
exit $failed

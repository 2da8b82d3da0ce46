#!/usr/bin/env bash
# End to end for the release packages in build/packages (scripts/package):
#   deb       (root) the three .debs installed, /usr/bin/picture run, the sketch and
#             the C example built by pkg-config, the C and Python examples run on
#             the installed shared library, then removal leaving none of the paths they brought
#   archives  the Windows archives' files, processors, versions and DLL imports, and
#             the developer archives' DLLs and their exports
#   wine      the 64-bit archive's picture.exe run under Wine from an empty folder, and
#             a C program built against the 64-bit developer archive alone
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

# The packages made from the default preset, named as Debian names them.
DEBS=(picture libpicture-display1 libpicture-display-dev)

# The installed development package as a C program uses it: the C example built
# by pkg-config against the shared library and, with picture-display-static,
# statically; the shared one and the Python example run on Xvfb.
check_installed_examples() {
  local c="cc -std=c99 -Wall -Wextra -pedantic -Werror" needed
  # shellcheck disable=SC2046
  $c -o "$WORK/example" "$ROOT/examples/c/example.c" $(pkg-config --cflags --libs picture-display) &&
    needed=$(readelf -d "$WORK/example" | grep -c 'NEEDED.*\[libpicture-display\.so\.1\]') && [ "$needed" -eq 1 ]
  say $? "deb: example.c built by \$(pkg-config --cflags --libs picture-display), needing libpicture-display.so.1"
  # shellcheck disable=SC2046
  $c -o "$WORK/example-static" "$ROOT/examples/c/example.c" $(pkg-config --static --cflags --libs picture-display-static) &&
    ! readelf -d "$WORK/example-static" | grep -q 'libpicture-display'
  say $? "deb: example.c built by \$(pkg-config --static --cflags --libs picture-display-static), needing no libpicture-display"
  start_xvfb 1024x768x24 || { say 1 "deb: Xvfb did not start"; return; }
  check_example deb-c-example "$WORK/example" || failed=1
  check_example deb-python-example python3 "$ROOT/examples/python/example.py" || failed=1
  stop_xvfb
}

check_deb() {
  local deb path brought=() left=() files=()
  for deb in "${DEBS[@]}"; do files+=("$PACKAGES/${deb}_${VERSION}_amd64.deb"); done
  [ "$(id -u)" -eq 0 ] && ls "${files[@]}" >/dev/null || { say 1 "deb: needs ${files[*]} and root"; return; }
  dpkg --purge "${DEBS[@]}" >/dev/null 2>&1  # left by an earlier run
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
  check_installed_examples
  dpkg --purge "${DEBS[@]}" >"$ARTIFACTS/dpkg-purge.txt" 2>&1 || say 1 "deb: dpkg --purge failed"
  for path in "${brought[@]}"; do [ -e "$path" ] && left+=("$path"); done
  [ ${#brought[@]} -gt 0 ] && [ ${#left[@]} -eq 0 ]
  say $? "deb: removing them takes away the ${#brought[@]} paths they brought${left[*]:+, not ${left[*]}}"
}

# Lintian on the three packages: no error and no warning (overrides only with their reasons).
check_lintian() {
  local out
  local out status
  out=$(cd "$PACKAGES" && lintian --fail-on error,warning "${DEBS[@]/%/_${VERSION}_amd64.deb}" 2>&1)
  status=$?
  out=$(echo "$out" | grep -v '^running with root')
  say $status "lintian: ${DEBS[*]}: ${out:-no error, no warning}"
}

check_archives() {
  local bits top machine exe info dlls
  for bits in 64 32; do
    top=picture-$VERSION-win$bits
    machine=$([ $bits = 64 ] && echo x86-64 || echo i386)
    [ "$(cmake -E tar tf "$PACKAGES/$top.zip" | grep -v '/$' | sort | xargs)" = \
      "$top/LICENSE $top/README.md $top/picture.exe $top/sketch.exe" ]
    say $? "win$bits: $top.zip holds picture.exe, sketch.exe, README.md and LICENSE alone"
    mkdir -p "$WORK/$bits" && (cd "$WORK/$bits" && cmake -E tar xf "$PACKAGES/$top.zip")
    for exe in picture sketch; do
      info=$("$BUILD/pe_version" "$WORK/$bits/$top/$exe.exe")
      dlls=$(x86_64-w64-mingw32-objdump -p "$WORK/$bits/$top/$exe.exe" | sed -n 's/^\tDLL Name: //p' | xargs)
      [ "$(echo "$info" | grep -cxF -e "machine: $machine" -e "fixed FileVersion: $VERSION.0" \
        -e "fixed ProductVersion: $VERSION.0" -e "FileVersion: $VERSION" -e "ProductVersion: $VERSION" \
        -e "ProductName: picture")" -eq 6 ] && echo "$info" | grep -q "^FileDescription: ." && [ -n "$dlls" ] &&
        ! echo "$dlls" | tr ' ' '\n' | grep -qvE '^(KERNEL32|USER32|msvcrt)\.dll$'
      say $? "win$bits: $exe.exe: $machine, version $VERSION, $(echo "$info" | grep FileDescription), imports $dlls"
    done
    check_dev_archive "$bits" "$machine"
  done
}

# A developer archive: the DLL (of its processor, needing only system DLLs,
# exporting exactly the listed names), its import library and the headers.
check_dev_archive() {  # check_dev_archive BITS MACHINE
  local top=picture-display-$VERSION-win$1-dev dll dlls objdump=x86_64-w64-mingw32-objdump
  [ "$(cmake -E tar tf "$PACKAGES/$top.zip" | grep -v '/$' | sort | xargs)" = "$top/bin/picture-display.dll \
$top/include/picture-display/convert/convert.h $top/include/picture-display/convert/pixel.h \
$top/include/picture-display/display/display.h $top/lib/libpicture-display.dll.a" ]
  say $? "win$1: $top.zip holds the DLL, its import library and the presenter's headers alone"
  mkdir -p "$WORK/dev$1" && (cd "$WORK/dev$1" && cmake -E tar xf "$PACKAGES/$top.zip")
  dll=$WORK/dev$1/$top/bin/picture-display.dll
  dlls=$($objdump -p "$dll" | sed -n 's/^\tDLL Name: //p' | xargs)
  [ "$("$BUILD/pe_version" "$dll" | grep -cxF -e "machine: $2" -e "FileVersion: $VERSION" \
    -e "OriginalFilename: picture-display.dll")" -eq 3 ] &&
    ! echo "$dlls" | tr ' ' '\n' | grep -qvE '^(KERNEL32|USER32|msvcrt)\.dll$'
  say $? "win$1: picture-display.dll: $2, version $VERSION, $(stat -c %s "$dll") bytes, imports $dlls"
  "$ROOT/tools/check_exports.py" "$ROOT/src/exports.txt" "$dll" $objdump | sed "s|$WORK/dev$1/||"
  [ "${PIPESTATUS[0]}" -eq 0 ] || failed=1
}

check_wine() {
  local top=picture-$VERSION-win64 loader=wine
  [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
  (cd "$WORK" && cmake -E tar xf "$PACKAGES/$top.zip") || { say 1 "wine: no $top.zip"; return; }
  export WINEDEBUG=-all
  WINEPREFIX=$("$ROOT/scripts/wine-prefix" 640x480) || { say 1 "wine: no Wine prefix"; return; }
  export WINEPREFIX
  (cd "$WORK/$top" && picture_ends_on_escape win64-archive-picture.exe 120 "$loader" picture.exe) || failed=1
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX"
  check_wine_example
}

# The C example built by MinGW against the 64-bit developer archive alone, the
# DLL beside it, run under Wine with its windows straight on the X server.
check_wine_example() {
  local dev=picture-display-$VERSION-win64-dev loader=wine
  [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
  mkdir -p "$WORK/example" && (cd "$WORK/example" && cmake -E tar xf "$PACKAGES/$dev.zip") ||
    { say 1 "wine: no $dev.zip"; return; }
  x86_64-w64-mingw32-gcc -std=c99 -Wall -Wextra -pedantic -Werror -o "$WORK/example/example.exe" \
    "$ROOT/examples/c/example.c" -I"$WORK/example/$dev/include/picture-display" -L"$WORK/example/$dev/lib" \
    -lpicture-display && cp "$WORK/example/$dev/bin/picture-display.dll" "$WORK/example/"
  say $? "wine: example.c built by MinGW against $dev.zip alone"
  start_xvfb 1024x768x24 || { say 1 "wine: Xvfb did not start"; return; }
  WINEPREFIX=$("$ROOT/scripts/wine-prefix" off) || { say 1 "wine: no Wine prefix"; return; }
  export WINEPREFIX
  (cd "$WORK/example" && check_example win64-c-example "$loader" example.exe) || failed=1
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
  [ "$built" = "libconvert.a libdisplay.a libpicture-display.so.1.0.0 libplatform_headless.a libplatform_sdl.a parent_sketch" ]
  say $? "parent: add_subdirectory builds only $built"
}

case ${1:-} in
  deb | archives | wine | lintian | parent) "check_$1" ;;
  *) echo "usage: release.sh deb|archives|wine|lintian|parent" >&2 && exit 2 ;;
esac
exit $failed

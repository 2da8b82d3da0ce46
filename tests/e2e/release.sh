#!/usr/bin/env bash
# End to end for the release packages in build/packages (scripts/package):
#   deb       (root) the .deb installed, its /usr/bin/picture run, the sketch built
#             by pkg-config, then dpkg -r leaving none of the paths it brought
#   archives  the Windows archives' files, processors, versions and DLL imports
#   wine      the 64-bit archive's picture.exe run under Wine from an empty folder
#   parent    a project adding the tree with add_subdirectory builds only the presenter
# Usage: release.sh deb|archives|wine|parent
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/default}
. "$ROOT/tests/e2e/common.sh"
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

check_deb() {
  local deb=$PACKAGES/picture_${VERSION}_amd64.deb path brought=() left=()
  [ -f "$deb" ] && [ "$(id -u)" -eq 0 ] || { say 1 "deb: needs $deb and root"; return; }
  dpkg -s picture >/dev/null 2>&1 && dpkg -r picture >/dev/null  # left by an earlier run
  while read -r path; do
    [ -e "$path" ] || brought+=("$path")
  done < <(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep .)
  dpkg -i "$deb" >"$ARTIFACTS/dpkg-i.txt" 2>&1
  say $? "deb: dpkg -i: $(dpkg-query -W -f '${Package} ${Version}, depending on ${Depends}' picture 2>&1)"
  picture_ends_on_escape deb-usr-bin-picture 30 /usr/bin/picture || failed=1
  # shellcheck disable=SC2046
  [ "$(pkg-config --modversion picture-display)" = "$VERSION" ] &&
    g++ -std=c++20 -O2 -o "$WORK/sketch" "$ROOT/examples/sketch/sketch.cpp" $(pkg-config --cflags --libs picture-display)
  say $? "deb: g++ sketch.cpp \$(pkg-config --cflags --libs picture-display) builds the sketch, version $VERSION"
  dpkg -r picture >"$ARTIFACTS/dpkg-r.txt" 2>&1 || say 1 "deb: dpkg -r failed"
  for path in "${brought[@]}"; do [ -e "$path" ] && left+=("$path"); done
  [ ${#brought[@]} -gt 0 ] && [ ${#left[@]} -eq 0 ]
  say $? "deb: dpkg -r takes away the ${#brought[@]} paths it brought${left[*]:+, not ${left[*]}}"
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
  done
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
  [ "$built" = "libconvert.a libdisplay.a libplatform_headless.a libplatform_sdl.a parent_sketch" ]
  say $? "parent: add_subdirectory builds only $built"
}

case ${1:-} in
  deb | archives | wine | parent) "check_$1" ;;
  *) echo "usage: release.sh deb|archives|wine|parent" >&2 && exit 2 ;;
esac
exit $failed

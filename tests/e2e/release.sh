#!/usr/bin/env bash
# End to end for the release (scripts/package makes the packages in
# build/packages). Usage: release.sh CHECK, one of
#   deb       the Debian package installed with dpkg -i: /usr/bin/picture shows
#             the picture on Xvfb and ends with 0 on Escape, pkg-config builds
#             the sketch with one compiler line, and dpkg -r leaves none of its
#             files behind (as root)
#   archives  each Windows archive holds its top folder with picture.exe,
#             sketch.exe, README.md and LICENSE alone, programs of its
#             processor carrying the project's version and needing no DLL
#             beyond the system's
#   wine      the 64-bit archive unpacked into an empty folder: its picture.exe,
#             run from there under Wine, shows the picture and ends with 0 on Escape
#   parent    a throwaway project adds the tree with add_subdirectory and links
#             PictureDisplay::display, building none of our tests, tools or example
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/default}
. "$ROOT/tests/e2e/common.sh"
PACKAGES=${PACKAGES:-$ROOT/build/packages}
VERSION=$(sed -n 's/^project(picture VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
WORK=$(mktemp -d)
failed=0
trap 'stop_xvfb; rm -rf "$WORK"' EXIT

ok() { echo "ok   $*"; }
fail() {
  echo "FAIL $*"
  failed=1
}

# Starts PROGRAM... on a 640 x 480 Xvfb, expects the picture, then 0 on Escape.
# NAME names the check's files in $ARTIFACTS; LABEL is what it says.
picture_ends_on_escape() {  # picture_ends_on_escape NAME LABEL SECONDS PROGRAM...
  local name=$1 label=$2 seconds=$3 seen=
  shift 3
  start_xvfb 640x480x24 || { fail "$name: Xvfb did not start"; return; }
  "$@" >/dev/null 2>&1 &
  local pid=$!
  wait_for_picture "$name" "$seconds" $pid && seen="the picture was on the screen" || failed=1
  press_escape
  wait_for_exit $pid 60
  expect_status "$label Escape" 0 "$STATUS" "$seen" || failed=1
  stop_xvfb
}

check_deb() {
  local deb=$PACKAGES/picture_${VERSION}_amd64.deb path leftovers=()
  [ -f "$deb" ] || { fail "deb: no $deb"; return; }
  [ "$(id -u)" -eq 0 ] || { fail "deb: installing a package with dpkg -i needs root"; return; }
  if dpkg -s picture >/dev/null 2>&1; then
    echo "(removing the picture package an earlier run left installed)"
    dpkg -r picture >/dev/null
  fi
  # The package's paths that did not exist before it: none may outlive it.
  local brought=()
  while read -r path; do
    [ -e "$path" ] || brought+=("$path")
  done < <(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^$')
  dpkg -i "$deb" >"$ARTIFACTS/dpkg-i.txt" 2>&1 || { fail "deb: dpkg -i failed ($ARTIFACTS/dpkg-i.txt)"; return; }
  ok "deb: dpkg -i installed $(dpkg-query -W -f '${Package} ${Version}, depending on ${Depends}' picture)"

  picture_ends_on_escape deb-picture "deb /usr/bin/picture" 30 /usr/bin/picture

  local version
  version=$(pkg-config --modversion picture-display)
  # shellcheck disable=SC2046
  if [ "$version" = "$VERSION" ] &&
    g++ -std=c++20 -O2 -o "$WORK/sketch" "$ROOT/examples/sketch/sketch.cpp" $(pkg-config --cflags --libs picture-display) &&
    [ -x "$WORK/sketch" ]; then
    ok "deb: g++ sketch.cpp \$(pkg-config --cflags --libs picture-display) built the sketch (version $version)"
  else
    fail "deb: pkg-config (version '$version', expected $VERSION) did not build the sketch"
  fi

  dpkg -r picture >"$ARTIFACTS/dpkg-r.txt" 2>&1 || fail "deb: dpkg -r failed ($ARTIFACTS/dpkg-r.txt)"
  for path in "${brought[@]}"; do
    [ -e "$path" ] && leftovers+=("$path")
  done
  if [ ${#brought[@]} -gt 0 ] && [ ${#leftovers[@]} -eq 0 ]; then
    ok "deb: dpkg -r took away all ${#brought[@]} paths the package brought"
  else
    fail "deb: dpkg -r left ${leftovers[*]:-?} (of ${#brought[@]} paths brought)"
  fi
}

# The DLLs the system itself has; a program needing any other would not run
# from its archive alone.
SYSTEM_DLLS='^(KERNEL32|USER32|msvcrt|ntdll|ADVAPI32|GDI32)\.dll$'

check_archives() {
  local bits machine zip top exe info
  for bits in 64 32; do
    machine=$([ $bits = 64 ] && echo x86-64 || echo i386)
    top=picture-$VERSION-win$bits
    zip=$PACKAGES/$top.zip
    [ -f "$zip" ] || { fail "win$bits: no $zip"; continue; }
    local listing expected
    listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort | tr '\n' ' ')
    expected="$top/LICENSE $top/README.md $top/picture.exe $top/sketch.exe "
    if [ "$listing" = "$expected" ]; then
      ok "win$bits: $top.zip holds $expected"
    else
      fail "win$bits: $top.zip holds '$listing', expected '$expected'"
    fi
    mkdir -p "$WORK/$bits" && (cd "$WORK/$bits" && cmake -E tar xf "$zip")
    for exe in picture sketch; do
      info=$("$BUILD/pe_version" "$WORK/$bits/$top/$exe.exe")
      local dlls
      dlls=$(x86_64-w64-mingw32-objdump -p "$WORK/$bits/$top/$exe.exe" | sed -n 's/^\tDLL Name: //p')
      if echo "$info" | grep -qx "machine: $machine" &&
        echo "$info" | grep -qx "fixed FileVersion: $VERSION.0" &&
        echo "$info" | grep -qx "fixed ProductVersion: $VERSION.0" &&
        echo "$info" | grep -qx "FileVersion: $VERSION" &&
        echo "$info" | grep -qx "ProductVersion: $VERSION" &&
        echo "$info" | grep -qx "ProductName: picture" &&
        echo "$info" | grep -qE "^FileDescription: .+" &&
        [ -n "$dlls" ] && ! echo "$dlls" | grep -qvE "$SYSTEM_DLLS"; then
        ok "win$bits: $exe.exe, $machine, version $VERSION ($(echo "$info" | sed -n 's/^FileDescription: //p')), needs only $(echo $dlls)"
      else
        echo "$info"
        fail "win$bits: $exe.exe: expected $machine, version $VERSION and system DLLs only (needs: $(echo $dlls))"
      fi
    done
  done
}

check_wine() {
  local top=picture-$VERSION-win64 prefix loader=wine
  [ -f "$PACKAGES/$top.zip" ] || { fail "wine: no $PACKAGES/$top.zip"; return; }
  (cd "$WORK" && cmake -E tar xf "$PACKAGES/$top.zip")
  [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
  export WINEDEBUG=-all
  prefix=$("$ROOT/scripts/wine-prefix" 640x480) || { fail "wine: no Wine prefix"; return; }
  export WINEPREFIX=$prefix
  cd "$WORK/$top" && picture_ends_on_escape archive-picture "win64 archive picture.exe" 120 "$loader" picture.exe
  cd "$ROOT"
  wineserver -k 2>/dev/null
  rm -rf "$prefix"
}

check_parent() {
  mkdir -p "$WORK/parent"
  cat >"$WORK/parent/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.25)
project(parent LANGUAGES CXX)
add_subdirectory("$ROOT" picture)
add_executable(parent_sketch "$ROOT/examples/sketch/sketch.cpp")
target_link_libraries(parent_sketch PRIVATE PictureDisplay::display)
EOF
  local log=$ARTIFACTS/parent.txt built
  if ! { cmake -S "$WORK/parent" -B "$WORK/parent/build" -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$WORK/parent/build" -j "$(nproc)"; } >"$log" 2>&1; then
    fail "parent: the project adding the tree did not build ($log)"
    return
  fi
  # Every program and library it built, by name.
  built=$(find "$WORK/parent/build" -path '*/CMakeFiles' -prune -o -type f \( -perm -u+x -o -name '*.a' \) -print |
    xargs -n1 basename | sort | tr '\n' ' ')
  if [ "$built" = "libconvert.a libdisplay.a libplatform_headless.a libplatform_sdl.a parent_sketch " ]; then
    ok "parent: add_subdirectory built only $built"
  else
    fail "parent: add_subdirectory built $built"
  fi
}

case ${1:-} in
  deb) check_deb ;;
  archives) check_archives ;;
  wine) check_wine ;;
  parent) check_parent ;;
  *)
    echo "usage: release.sh deb|archives|wine|parent" >&2
    exit 2
    ;;
esac
exit $failed

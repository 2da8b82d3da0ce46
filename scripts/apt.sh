# Installing Debian packages with apt-get, shared by the scripts that need some
# (sourced). Tells a package the package source can't serve today (an index
# that won't download, dependencies it can't resolve, a download that fails)
# from a mistake of ours (a name it has never heard of, a failing install).
#
# apt_install PACKAGE...: 0 when installed; 75 when the package source can't
# serve them (the reason in APT_REASON, apt's own lines printed); 1 otherwise.

APT_LOG=${APT_LOG:-/tmp/picture-apt.log}
APT_REASON=
APT_UNAVAILABLE=75
export DEBIAN_FRONTEND=noninteractive

# apt's error lines of a log: a few unmet dependencies, then its errors.
apt_errors() {
  { grep -E 'unmet dependencies|is not installable|not going to be installed' "$1" || true; } | head -6
  grep -E '^(E|Err):' "$1" || true
}
# The line that says it best: apt's first "E:" line of those given, else the first.
apt_reason_line() { { grep -m1 '^E:' <<<"$1" || head -1 <<<"$1"; } | sed 's/ *\[IP: [^]]*\]//'; }

# Updates the package lists, three tries with a pause between; returns non-zero
# if the last try still failed. One update a run: PICTURE_APT_STAMP (a file
# path, set by scripts/test) records the outcome for every later call.
APT_UPDATE_ERRORS=
APT_UPDATED=
apt_update() {
  if [ -n "$APT_UPDATED" ]; then
    [ -z "$APT_UPDATE_ERRORS" ]
    return
  fi
  APT_UPDATED=1
  if [ -n "${PICTURE_APT_STAMP:-}" ] && [ -e "$PICTURE_APT_STAMP" ]; then
    APT_UPDATE_ERRORS=$(cat "$PICTURE_APT_STAMP")
    [ -z "$APT_UPDATE_ERRORS" ]
    return
  fi
  local try log
  log=$(mktemp)
  for try in 1 2 3; do
    # apt-get update fails on an index it can't fetch but exits 0 on some warnings.
    if apt-get update -q >"$log" 2>&1 && ! grep -qE '^(E|W): Failed to fetch' "$log"; then
      APT_UPDATE_ERRORS=
      break
    fi
    APT_UPDATE_ERRORS=$(apt_errors "$log")
    [ -n "$APT_UPDATE_ERRORS" ] || APT_UPDATE_ERRORS="apt-get update failed without an error line"
    echo "apt-get update failed (try $try of 3): $(apt_reason_line "$APT_UPDATE_ERRORS")" >&2
    [ "$try" -lt 3 ] && sleep "${PICTURE_APT_PAUSE:-15}"
  done
  cat "$log" >>"$APT_LOG"
  rm -f "$log"
  [ -n "${PICTURE_APT_STAMP:-}" ] && printf '%s' "$APT_UPDATE_ERRORS" >"$PICTURE_APT_STAMP"
  [ -z "$APT_UPDATE_ERRORS" ]
}

apt_install() {
  APT_REASON=
  if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "These Debian packages are missing; install them, then run this again:" >&2
    echo "  sudo apt-get install $*" >&2
    return 1
  fi
  local log
  log=$(mktemp)
  echo "Installing: $*"
  # Fresh lists first only when the ones here can't serve the packages.
  if apt-get install -y -q "$@" >"$log" 2>&1; then
    rm -f "$log"
    return 0
  fi
  apt_update || true
  if apt-get install -y -q "$@" >"$log" 2>&1; then
    cat "$log" >>"$APT_LOG"
    rm -f "$log"
    return 0
  fi
  cat "$log" >>"$APT_LOG"
  local errors source=
  errors=$(apt_errors "$log")
  echo "$errors" >&2
  # What the source can't serve: unresolvable dependencies or failed downloads;
  # an unknown name only when an index did not download.
  if grep -qE 'unmet dependencies|is not installable|Failed to fetch|Hash Sum mismatch|File has unexpected size' "$log"; then
    source=1
  elif [ -n "$APT_UPDATE_ERRORS" ] && grep -qE 'Unable to locate package|has no installation candidate' "$log"; then
    source=1
  fi
  rm -f "$log"
  if [ -n "$source" ]; then
    # The index that did not download is the cause; the install's error follows from it.
    APT_REASON="the package source can't serve $*: "
    [ -n "$APT_UPDATE_ERRORS" ] && APT_REASON="${APT_REASON}apt-get update: $(apt_reason_line "$APT_UPDATE_ERRORS"); "
    APT_REASON="${APT_REASON}apt-get install: $(apt_reason_line "$errors")"
    echo "apt-get could not install $* (log: $APT_LOG)" >&2
    return $APT_UNAVAILABLE
  fi
  echo "apt-get could not install $* (log: $APT_LOG)" >&2
  return 1
}

# The packages of those named that are not installed yet, one per line.
apt_missing() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || echo "$pkg"
  done
}

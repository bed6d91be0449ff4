# Shared helpers for the scripts in scripts/. Source it, don't run it:
#   source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
#
# Provides:
#   REPO_ROOT, BUILD_DIR           absolute paths (BUILD_DIR defaults to $REPO_ROOT/build)
#   log / die                      messages on stderr
#   add_cleanup CMD...             run CMD on exit (last added runs first)
#   ensure_packages                install what scripts/debian-packages lists and is missing
#   configure_and_build [TARGET...] cmake configure + build (all targets when none given)
#   start_xvfb                     private Xvfb on a free display; exports DISPLAY
#   stop_xvfb                      stop it again (also done on exit)
#   wait_for_exit PID SECONDS      wait for a child; sets WAIT_STATUS, returns 1 on time-out

if [[ -n "${_VD_COMMON_SH:-}" ]]; then
  return 0
fi
_VD_COMMON_SH=1

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$REPO_ROOT/build}"
case "$BUILD_DIR" in
  /*) ;;
  *) BUILD_DIR="$PWD/$BUILD_DIR" ;;
esac
export REPO_ROOT BUILD_DIR

log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }
die() { log "error: $*"; exit 1; }

# ---------------------------------------------------------------------------
# Clean-up on exit: one EXIT trap running every registered command.
_VD_CLEANUPS=()

add_cleanup() {
  _VD_CLEANUPS+=("$*")
}

_vd_run_cleanups() {
  local status=$?
  local i
  for ((i = ${#_VD_CLEANUPS[@]} - 1; i >= 0; i--)); do
    eval "${_VD_CLEANUPS[i]}" || true
  done
  _VD_CLEANUPS=()
  return "$status"
}
trap _vd_run_cleanups EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ---------------------------------------------------------------------------
# Packages

# Prints the package names of scripts/debian-packages, one a line.
package_list() {
  sed -e 's/#.*//' -e 's/[[:space:]]\+//g' -e '/^$/d' "$REPO_ROOT/scripts/debian-packages"
}

package_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

ensure_packages() {
  local -a missing=()
  local pkg
  while IFS= read -r pkg; do
    package_installed "$pkg" || missing+=("$pkg")
  done < <(package_list)
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  log "installing missing Debian packages: ${missing[*]}"
  local -a sudo=()
  if [[ "$(id -u)" -ne 0 ]]; then
    command -v sudo >/dev/null || die "not root and no sudo: install ${missing[*]} by hand"
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

# ---------------------------------------------------------------------------
# Build

configure_and_build() {
  cmake -S "$REPO_ROOT" -B "$BUILD_DIR" -G Ninja
  if (($# > 0)); then
    cmake --build "$BUILD_DIR" -j2 --target "$@"
  else
    cmake --build "$BUILD_DIR" -j2
  fi
}

# ---------------------------------------------------------------------------
# Xvfb

XVFB_PID=""
XVFB_LOG=""

# Starts Xvfb on the first free display (Xvfb picks it and reports it through
# -displayfd) and exports DISPLAY. Stopped again on exit.
start_xvfb() {
  command -v Xvfb >/dev/null || die "Xvfb not found (package xvfb)"
  local tmp
  tmp="$(mktemp -d "${TMPDIR:-/tmp}/vd-xvfb.XXXXXX")"
  add_cleanup "rm -rf '$tmp'"
  XVFB_LOG="$tmp/xvfb.log"
  local numfile="$tmp/display"
  : >"$numfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
    3>"$numfile" >"$XVFB_LOG" 2>&1 </dev/null &
  XVFB_PID=$!
  add_cleanup stop_xvfb

  local i num=""
  for ((i = 0; i < 100; i++)); do
    # Xvfb writes the number followed by a newline once it accepts clients.
    if [[ "$(cat "$numfile"; echo x)" == *$'\n'x ]]; then
      num="$(tr -d '[:space:]' <"$numfile")"
      break
    fi
    if ! kill -0 "$XVFB_PID" 2>/dev/null; then
      cat "$XVFB_LOG" >&2
      die "Xvfb exited before it was ready"
    fi
    sleep 0.1
  done
  [[ -n "$num" ]] || { cat "$XVFB_LOG" >&2; die "Xvfb did not report a display within 10 s"; }
  export DISPLAY=":$num"
  unset WAYLAND_DISPLAY
  # A runtime directory of our own keeps Qt programs from complaining.
  if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    mkdir -m 0700 "$tmp/runtime"
    export XDG_RUNTIME_DIR="$tmp/runtime"
  fi
  log "Xvfb running on $DISPLAY (pid $XVFB_PID)"
}

stop_xvfb() {
  [[ -n "$XVFB_PID" ]] || return 0
  if kill -0 "$XVFB_PID" 2>/dev/null; then
    kill -TERM "$XVFB_PID" 2>/dev/null || true
    wait_for_exit "$XVFB_PID" 5 || { kill -KILL "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; }
  fi
  XVFB_PID=""
}

# wait_for_exit PID SECONDS: waits for a child of this shell to end.
# Returns 0 and sets WAIT_STATUS to its exit status, or returns 1 on time-out.
WAIT_STATUS=""
wait_for_exit() {
  local pid="$1" limit="$2" i
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    return 1
  fi
  WAIT_STATUS=0
  wait "$pid" 2>/dev/null || WAIT_STATUS=$?
  return 0
}

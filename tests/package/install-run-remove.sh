#!/usr/bin/env bash
# install-run-remove.sh <build-dir> <cpack> <xclose>
#
# Builds the .deb from the build, installs it with apt (which brings what it
# depends on), checks what it put where, validates the desktop entry, starts
# the installed program from PATH on a private Xvfb, closes it as a window
# manager would (exit code 0 wanted) and removes the package again.
# Exits 77 (skipped) where it may not install packages, or where someone
# installed the program for real.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"

BUILD="$1"
CPACK="$2"
XCLOSE="$3"
PACKAGE=voltage-display
ICON_SIZES=(16 22 24 32 48 64 128 256)
# Present while this test has the package installed: a package found
# installed with it is a leftover of an interrupted run, not a person's.
MARKER=/var/tmp/voltage-display-package-test.installed

SUDO=()
if [[ "$(id -u)" -ne 0 ]]; then
  if ! command -v sudo >/dev/null || ! sudo -n true 2>/dev/null; then
    log "skipped: installing a package needs root or sudo without a password"
    exit 77
  fi
  SUDO=(sudo -n)
fi

# One run at a time on a machine: the package is machine-wide.
exec 9>"${TMPDIR:-/tmp}/voltage-display-package-test.lock"
flock -w 600 9 || die "another package test held the lock for 10 minutes"

if package_installed "$PACKAGE" && [[ ! -e "$MARKER" ]]; then
  log "skipped: $PACKAGE is installed on this machine and this test will not remove it"
  exit 77
fi

WORK="$(mktemp -d "${TMPDIR:-/tmp}/vd-package.XXXXXX")"
add_cleanup "rm -rf '$WORK'"

log "building the package"
"$CPACK" -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK" >"$WORK/cpack.log" 2>&1 ||
  { cat "$WORK/cpack.log" >&2; die "cpack failed"; }
DEB="$(find "$WORK" -maxdepth 1 -name "${PACKAGE}_*.deb" | head -n 1)"
[[ -n "$DEB" ]] || { cat "$WORK/cpack.log" >&2; die "cpack made no ${PACKAGE}_*.deb"; }
log "built $(basename "$DEB")"

# Its dependencies come from the binary's real needs, plus the platform
# plugins Qt loads at run time.
DEPENDS="$(dpkg-deb -f "$DEB" Depends)"
log "Depends: $DEPENDS"
DEPEND_NAMES="$(tr ',|' '\n\n' <<<"$DEPENDS" | sed -e 's/^ *//' -e 's/[ (].*//')"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 qt6-qpa-plugins; do
  grep -qx -- "$needed" <<<"$DEPEND_NAMES" || die "the package does not depend on $needed: $DEPENDS"
done

remove_package() {
  if package_installed "$PACKAGE"; then
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -o DPkg::Lock::Timeout=300 "$PACKAGE" \
      >>"$WORK/apt.log" 2>&1 || true
  fi
  "${SUDO[@]}" rm -f "$MARKER"
}
"${SUDO[@]}" touch "$MARKER"
add_cleanup remove_package

log "installing it"
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "$DEB" >"$WORK/apt.log" 2>&1 ||
  { cat "$WORK/apt.log" >&2; die "apt-get install failed"; }
package_installed "$PACKAGE" || die "$PACKAGE is not installed after apt-get install"

# What it put where.
PROGRAM="$(command -v voltage-display || true)"
[[ "$PROGRAM" == /usr/bin/voltage-display ]] || die "voltage-display on PATH is '$PROGRAM', not /usr/bin/voltage-display"
ENTRY=/usr/share/applications/voltage-display.desktop
[[ -f "$ENTRY" ]] || die "no desktop entry at $ENTRY"
desktop-file-validate "$ENTRY" || die "desktop-file-validate rejects $ENTRY"
VALIDATION="$(desktop-file-validate "$ENTRY" 2>&1)"
[[ -z "$VALIDATION" ]] || die "desktop-file-validate has remarks on $ENTRY: $VALIDATION"
grep -qx 'Name=Qel Tchart' "$ENTRY" || die "the desktop entry's name is not 'Qel Tchart'"
grep -qx 'Exec=voltage-display' "$ENTRY" || die "the desktop entry does not start voltage-display"
grep -qx 'Icon=voltage-display' "$ENTRY" || die "the desktop entry does not name the icon"
for size in "${ICON_SIZES[@]}"; do
  icon="/usr/share/icons/hicolor/${size}x${size}/apps/voltage-display.png"
  [[ -f "$icon" ]] || die "no icon at $icon"
  kind="$(file -b "$icon")"
  [[ "$kind" == "PNG image data, $size x $size,"* ]] || die "$icon is not a $size x $size PNG: $kind"
done
[[ -f /usr/share/icons/hicolor/scalable/apps/voltage-display.svg ]] || die "no scalable icon"

log "starting the installed program"
start_xvfb
"$PROGRAM" </dev/null >"$WORK/app.log" 2>&1 &
APP_PID=$!
add_cleanup "{ kill -KILL $APP_PID && wait $APP_PID; } 2>/dev/null || true"
WID=""
for ((i = 0; i < 200; i++)); do
  WID="$(xdotool search --onlyvisible --name '^Qel Tchart$' 2>/dev/null | head -n 1 || true)"
  [[ -n "$WID" ]] && break
  kill -0 "$APP_PID" 2>/dev/null || break
  sleep 0.1
done
[[ -n "$WID" ]] || { cat "$WORK/app.log" >&2; die "no window named 'Qel Tchart' appeared"; }
sleep 0.5
timeout 10 "$XCLOSE" "$WID" >/dev/null
wait_for_exit "$APP_PID" 10 || { cat "$WORK/app.log" >&2; die "the program did not end within 10 s of WM_DELETE_WINDOW"; }
[[ "$WAIT_STATUS" -eq 0 ]] || { cat "$WORK/app.log" >&2; die "the program ended with code $WAIT_STATUS"; }
log "the installed program closed with exit code 0"

log "removing the package"
remove_package
! package_installed "$PACKAGE" || die "$PACKAGE is still installed after apt-get remove"
for gone in /usr/bin/voltage-display "$ENTRY" /usr/share/icons/hicolor/48x48/apps/voltage-display.png; do
  [[ ! -e "$gone" ]] || die "$gone is still there after the removal"
done
log "installed, run, closed and removed"

#!/usr/bin/env bash
# The Windows build's tests under Wine, in a private X server with a window manager and a Wine
# prefix of their own: the Qt Test programs (through CTest), then the installer and the program end
# to end (tests/wine/e2e.sh).
# Usage: scripts/wine-test.sh BUILD-FOLDER   (made by scripts/windows.sh --with-tests)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
"$root/scripts/install-deps.sh" wine

say() { printf 'wine-tests: %s\n' "$*"; }
die() { say "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
cleanup() {
    local rc=$?
    set +e
    wineserver -k 2>/dev/null
    [[ -n "${wm_pid:-}" ]] && kill "$wm_pid" 2>/dev/null
    stop_xvfb
    rm -rf "$tmp"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# shellcheck source=lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"

start_xvfb
export DISPLAY=$display
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
wineboot --init >"$tmp/wineboot.log" 2>&1 || die "wineboot failed: $(tail -n 5 "$tmp/wineboot.log")"
wineserver -w
# Wine's own fonts, where Debian's Wine does not look for them.
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# One wineserver and one set of Wine's own services for every test program. Started by the first
# program otherwise, the services would hold that test's output open, and CTest wait for them.
wineserver -p
wine cmd /c exit >/dev/null 2>&1
say "the Qt Test programs"
# One at a time: they show real windows on one display, where another's window would take the
# keyboard.
ctest --test-dir "$build" --output-on-failure

installer=("$build"/zenor-lyrandel-*-setup.exe)
[[ -f "${installer[0]}" ]] || die "no installer in $build"
"$root/tests/wine/e2e.sh" "${installer[0]}" ${ZL_WINDOWS_SCREENSHOTS:+"$ZL_WINDOWS_SCREENSHOTS"}

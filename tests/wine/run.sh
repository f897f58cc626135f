#!/usr/bin/env bash
# The Windows build's tests under Wine: the Qt Test programs (through CTest, in a private X server
# and Wine prefix), then the installer and the program end to end (tests/wine/e2e.sh).
# Usage: tests/wine/run.sh BUILD-FOLDER   (made by scripts/windows.sh --with-tests)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
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
    stop_xvfb
    rm -rf "$tmp"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# shellcheck source=../../scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"

start_xvfb
export DISPLAY=$display
wineboot --init >"$tmp/wineboot.log" 2>&1 || die "wineboot failed: $(tail -n 5 "$tmp/wineboot.log")"
wineserver -w
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# One wineserver for every test program, rather than one started and stopped for each.
wineserver -p
say "the Qt Test programs"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
wineserver -k
stop_xvfb

installer=("$build"/zenor-lyrandel-*-setup.exe)
[[ -f "${installer[0]}" ]] || die "no installer in $build"
"$root/tests/wine/e2e.sh" "${installer[0]}" ${ZL_WINDOWS_SCREENSHOTS:+"$ZL_WINDOWS_SCREENSHOTS"}

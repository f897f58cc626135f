#!/usr/bin/env bash
# Runs the README's first command as a newcomer would: scripts/run.sh --version, then scripts/run.sh in
# an X server of its own until the main window is mapped.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
title="Zenor Lyrandel v1.15"

say() { printf 'run-check: %s\n' "$*"; }
die() { say "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
app_pid=""
cleanup() {
    local rc=$?
    set +e
    if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
    stop_xvfb
    rm -rf "$tmp"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# shellcheck source=lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"

version=$(sed -n 's/^project(zenor-lyrandel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ -n "$version" ]] || die "no version in CMakeLists.txt"
say "scripts/run.sh --version"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/scripts/run.sh" --version 2>"$tmp/build.log") ||
    die "scripts/run.sh --version failed: $(tail -n 20 "$tmp/build.log")"
[[ "$out" == "zenor-lyrandel $version" ]] || die "scripts/run.sh --version printed '$out'"

say "scripts/run.sh in an X server of its own"
start_xvfb
mkdir -p "$tmp/home" "$tmp/run"
chmod 700 "$tmp/run"
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u WAYLAND_DISPLAY \
    HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" DISPLAY="$display" DBUS_SESSION_BUS_ADDRESS="$bus_address" \
    "$root/scripts/run.sh" >"$tmp/app.log" 2>&1 &
app_pid=$!
window=$(wait_for_window "$app_pid" "$title" "$tmp/app.log" 120)
say "window $window mapped; PASS"

#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian and hardening-check, installs it, starts the
# installed program in its own X server until its main window is mapped, checks the installed
# desktop files, manual page and command line, and removes the package again.
# Usage: scripts/package-test.sh [build-dir]   (default: build/package)
# ZL_PACKAGE_TEST_DEB=file.deb tests that package, built elsewhere (on another release), instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build/package"}
title="Zenor Lyrandel v1.15"
app_id="io.example.karvelle.ZenorLyrandel"
icon_sizes=(16 32 48 64 128 256)
deadline_s=30

say() { printf 'package-test: %s\n' "$*"; }
die() { say "FAIL: $*" >&2; exit 1; }

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
program=/usr/games/zenor-lyrandel
# The PATH Debian gives a user's session (login.defs, systemd); the desktop entry relies on it.
session_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games

for tool in cmake ninja cpack dpkg-deb dpkg-shlibdeps file apt-get Xvfb xdotool xprop lintian hardening-check man; do
    command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh test installs it)"
done
if dpkg-query -W -f='${Status}' zenor-lyrandel 2>/dev/null | grep -q "install ok installed"; then
    die "zenor-lyrandel is already installed; remove it first so this test can leave the machine as found"
fi

tmp=$(mktemp -d)
app_pid=""
installed=0
added_packages=()
cleanup() {
    local rc=$?
    # A killed child's status must not end the clean-up before the package is removed.
    set +e
    if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
    stop_xvfb
    if [[ $installed -eq 1 ]]; then
        say "removing the package (and anything its install pulled in: ${added_packages[*]:-nothing})"
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -qq zenor-lyrandel \
            "${added_packages[@]}" >/dev/null || rc=1
    fi
    rm -rf "$tmp"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# shellcheck source=lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"

installed_packages() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }' | sort; }

if [[ -n "${ZL_PACKAGE_TEST_DEB:-}" ]]; then
    [[ -f "$ZL_PACKAGE_TEST_DEB" ]] || die "$ZL_PACKAGE_TEST_DEB does not exist"
    deb=$(realpath "$ZL_PACKAGE_TEST_DEB") # apt-get takes a local file only by its path
    say "testing $deb as it was built"
else
    say "building a Release tree in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZL_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build"
    rm -rf "$build/deb"
    (cd "$build" && cpack -G DEB -B "$build/deb" >/dev/null) || die "cpack failed"
    debs=("$build"/deb/zenor-lyrandel_*.deb)
    [[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || die "expected one .deb in $build/deb, found: ${debs[*]}"
    deb=${debs[0]}
    say "built $(basename "$deb")"
fi

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == zenor-lyrandel ]] || die "package name is '$(field Package)'"
[[ $(field Version) == 1.15* ]] || die "package version is '$(field Version)'"
[[ $(field Section) == games ]] || die "package section is '$(field Section)'"
# dpkg-shlibdeps must have found the Qt libraries the program links.
field Depends | grep -q 'libqt6widgets6' || die "Depends lacks the Qt libraries: $(field Depends)"

# Debian's own checkers: no lintian error, warning or informational tag; each is fixed, or overridden
# in packaging/zenor-lyrandel.lintian-overrides with its reason.
say "lintian -I --pedantic"
lintian -I --pedantic --fail-on error,warning,info "$deb" || die "lintian rejects the package"
say "hardening-check"
dpkg-deb -x "$deb" "$tmp/unpacked"
hardening=$(hardening-check "$tmp/unpacked$program" || true)
echo "$hardening"
for check in "Position Independent Executable" "Stack protected" "Read-only relocations" "Immediate binding"; do
    grep -q "^ $check: yes" <<<"$hardening" || die "hardening-check: $check is not yes"
done

before=$(installed_packages)
say "installing"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$deb" >/dev/null ||
    die "apt-get install failed"
installed=1
mapfile -t added_packages < <(comm -13 <(echo "$before") <(installed_packages) | grep -vx zenor-lyrandel || true)

say "checking the installed files"
[[ -x $program ]] || die "$program missing"
desktop=/usr/share/applications/zenor-lyrandel.desktop
[[ -f $desktop ]] || die "$desktop missing"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[[ $(PATH=$session_path command -v "${exec_line%% *}") == "$program" ]] ||
    die "$desktop's Exec ($exec_line) does not start $program"
grep -qx 'Icon=zenor-lyrandel' "$desktop" || die "$desktop does not name the icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || die "$desktop is not valid"
fi
for n in "${icon_sizes[@]}"; do
    icon=/usr/share/icons/hicolor/${n}x${n}/apps/zenor-lyrandel.png
    [[ -f $icon ]] || die "$icon missing"
    file -b "$icon" | grep -q "PNG image data, $n x $n," || die "$icon is not a ${n}x${n} PNG: $(file -b "$icon")"
done
icon=/usr/share/icons/hicolor/scalable/apps/zenor-lyrandel.svg
file -b "$icon" | grep -q "SVG" || die "$icon is not an SVG: $(file -b "$icon" 2>&1)"
metainfo=/usr/share/metainfo/$app_id.metainfo.xml
[[ -f $metainfo ]] || die "$metainfo missing"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || die "$metainfo is not valid"
fi
doc=/usr/share/doc/zenor-lyrandel
[[ -f $doc/copyright && -f $doc/changelog.gz ]] || die "$doc lacks the copyright file or the changelog"
# Rendered from the package itself: some minimal systems drop /usr/share/man on install.
manual=$(MANWIDTH=80 man --warnings -l "$tmp/unpacked/usr/share/man/man6/zenor-lyrandel.6.gz" 2>"$tmp/man.log") ||
    die "the manual page does not render"
[[ ! -s "$tmp/man.log" ]] || die "the manual page renders with warnings: $(cat "$tmp/man.log")"
grep -q '~/.config/zenor-lyrandel.conf' <<<"$manual" || die "the manual page does not name the settings file"

say "the command line, with no display"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --version >"$tmp/version" ||
    die "--version failed without a display"
[[ $(cat "$tmp/version") == "zenor-lyrandel $(field Version)" ]] || die "--version says: $(cat "$tmp/version")"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --help | grep -q '^Usage: zenor-lyrandel' ||
    die "--help failed without a display"
rc=0
env -u DISPLAY "$program" --no-such-option 2>/dev/null || rc=$?
[[ $rc -eq 2 ]] || die "an unknown option exits with $rc, not 2"

say "starting the installed program under Xvfb"
start_xvfb "$deadline_s"

mkdir -p "$tmp/home" "$tmp/run"
chmod 700 "$tmp/run"
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
    HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" DISPLAY="$display" DBUS_SESSION_BUS_ADDRESS="$bus_address" \
    QT_QPA_PLATFORM=xcb \
    PATH=$session_path "$exec_line" >"$tmp/app.log" 2>&1 &
app_pid=$!

# Mapped = viewable; there is no window manager, so the program's own window is what gets mapped.
window=$(wait_for_window "$app_pid" "$title" "$tmp/app.log" "$deadline_s")
say "window $window mapped"
props=$(DISPLAY=$display xprop -len 16 -id "$window" _NET_WM_ICON)
grep -q '_NET_WM_ICON(CARDINAL) = ' <<<"$props" || die "the window carries no icon"

kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""
say "PASS"

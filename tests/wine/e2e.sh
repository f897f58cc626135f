#!/usr/bin/env bash
# The Windows build end to end, under Wine in a private X server, as a person would use it:
# installs silently with the installer, starts the installed program from its shortcut's target,
# types a name, Alt+G, sees a sign (found in the window's pixels: Wine has no AT-SPI), is refused a
# second copy, leaves through the farewell screen's Exit (status 0), finds the date in the registry,
# sees its windows whole at 192 and 144 dpi, is refused a newer version and removal while it runs,
# upgrades, mends a broken install, uninstalls silently: files and shortcut gone, the date kept.
# Run by scripts/wine-test.sh, which gives it an X server with a window manager and a Wine prefix.
# Usage: tests/wine/e2e.sh SETUP.EXE [SCREENSHOT-FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
setup=$(realpath "$1")
shots=${2:-}
title="Zenor Lyrandel v1.15"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

say() { printf 'wine-e2e: %s\n' "$*"; }
die() { say "FAIL: $*" >&2; exit 1; }

# until_true SECONDS WHAT COMMAND...: waits for COMMAND to succeed.
until_true() {
    local deadline=$((SECONDS + $1)) what=$2
    shift 2
    until "$@"; do
        ((SECONDS < deadline)) || die "$what"
        sleep 0.2
    done
}
# The visible windows titled $1, newest last.
windows_titled() { xdotool search --onlyvisible --name "^${1//./\\.}\$" 2>/dev/null || true; }
windows_are() { [[ $(windows_titled "$2" | wc -l) -eq $1 ]]; }
any_window() { ! windows_are 0 "$1"; }
# Waits for a window titled $1 and prints the newest one.
window() {
    until_true 60 "no window titled '$1' appeared" any_window "$1"
    windows_titled "$1" | tail -n 1
}
focus() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; }
keys() { xdotool key --delay 60 "$@"; }
# shot WINDOW NAME: $tmp/NAME.png, and a copy in the screenshot folder.
shot() {
    import -window "$1" "$tmp/$2.png"
    [[ -z "$shots" ]] || cp "$tmp/$2.png" "$shots/windows-$2.png"
}

# The best match of the 24 sign pictures in the top left of a window's picture: "RMSE sign".
best_sign() {
    local picture=$1 area="$tmp/area.png" best="1 none" sign score
    convert "$picture" -crop 150x200+0+0 +repage "$area"
    for sign in "$root"/assets/signs/[0-9][0-9]*[a-z].jpg; do
        # compare says how far the best place is, and fails when that is far.
        score=$({ compare -metric RMSE -dissimilarity-threshold 1 -subimage-search "$area" "$sign" null: 2>&1 || true; } |
            sed -nE 's/.*\(([0-9.e-]+)\).*/\1/p' | head -n1)
        [[ -n "$score" ]] || continue
        best=$(printf '%s\n%s %s\n' "$best" "$score" "$(basename "$sign" .jpg)" | sort -g | head -n1)
    done
    echo "$best"
}

say "installing silently"
wine "$setup" /S >"$tmp/setup.log" 2>&1 || die "the installer failed: $(tail -n 5 "$tmp/setup.log")"
user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
install_dir="$user_dir/AppData/Local/Programs/Zenor Lyrandel"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zenor Lyrandel.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZenorLyrandel'
[[ -f "$install_dir/zenor-lyrandel.exe" && -f "$install_dir/uninstall.exe" ]] || die "nothing installed in $install_dir"
[[ -f "$shortcut" ]] || die "no Start-menu shortcut"
entry=$(wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r')
for field in "DisplayName    REG_SZ    Zenor Lyrandel" "DisplayVersion    REG_SZ    1.15" \
             "Publisher    REG_SZ    Karvelle Softwares" "EstimatedSize    REG_DWORD"; do
    grep -qF "$field" <<<"$entry" || die "the uninstall entry lacks '$field': $entry"
done

# A date that is no date counts as a first start: no question, today's date written.
settings='HKCU\Software\Karvelle Softwares\zenor-lyrandel\Settings'
wine reg add "$settings" /v Duration /d 12/Nov/26 /f >/dev/null 2>&1 || die "cannot write the registry"

# The shortcut's target, as Windows starts it (the link's local path, stored as text).
target=$(strings "$shortcut" | grep -m1 -i '^[A-Z]:\\.*\\zenor-lyrandel\.exe$') || die "no target in the shortcut"
say "starting $target"
wine "$target" >"$tmp/app.log" 2>&1 &
app=$!
main=$(window "$title")
windows_are 0 "Zenor Lyrandel" || die "a first start asked about updates"
focus "$main"
shot "$main" main-window
read -r score sign < <(best_sign "$tmp/main-window.png")
awk -v s="$score" 'BEGIN { exit !(s > 0.1) }' || die "a sign is shown before any reading ($sign, $score)"

say "a reading for Ada"
xdotool type --delay 60 Ada
keys alt+g
reading() {
    shot "$main" reading
    read -r score sign < <(best_sign "$tmp/reading.png")
    awk -v s="$score" 'BEGIN { exit !(s < 0.05) }'
}
until_true 30 "no sign picture on the result page" reading
say "the sign shown is $sign (RMSE $score)"

say "the About box"
keys alt+h a
until_true 30 "the About box did not open" windows_are 2 "$title"
about=$(windows_titled "$title" | grep -vx "$main" | tail -n1)
focus "$about"
shot "$about" about
keys Escape
until_true 30 "the About box stayed open" windows_are 1 "$title"

say "a second copy"
wine "$target" >"$tmp/second.log" 2>&1 &
second=$!
refusal=$(window "Zenor Lyrandel")
focus "$refusal"
keys Return
wait "$second" || true
windows_are 1 "$title" || die "a second main window opened"
kill -0 "$app" 2>/dev/null || die "the first copy ended"

say "a copy that was killed does not refuse the next start"
kill -KILL "$app"
wait "$app" 2>/dev/null || true
until_true 30 "the killed copy's window stayed" windows_are 0 "$title"
wine "$target" >"$tmp/app.log" 2>&1 &
app=$!
main=$(window "$title")
windows_are 0 "Zenor Lyrandel" || die "the restart was refused or asked about updates"

say "File > Exit, then the farewell screen's Exit"
focus "$main"
keys alt+f x
# The main window goes, the farewell screen comes under the same title.
until_true 30 "no farewell screen" eval '[[ -n $(windows_titled "$title" | grep -vx "$main") ]]'
farewell=$(windows_titled "$title" | grep -vx "$main" | tail -n1)
xprop -id "$farewell" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || die "the farewell screen is not kept on top"
focus "$farewell"
shot "$farewell" promotion
keys alt+x
status=0
wait "$app" || status=$?
[[ $status -eq 0 ]] || die "the program ended with status $status: $(tail -n 5 "$tmp/app.log")"

today=$(date +%F)
stored=$(wine reg query "$settings" /v Duration 2>/dev/null | tr -d '\r')
grep -qE "Duration +REG_SZ +$today" <<<"$stored" || die "the reminder's date is not in the registry: $stored"

start() { wine "$target" >"$tmp/app.log" 2>&1 & app=$!; main=$(window "$title"); }
leave() {
    focus "$main" && keys alt+f x
    until_true 30 "no farewell screen" eval '[[ -n $(windows_titled "$title" | grep -vx "$main") ]]'
    farewell=$(windows_titled "$title" | grep -vx "$main" | tail -n1) && focus "$farewell"
}
# inside WINDOW WIDTH: the window, at least WIDTH wide, its frame and title bar on the 1280x1024 screen.
inside() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    ((X >= l && Y >= t && X + WIDTH + r <= 1280 && Y + HEIGHT + b <= 1024 && WIDTH >= $2))
}
for dpi in 192 144 96; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    [[ $dpi == 96 ]] && break
    say "at $dpi dpi the main window and the farewell screen are whole on the screen"
    start
    until_true 30 "the main window is not drawn for $dpi dpi on the screen" inside "$main" $((521 * dpi / 96))
    leave
    until_true 30 "the farewell screen is not whole on the screen at $dpi dpi" inside "$farewell" 0
    keys alt+x
    wait "$app" || die "the program failed at $dpi dpi"
done
say "while it runs, a newer installer and the uninstaller with /S end with 3 and change nothing"
builds=$(dirname "$setup")
win_dir=$(winepath -w "$install_dir")
# In place (_?=): the copy of itself it otherwise runs would take its exit code.
printf '@"%s\\uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' "$win_dir" "$win_dir" >"$tmp/un.bat"
upgrade() { wine "$builds/upgrade-test/zenor-lyrandel-setup.exe" /S >"$tmp/upgrade.log" 2>&1; }
uninstall_in_place() { wine cmd /c "$(winepath -w "$tmp/un.bat")" >"$tmp/refused.log" 2>&1; }
state() { md5sum "$install_dir"/* "$shortcut"; wine reg query "$uninstall_key" | tr -d '\r'; }
start
before=$(state)
for attempt in upgrade uninstall_in_place; do
    $attempt && code=0 || code=$?
    [[ $code -eq 3 && $(state) == "$before" ]] || die "$attempt over a running copy: status $code, $(state)"
done
leave
keys alt+x
wait "$app" || true
say "upgraded when it has ended: one entry, of 1.16, the program replaced, its shortcut and the date kept"
echo "the old program" >>"$install_dir/zenor-lyrandel.exe" && upgrade || die "no upgrade: $(tail "$tmp/upgrade.log")"
whole() { cmp -s "$install_dir/zenor-lyrandel.exe" "$builds/dist/zenor-lyrandel.exe" && [[ -f "$shortcut" ]] &&
    grep -qE "Duration +REG_SZ +$today" < <(wine reg query "$settings" /v Duration); }
[[ $(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' | grep -ci zenor) -eq 1 &&
    $(state) == *"DisplayVersion    REG_SZ    1.16"* ]] && whole || die "not one entry of 1.16: $(state)"
say "a copy killed half way, its entry edited to name someone else's folder: run again"
foreign="$WINEPREFIX/drive_c/Letters"
mkdir "$foreign" && echo "Dear Ann" >"$foreign/letter.txt"
: >"$install_dir/zenor-lyrandel.exe" && : >"$install_dir/zenor-lyrandel.exe.new"
wine reg add "$uninstall_key" /v InstallLocation /d "$(winepath -w "$foreign")" /f >/dev/null 2>&1
upgrade && whole && [[ ! -e "$install_dir/zenor-lyrandel.exe.new" && $(ls "$foreign") == letter.txt &&
    $(state) == *"InstallLocation    REG_SZ    $win_dir"* ]] || die "run again: $(ls "$install_dir" "$foreign") $(state)"
say "uninstalling silently"
wine "$install_dir/uninstall.exe" /S >"$tmp/uninstall.log" 2>&1 || die "the uninstaller failed"
# The uninstaller runs from a copy of itself and returns at once.
gone() { [[ ! -e "$install_dir" && ! -e "$shortcut" ]] && ! wine reg query "$uninstall_key" >/dev/null 2>&1; }
until_true 60 "the uninstaller left the program's folder, its shortcut or its entry" gone
wine reg query "$settings" /v Duration >/dev/null 2>&1 ||
    die "the uninstaller removed the user's own setting"
say "PASS"

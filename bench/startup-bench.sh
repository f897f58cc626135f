#!/usr/bin/env bash
# Start-up benchmark: the program against the floor (a bare QLabel as the window), over many
# interleaved runs on a private Xvfb, each run with a fresh HOME and XDG_RUNTIME_DIR.
# Both starts are measured: the everyday start (the reminder date is recent, nothing is written)
# and a user's first start (an empty HOME: the date is written). The former floor, a QWidget whose
# layout holds the label, runs beside them as a second row.
# Prints median time from exec to the main window being mapped, to idle after the first paint,
# median peak memory (max RSS), the ratios to the bare floor, and the time of a reading (Next
# click until the result page is painted).
#
#   bench/startup-bench.sh [runs]        (default 30 runs of each; build tree: build/bench)
#
# The machine should be otherwise idle: other load shows up directly in the medians.
#
# Needs: cmake, ninja, Qt 6 development files, libxcb1-dev, Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-30}
build=${ZL_BENCH_BUILD:-"$root/build/bench"}
title="Zenor Lyrandel v1.15"
floor_title="Zenor Lyrandel floor"

die() { printf 'startup-bench: %s\n' "$*" >&2; exit 1; }

# Built like the shipped program (Release), bench targets beside it in the same tree.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZL_BUILD_TESTS=OFF -DZL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target zenor-lyrandel zl-bench-floor zl-bench-reading zl-bench-mapwatch >/dev/null
find_bin() { find "$build" -type f -name "$1" -perm -u+x | head -n1; }
program=$(find_bin zenor-lyrandel)
floor=$(find_bin zl-bench-floor)
reading=$(find_bin zl-bench-reading)
mapwatch=$(find_bin zl-bench-mapwatch)
[[ -x $program && -x $floor && -x $reading && -x $mapwatch ]] || die "bench programs were not built in $build"

tmp=$(mktemp -d)
# A session's runtime folder (/run/user/UID) is in memory; so is this one, where the system has one.
runtime=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
xvfb_pid=""
cleanup() {
    set +e
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$tmp" "$runtime"
}
trap cleanup EXIT

# No window manager: top-level windows are mapped straight onto the root, where mapwatch sees them.
: >"$tmp/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
end=$((SECONDS + 30))
until [[ -s "$tmp/display" ]]; do
    kill -0 "$xvfb_pid" 2>/dev/null || die "Xvfb did not start: $(cat "$tmp/xvfb.log")"
    ((SECONDS < end)) || die "Xvfb gave no display number"
    sleep 0.05
done
export DISPLAY=":$(head -n1 "$tmp/display")"

# One start in a clean environment; appends "map_ms idle_ms maxrss_kb" to the given file.
#   everyday  the program, the reminder date recent: nothing is written
#   first     the program in an empty HOME: the reminder date is written
#   floor     the bare QLabel;  layout  the former floor
run_one() {
    local which=$1 out=$2 dir today
    dir=$(mktemp -d "$tmp/run.XXXXXX")
    mkdir -p "$dir/home"
    ln -s "$(mktemp -d "$runtime/run.XXXXXX")" "$dir/run" # mktemp makes it 0700, as a session's is
    today=$(date +%F)
    local conf="$dir/home/.config/zenor-lyrandel.conf"
    local -a cmd
    case $which in
    everyday)
        mkdir -p "$dir/home/.config"
        printf '[Settings]\nDuration=%s\n' "$today" >"$conf"
        cmd=(--title "$title" -- "$program") ;;
    first) cmd=(--title "$title" -- "$program") ;;
    floor) cmd=(--title "$floor_title" -- "$floor") ;;
    layout) cmd=(--title "$floor_title" -- "$floor" --layout) ;;
    esac
    local line
    line=$(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
        -u DBUS_SESSION_BUS_ADDRESS HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" QT_QPA_PLATFORM=xcb \
        "$mapwatch" "${cmd[@]}" 2>"$dir/err") || die "$which run failed: $(cat "$dir/err")"
    # The first start is only that if the date was written (the program is stopped once idle).
    if [[ $which == first ]] && ! grep -qx "Duration=$today" "$conf" 2>/dev/null; then
        die "the first start did not write the reminder date"
    fi
    # map_ms=.. idle_ms=.. maxrss_kb=..
    sed -E 's/map_ms=([^ ]+) idle_ms=([^ ]+) maxrss_kb=([^ ]+)/\1 \2 \3/' <<<"$line" >>"$out"
    rm -rf "$(readlink "$dir/run")" "$dir"
}

kinds=(floor everyday first layout)
printf 'startup-bench: %d interleaved runs each of %s on %s (load: %s)\n' "$runs" "${kinds[*]}" "$DISPLAY" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
# Warm the page cache for all before counting.
for _ in 1 2; do for k in "${kinds[@]}"; do run_one "$k" /dev/null; done; done
for k in "${kinds[@]}"; do : >"$tmp/$k"; done
for ((i = 0; i < runs; i++)); do
    # Rotate the order so none always runs on the heels of the same other.
    for ((j = 0; j < ${#kinds[@]}; j++)); do
        k=${kinds[(i + j) % ${#kinds[@]}]}
        run_one "$k" "$tmp/$k"
    done
done

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
col() { awk -v c="$1" '{ print $c }' "$2" | median; }

# A reading, offscreen: the first of a process, then the median of the following ones.
: >"$tmp/reading"
for _ in $(seq 1 9); do
    env -u DBUS_SESSION_BUS_ADDRESS HOME="$tmp" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=offscreen \
        "$reading" 300 >>"$tmp/reading" 2>"$tmp/reading.err" || die "reading bench failed: $(cat "$tmp/reading.err")"
done
r_first=$(sed -E 's/.*first_us=([^ ]+).*/\1/' "$tmp/reading" | median)
r_median=$(sed -E 's/.*median_us=([^ ]+).*/\1/' "$tmp/reading" | median)
r_p95=$(sed -E 's/.*p95_us=([^ ]+).*/\1/' "$tmp/reading" | median)

row() { # label kind map-goal rss-goal
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$(col 1 "$tmp/$2")" "$(col 2 "$tmp/$2")" "$(col 3 "$tmp/$2")" "$3" "$4"
}
{
    row "Floor: a bare QLabel as the window" floor "" ""
    row "Everyday start" everyday "<= 1.2 x" "<= 1.2 x"
    row "First start (the date is written)" first "<= 1.25 x" "<= 1.2 x"
    row "Former floor: QWidget + QVBoxLayout + QLabel" layout "" ""
} | awk -F'\t' -v runs="$runs" -v fm="$(col 1 "$tmp/floor")" -v fi="$(col 2 "$tmp/floor")" \
    -v fr="$(col 3 "$tmp/floor")" -v rf="$r_first" -v rm="$r_median" -v r95="$r_p95" '
BEGIN {
    printf "\n| Median of %d runs | Exec to mapped | Ratio | Goal | To idle after first paint | Ratio | Peak memory | Ratio | Goal |\n", runs
    printf "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n"
}
{
    printf "| %s | %.1f ms | %.2f x | %s | %.1f ms | %.2f x | %.1f MiB | %.2f x | %s |\n", $1, $2, $2 / fm, $5, $3, $3 / fi,
        $4 / 1024, $4 / fr, $6
}
END {
    printf "\n| A reading (Next until the result page is painted) | Time | Goal |\n|---|---:|---:|\n"
    printf "| First reading of a process | %.2f ms | < 5 ms |\n", rf / 1000
    printf "| Later readings, median (p95) | %.2f ms (%.2f ms) | < 5 ms |\n", rm / 1000, r95 / 1000
}'

#!/usr/bin/env bash
# Start-up benchmark: the program against the floor (a Qt window with one QLabel), over many
# interleaved runs on a private Xvfb, each run with a fresh HOME and XDG_RUNTIME_DIR.
# Prints median time from exec to the main window being mapped, median peak memory (max RSS),
# the ratios to the floor, and the time of a reading (Next click until the result page is painted).
#
#   bench/startup-bench.sh [runs]        (default 30 runs of each; build tree: build/bench)
#   ZL_BENCH_FIRST_START=1 bench/startup-bench.sh   a user's first start (the setting is written)
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
xvfb_pid=""
cleanup() {
    set +e
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$tmp"
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
run_one() {
    local which=$1 out=$2 dir
    dir=$(mktemp -d "$tmp/run.XXXXXX")
    mkdir -p "$dir/home" "$dir/run"
    chmod 700 "$dir/run"
    # An everyday start: the reminder date is recent, so nothing is written. ZL_BENCH_FIRST_START=1
    # measures a user's very first start instead, which also writes the setting.
    if [[ -z ${ZL_BENCH_FIRST_START:-} ]]; then
        mkdir -p "$dir/home/.config"
        printf '[Settings]\nDuration=%s\n' "$(date +%F)" >"$dir/home/.config/zenor-lyrandel.conf"
    fi
    local line
    if [[ $which == program ]]; then
        line=$(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
            -u DBUS_SESSION_BUS_ADDRESS HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" QT_QPA_PLATFORM=xcb \
            "$mapwatch" --title "$title" -- "$program" 2>"$dir/err") || die "program run failed: $(cat "$dir/err")"
    else
        line=$(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
            -u DBUS_SESSION_BUS_ADDRESS HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" QT_QPA_PLATFORM=xcb \
            "$mapwatch" --title "$floor_title" -- "$floor" 2>"$dir/err") || die "floor run failed: $(cat "$dir/err")"
    fi
    # map_ms=.. idle_ms=.. maxrss_kb=..
    sed -E 's/map_ms=([^ ]+) idle_ms=([^ ]+) maxrss_kb=([^ ]+)/\1 \2 \3/' <<<"$line" >>"$out"
    rm -rf "$dir"
}

printf 'startup-bench: %d interleaved runs each on %s\n' "$runs" "$DISPLAY"
# Warm the page cache for both before counting.
for _ in 1 2; do run_one program /dev/null; run_one floor /dev/null; done
: >"$tmp/program"; : >"$tmp/floor"
for ((i = 0; i < runs; i++)); do
    # Alternate which goes first so neither always runs on the heels of the other.
    if ((i % 2)); then run_one program "$tmp/program"; run_one floor "$tmp/floor"
    else run_one floor "$tmp/floor"; run_one program "$tmp/program"; fi
done

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
col() { awk -v c="$1" '{ print $c }' "$2" | median; }
p_map=$(col 1 "$tmp/program"); f_map=$(col 1 "$tmp/floor")
p_idle=$(col 2 "$tmp/program"); f_idle=$(col 2 "$tmp/floor")
p_rss=$(col 3 "$tmp/program"); f_rss=$(col 3 "$tmp/floor")

# A reading, offscreen: the first of a process, then the median of the following ones.
: >"$tmp/reading"
for _ in $(seq 1 9); do
    env -u DBUS_SESSION_BUS_ADDRESS HOME="$tmp" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=offscreen \
        "$reading" 300 >>"$tmp/reading" 2>"$tmp/reading.err" || die "reading bench failed: $(cat "$tmp/reading.err")"
done
r_first=$(sed -E 's/.*first_us=([^ ]+).*/\1/' "$tmp/reading" | median)
r_median=$(sed -E 's/.*median_us=([^ ]+).*/\1/' "$tmp/reading" | median)
r_p95=$(sed -E 's/.*p95_us=([^ ]+).*/\1/' "$tmp/reading" | median)

awk -v runs="$runs" -v pm="$p_map" -v fm="$f_map" -v pi="$p_idle" -v fi="$f_idle" -v pr="$p_rss" -v fr="$f_rss" \
    -v rf="$r_first" -v rm="$r_median" -v r95="$r_p95" 'BEGIN {
    printf "\n| Median of %d runs | Zenor Lyrandel | Floor (QLabel) | Ratio | Goal |\n", runs
    printf "|---|---:|---:|---:|---:|\n"
    printf "| Exec to main window mapped | %.1f ms | %.1f ms | %.2f x | <= 1.3 x |\n", pm, fm, pm / fm
    printf "| Exec to idle after first paint | %.1f ms | %.1f ms | %.2f x | |\n", pi, fi, pi / fi
    printf "| Peak memory (max RSS) | %.1f MiB | %.1f MiB | %.2f x | <= 1.3 x |\n", pr / 1024, fr / 1024, pr / fr
    printf "\n| A reading (Next until the result page is painted) | Time | Goal |\n|---|---:|---:|\n"
    printf "| First reading of a process | %.2f ms | < 5 ms |\n", rf / 1000
    printf "| Later readings, median (p95) | %.2f ms (%.2f ms) | < 5 ms |\n", rm / 1000, r95 / 1000
}'

#!/usr/bin/env bash
# Start-up benchmark: the program against two floors, over many interleaved runs on a private
# Xvfb, each run with a fresh HOME and XDG_RUNTIME_DIR. The bare floor is a QLabel as the window;
# the same-UI floor loads the main window's own form and look table, shows it and does nothing
# else. Both starts are measured: the everyday start (the reminder date is recent, nothing is
# written) and a user's first start (an empty HOME: the date is written after the first frame).
# Prints, per row: median time from exec to the main window being mapped, to its first frame (the
# first image put on the X server, marked by a preloaded hook), peak memory (max RSS), and the
# instructions from exec to the first frame under callgrind, of all threads and of the main thread
# alone; with the ratios to the floors and the goals. Then the time of a reading (Next click until
# the result page is painted).
#
#   bench/startup-bench.sh [runs] [callgrind runs]   (defaults 30 and 3; build tree: build/bench)
#
# The machine should be otherwise idle: other load shows up directly in the times (instruction
# counts hardly move with it).
#
# Needs: cmake, ninja, Qt 6 development files, libxcb1-dev, Xvfb, valgrind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-30}
cg_runs=${2:-3}
build=${ZL_BENCH_BUILD:-"$root/build/bench"}
title="Zenor Lyrandel v1.15"
floor_title="Zenor Lyrandel floor"

die() { printf 'startup-bench: %s\n' "$*" >&2; exit 1; }
command -v valgrind >/dev/null || die "valgrind is needed for the instruction counts"

# Built like the shipped program (Release), bench targets beside it in the same tree.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZL_BUILD_TESTS=OFF -DZL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target zenor-lyrandel zl-bench-floor zl-bench-floor-ui zl-bench-reading \
    zl-bench-mapwatch zl-bench-firstframe >/dev/null
find_bin() { find "$build" -type f -name "$1" | head -n1; }
program=$(find_bin zenor-lyrandel)
floor=$(find_bin zl-bench-floor)
floor_ui=$(find_bin zl-bench-floor-ui)
reading=$(find_bin zl-bench-reading)
mapwatch=$(find_bin zl-bench-mapwatch)
hook=$(find_bin libzl-bench-firstframe.so)
[[ -x $program && -x $floor && -x $floor_ui && -x $reading && -x $mapwatch && -f $hook ]] ||
    die "bench programs were not built in $build"

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

# One start in a clean environment, the first-frame hook preloaded.
#   run_one KIND time OUT   times it with mapwatch; appends "map_ms frame_ms idle_ms maxrss_kb" to OUT
#   run_one KIND count OUT  counts it with callgrind up to the first frame; appends "all_threads main_thread"
# KIND: everyday  the program, the reminder date recent: nothing is written
#       first     the program in an empty HOME: the reminder date is written (after the first frame)
#       floor     the bare QLabel;  floor-ui  the same-UI floor
run_one() {
    local which=$1 how=$2 out=$3 dir today
    dir=$(mktemp -d "$tmp/run.XXXXXX")
    mkdir -p "$dir/home"
    ln -s "$(mktemp -d "$runtime/run.XXXXXX")" "$dir/run" # mktemp makes it 0700, as a session's is
    today=$(date +%F)
    local conf="$dir/home/.config/zenor-lyrandel.conf"
    local name=$title
    local -a cmd
    case $which in
    everyday)
        mkdir -p "$dir/home/.config"
        printf '[Settings]\nDuration=%s\n' "$today" >"$conf"
        cmd=("$program") ;;
    first) cmd=("$program") ;;
    floor) name=$floor_title cmd=("$floor") ;;
    floor-ui) cmd=("$floor_ui") ;;
    esac
    local -a clean=(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME
        -u DBUS_SESSION_BUS_ADDRESS HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" QT_QPA_PLATFORM=xcb
        LD_PRELOAD="$hook")
    if [[ $how == count ]]; then
        # At the first frame the hook dumps the counts and ends the process.
        timeout 300 "${clean[@]}" valgrind --tool=callgrind --separate-threads=yes \
            --callgrind-out-file="$dir/cg.out" "${cmd[@]}" >/dev/null 2>"$dir/err" ||
            die "$which callgrind run failed: $(tail -n 5 "$dir/err")"
        # The hook's dump holds the main thread up to the first frame; the other threads are dumped
        # as the process ends right after it. One file a thread and part; thread 1 is the main thread.
        local parts=("$dir"/cg.out*)
        grep -q '^desc: Trigger: Client Request: first frame' "${parts[@]}" ||
            die "$which: no dump at the first frame: $(tail -n 5 "$dir/err")"
        local f t all=0 main=0
        for f in "${parts[@]}"; do
            t=$(awk '/^totals:/ { t = $2 } END { print t + 0 }' "$f")
            all=$((all + t))
            if [[ $f == *-01 ]]; then main=$((main + t)); fi
        done
        echo "$all $main" >>"$out"
    else
        local line
        line=$("${clean[@]}" "$mapwatch" --title "$name" -- "${cmd[@]}" 2>"$dir/err") ||
            die "$which run failed: $(cat "$dir/err")"
        # The first start is only that if the date was written (the program is stopped once idle).
        if [[ $which == first ]] && ! grep -qx "Duration=$today" "$conf" 2>/dev/null; then
            die "the first start did not write the reminder date"
        fi
        sed -E 's/map_ms=([^ ]+) frame_ms=([^ ]+) idle_ms=([^ ]+) maxrss_kb=([^ ]+)/\1 \2 \3 \4/' <<<"$line" >>"$out"
    fi
    rm -rf "$(readlink "$dir/run")" "$dir"
}

kinds=(floor floor-ui everyday first)
printf 'startup-bench: %d interleaved runs each of %s on %s (load: %s)\n' "$runs" "${kinds[*]}" "$DISPLAY" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
# Warm the page cache for all before counting.
for _ in 1 2; do for k in "${kinds[@]}"; do run_one "$k" time /dev/null; done; done
for k in "${kinds[@]}"; do : >"$tmp/$k"; : >"$tmp/$k.cg"; done
for ((i = 0; i < runs; i++)); do
    # Rotate the order so none always runs on the heels of the same other.
    for ((j = 0; j < ${#kinds[@]}; j++)); do
        k=${kinds[(i + j) % ${#kinds[@]}]}
        run_one "$k" time "$tmp/$k"
    done
done
printf 'startup-bench: %d callgrind runs each (load: %s)\n' "$cg_runs" "$(cut -d' ' -f1-3 /proc/loadavg)"
for ((i = 0; i < cg_runs; i++)); do
    for k in "${kinds[@]}"; do run_one "$k" count "$tmp/$k.cg"; done
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

# label kind, then the goals: map against the same-UI floor, first frame, memory, instructions (all threads)
row() {
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$(col 1 "$tmp/$2")" "$(col 2 "$tmp/$2")" \
        "$(col 4 "$tmp/$2")" "$(col 1 "$tmp/$2.cg")" "$(col 2 "$tmp/$2.cg")" "$3" "$4" "$5" "$6"
}
{
    row "Bare floor: a QLabel as the window" floor "" "" "" ""
    row "Same-UI floor: the main window's form and look" floor-ui "" "" "" ""
    row "Everyday start" everyday "<= 0.9 x" "<= 1.15 x" "<= 1.2 x" "<= 1.35 x"
    row "First start (the date is written)" first "<= 0.95 x" "<= 1.15 x" "<= 1.2 x" "<= 1.35 x"
} | awk -F'\t' -v runs="$runs" -v cgruns="$cg_runs" -v rf="$r_first" -v rm="$r_median" -v r95="$r_p95" '
function ratio(v, base) { return sprintf("%.2f x", v / base) }
NR == 1 { fm = $2; ff = $3; fr = $4; fa = $5; fmain = $6 }
NR == 2 { um = $2 }
{
    map[NR] = sprintf("| %s | %.1f ms | %s | %s | %s |", $1, $2, ratio($2, fm), NR == 1 ? "" : ratio($2, um), $7)
    frame[NR] = sprintf("| %s | %.1f ms | %s | %s | %.1f MiB | %s | %s |", $1, $3, ratio($3, ff), $8, $4 / 1024,
        ratio($4, fr), $9)
    ins[NR] = sprintf("| %s | %.1f M | %s | %s | %.1f M | %s |", $1, $5 / 1e6, ratio($5, fa), $10, $6 / 1e6,
        ratio($6, fmain))
}
END {
    printf "\n| Medians of %d interleaved runs | Exec to mapped | To bare floor | To same-UI floor | Goal |\n", runs
    printf "|---|---:|---:|---:|---:|\n"
    for (i = 1; i <= NR; i++) print map[i]
    printf "\n| Medians of %d interleaved runs | Exec to first frame | To bare floor | Goal | Peak memory | To bare floor | Goal |\n", runs
    printf "|---|---:|---:|---:|---:|---:|---:|\n"
    for (i = 1; i <= NR; i++) print frame[i]
    printf "\n| Callgrind, median of %d | Instructions to first frame, all threads | To bare floor | Goal | Main thread | To bare floor |\n", cgruns
    printf "|---|---:|---:|---:|---:|---:|\n"
    for (i = 1; i <= NR; i++) print ins[i]
    printf "\n| A reading (Next until the result page is painted) | Time | Goal |\n|---|---:|---:|\n"
    printf "| First reading of a process | %.2f ms | < 5 ms |\n", rf / 1000
    printf "| Later readings, median (p95) | %.2f ms (%.2f ms) | < 5 ms |\n", rm / 1000, r95 / 1000
}'

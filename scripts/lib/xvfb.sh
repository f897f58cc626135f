# Sourced by the checks that start a program in an X server of their own.
# Needs: say, die, $tmp (a private folder); sets $display, $xvfb_pid, $bus_address and $bus_pid.
xvfb_pid=""
bus_pid=""

start_xvfb() {
    local deadline=$((SECONDS + ${1:-30}))
    : >"$tmp/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    xvfb_pid=$!
    until [[ -s "$tmp/display" ]]; do
        kill -0 "$xvfb_pid" 2>/dev/null || die "Xvfb did not start: $(cat "$tmp/xvfb.log")"
        ((SECONDS < deadline)) || die "Xvfb gave no display number in time"
        sleep 0.05
    done
    display=":$(head -n1 "$tmp/display")"
    # A session bus of the check's own, as a desktop has one: without it Qt's accessibility bridge
    # has dbus-launch start a bus that outlives the check.
    local bus
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || die "dbus-daemon did not start"
    bus_address=$(sed -n 1p <<<"$bus")
    bus_pid=$(sed -n 2p <<<"$bus")
}

stop_xvfb() {
    if [[ -n "$bus_pid" ]]; then kill "$bus_pid" 2>/dev/null; fi
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    bus_pid=""
    xvfb_pid=""
}

# wait_for_window PID TITLE LOG [SECONDS]: prints the id of PID's window titled TITLE once it is mapped.
wait_for_window() {
    local pid=$1 title=$2 log=$3 deadline=$((SECONDS + ${4:-30})) window=""
    while [[ -z "$window" ]]; do
        kill -0 "$pid" 2>/dev/null || die "the program ended before showing its window: $(cat "$log")"
        ((SECONDS < deadline)) || die "no window titled '$title' was mapped in time: $(cat "$log")"
        window=$(DISPLAY=$display timeout 2 xdotool search --sync --onlyvisible --name "^${title//./\\.}\$" \
            2>/dev/null | head -n1 || true)
    done
    DISPLAY=$display xprop -id "$window" _NET_WM_PID | grep -q "= $pid\$" ||
        die "window $window is not the program's (pid $pid)"
    echo "$window"
}

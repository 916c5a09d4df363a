# shellcheck shell=bash
# Sourced by the scripts that run the simulated module (rvk-module-sim).
#
#   start_simulator PROGRAM LOG ARGUMENTS...
#       Starts PROGRAM with ARGUMENTS (give --bus) in the background, its
#       output in LOG, and waits until it says it has joined the bus. Sets
#       SIMULATOR_PID. Fails with its log when it ends or has not joined
#       within RVK_SIMULATOR_TIMEOUT seconds (default 10).
#   stop_simulator
#       Ends it, if it runs.

SIMULATOR_PID=

start_simulator() {
    local program=$1 log=$2
    shift 2
    "$program" "$@" >"$log" 2>&1 &
    SIMULATOR_PID=$!
    local tenths=$((${RVK_SIMULATOR_TIMEOUT:-10} * 10)) i
    for ((i = 0; i < tenths; i++)); do
        grep -q "joined" "$log" && return 0
        if ! kill -0 "$SIMULATOR_PID" 2>/dev/null; then
            echo "The simulated module did not start:" >&2
            cat "$log" >&2
            SIMULATOR_PID=
            return 1
        fi
        sleep 0.1
    done
    echo "The simulated module did not join the bus within ${RVK_SIMULATOR_TIMEOUT:-10} s:" >&2
    cat "$log" >&2
    stop_simulator
    return 1
}

stop_simulator() {
    if [ -n "$SIMULATOR_PID" ]; then
        kill "$SIMULATOR_PID" 2>/dev/null || true
        wait "$SIMULATOR_PID" 2>/dev/null || true
        SIMULATOR_PID=
    fi
}

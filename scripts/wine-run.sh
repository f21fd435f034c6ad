#!/usr/bin/env bash
# wine-run.sh [--display] [--timeout SECONDS] [--alongside COMMAND] EXE ARGS...
#
# Runs one Windows program under Wine in the checkout's own prefix (see
# wine-env.sh) and exits with the program's exit code, or 124 when it ran out
# of time (default 300 s). With --display the program gets a fresh Xvfb
# display; without it, DISPLAY is cleared, so a console program cannot open
# windows by accident.
#
# With --alongside, COMMAND (a bash command line) runs while the program runs,
# in the same prefix and on the same display, so that it can start a second
# Windows program next to the first or change files under it. When the
# program succeeds but COMMAND fails, the exit code is 125.
#
# Afterwards it ends what it started, and nothing else: the Xvfb by its pid and
# the wineserver of this prefix (wineserver -k), waiting for both. Runs on the
# same prefix take turns, since ending the server would cut a parallel run short.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

usage() {
    echo "usage: $0 [--display] [--timeout SECONDS] [--alongside COMMAND] EXE ARGS..." >&2
    exit 2
}

want_display=0
time_limit=300
alongside=
while (($#)); do
    case $1 in
    --display) want_display=1; shift ;;
    --timeout) (($# >= 2)) || usage; time_limit=$2; shift 2 ;;
    --alongside) (($# >= 2)) || usage; alongside=$2; shift 2 ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
    esac
done
(($#)) || usage
[[ $time_limit =~ ^[0-9]+$ ]] || usage
[[ -f $1 ]] || die "no such program: $1"

wine_prefix_ready

exec {run_lock}>"$WINEPREFIX.lock"
flock "$run_lock"

xvfb_pid=
display_file=
cleanup() {
    # Ending the server also ends every Wine process of this prefix.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    [[ -n $display_file ]] && rm -f "$display_file"
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start_xvfb() {
    # Xvfb picks the first free display number itself (it checks the lock
    # files and sockets atomically) and writes it to the -displayfd descriptor
    # once it accepts connections.
    display_file=$(mktemp "$TARNWELL_BUILD/xvfb-display.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$display_file" >>"$TARNWELL_LOGS/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local waited
    for ((waited = 0; waited < 100; waited++)); do
        if [[ -s $display_file ]] && grep -q '^[0-9]*$' "$display_file"; then
            export DISPLAY=:$(<"$display_file")
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    die "Xvfb did not start (see $TARNWELL_LOGS/xvfb.log)"
}

mkdir -p "$TARNWELL_LOGS"
if ((want_display)); then
    start_xvfb
else
    unset DISPLAY
fi

status=0
started=$SECONDS
if [[ -n $alongside ]]; then
    timeout --kill-after=10 "$time_limit" wine "$@" &
    program_pid=$!
    alongside_status=0
    bash -c "$alongside" || alongside_status=$?
    wait "$program_pid" || status=$?
    if ((status == 0 && alongside_status != 0)); then
        echo "wine-run: the command alongside $1 failed with exit code $alongside_status" >&2
        status=125
    fi
else
    timeout --kill-after=10 "$time_limit" wine "$@" || status=$?
fi
# A program that needed SIGKILL after the time limit ran out of time all the
# same; any other 137 is a kill that came from elsewhere (Wine's own exit).
if ((status == 137 && SECONDS - started >= time_limit)); then status=124; fi
if ((status == 124)); then
    echo "wine-run: $1 did not finish within $time_limit s" >&2
fi
exit "$status"

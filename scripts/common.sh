# Sourced by the other scripts: where things live, and quiet-unless-failing runs.
TARNWELL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TARNWELL_BUILD=$TARNWELL_ROOT/build
TARNWELL_LOGS=$TARNWELL_BUILD/logs

die() {
    echo "error: $*" >&2
    exit 1
}

# run_logged NAME COMMAND...: runs COMMAND with its output appended to
# build/logs/NAME.log. Silent on success; on failure shows the end of the log
# and returns the command's status.
run_logged() {
    local log=$TARNWELL_LOGS/$1.log
    shift
    mkdir -p "$TARNWELL_LOGS"
    echo "+ $*" >>"$log"
    local status=0
    "$@" >>"$log" 2>&1 || status=$?
    if ((status != 0)); then
        echo "error: '$*' failed with status $status; last lines of $log:" >&2
        tail -n 40 "$log" >&2
    fi
    return "$status"
}

# Runs a command as root: directly when already root, else through sudo.
as_root() {
    if ((EUID == 0)); then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        die "'$*' needs root, and sudo is not available"
    fi
}

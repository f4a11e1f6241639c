# shellcheck shell=bash
# Two Syncthing daemons on this machine that share one folder, for end-to-end tests of what a
# sync folder carries between two machines. Source it from a bash script, then:
#
#   pair_start ROOT        # daemons A and B under ROOT (a folder of the test's own); sets
#                          # PAIR_FOLDER_A and PAIR_FOLDER_B, the shared folder on each side
#   pair_wait_in_sync [SECONDS]
#                          # has both scan what is in their folders now, then waits until both
#                          # say they agree (default 60 s); fails naming what is still off
#   pair_stop              # stops both; also run on exit, however the script ends
#
# Each daemon has its own home, configuration and database under ROOT, never the home of whoever
# runs the tests, listens on 127.0.0.1 alone, on ports the kernel hands out, and finds its peer
# by that address only: global and local discovery, relays, NAT traversal, usage and crash
# reporting, upgrades and the browser are all off. The folder is watched for changes (a change
# is picked up about a second after it lands) and rescanned every PAIR_RESCAN_S seconds.
#
# A failure prints what did not happen and the end of each daemon's log to stderr, and ends the
# script with status 1 (through lib.sh's fail when the script has it).

PAIR_HELPER="$(dirname "${BASH_SOURCE[0]}")/syncthing-pair.py"
PAIR_PYTHON=/usr/bin/python3
[[ -x $PAIR_PYTHON ]] || PAIR_PYTHON=python3
PAIR_FOLDER_ID=zentavo
PAIR_RESCAN_S=5
PAIR_ROOT=""
PAIR_FOLDER_A=""
PAIR_FOLDER_B=""
PAIR_PID_A=""
PAIR_PID_B=""
PAIR_URL_A=""
PAIR_URL_B=""
PAIR_KEY_A=""
PAIR_KEY_B=""
PAIR_ID_A=""
PAIR_ID_B=""
PAIR_REASON=""     # what the last failed look found off
PAIR_LAUNCHED=""

pair_fail() {
    local side
    {
        for side in a b; do
            if [[ -n $PAIR_ROOT && -s $PAIR_ROOT/$side/syncthing.log ]]; then
                echo "--- end of Syncthing ${side^^}'s log ---"
                tail -n 20 "$PAIR_ROOT/$side/syncthing.log"
            fi
        done
    } >&2
    if declare -F fail >/dev/null; then
        fail "$*"
    fi
    echo "FAIL [$(basename "$0" .sh)]: $*" >&2
    exit 1
}

pair_helper() {
    "$PAIR_PYTHON" "$PAIR_HELPER" "$@"
}

# pair_poll SECONDS COMMAND...: runs COMMAND until it succeeds, keeping what it printed last in
# PAIR_REASON; false once SECONDS have passed, at once when COMMAND ends with status 3.
pair_poll() {
    local seconds=$1 status
    shift
    local limit=$((SECONDS + seconds))
    while true; do
        status=0
        PAIR_REASON=$("$@") || status=$?
        ((status == 0)) && return 0
        ((status == 3)) && return 1
        ((SECONDS >= limit)) && return 1
        sleep 0.2
    done
}

pair_process_runs() { # PID
    kill -0 "$1" 2>/dev/null
}

# Stops one daemon: asks it to end, and kills it if it has not after five seconds.
pair_stop_daemon() { # PID
    local pid=$1 i
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 100; i++)); do
        pair_process_runs "$pid" || break
        sleep 0.05
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Stops both daemons; keeps the status it was called with, so that it can run in an exit trap.
pair_stop() {
    local status=$?
    pair_stop_daemon "$PAIR_PID_A"
    pair_stop_daemon "$PAIR_PID_B"
    PAIR_PID_A=""
    PAIR_PID_B=""
    return "$status"
}

# Runs pair_stop on exit before whatever the script already runs then.
pair_stop_on_exit() {
    local previous=""
    local current
    current=$(trap -p EXIT)
    if [[ -n $current ]]; then
        eval "set -- $current"
        previous=$3
    fi
    [[ $previous == pair_stop* ]] && return 0
    # shellcheck disable=SC2064 # the previous command is fixed now, on purpose
    trap "pair_stop; ${previous:-:}" EXIT
    [[ -n $(trap -p INT) ]] || trap 'exit 130' INT
    [[ -n $(trap -p TERM) ]] || trap 'exit 143' TERM
}

# Makes a daemon's home with its keys; prints its device ID.
pair_generate() { # SIDE
    local home="$PAIR_ROOT/$1"
    mkdir -p "$home/home" || pair_fail "cannot make $home"
    HOME="$home/home" syncthing generate --home="$home" --no-default-folder --skip-port-probing \
        >"$home/generate.log" 2>&1 || pair_fail "syncthing generate failed: $(cat "$home/generate.log")"
    HOME="$home/home" syncthing serve --device-id --home="$home" 2>>"$home/generate.log" ||
        pair_fail "syncthing could not tell the device ID of $home"
}

# Starts one daemon in the background; sets PAIR_LAUNCHED to its process ID.
pair_launch() { # SIDE
    local home="$PAIR_ROOT/$1"
    HOME="$home/home" STNOUPGRADE=1 STNORESTART=1 STNODEFAULTFOLDER=1 \
        syncthing serve --home="$home" --no-browser --no-restart --no-upgrade \
        --no-default-folder --logflags=3 >>"$home/syncthing.log" 2>&1 &
    PAIR_LAUNCHED=$!
}

# Whether the daemon answers on its REST API; status 3 (give up) once it has ended.
pair_answers_or_ended() { # PID URL KEY
    pair_process_runs "$1" || return 3
    pair_helper answers "$2" "$3"
}

# Starts both daemons on free ports, and waits until both answer and listen. True when they do;
# false when a port was taken meanwhile (the caller tries again with other ports).
pair_launch_both() {
    local gui_a sync_a gui_b sync_b
    read -r gui_a sync_a gui_b sync_b < <(pair_helper free-ports 4) ||
        pair_fail "the kernel handed out no free ports"
    PAIR_KEY_A=$(pair_helper configure "$PAIR_ROOT/a" "$gui_a" "$sync_a" "$PAIR_ID_B" "$sync_b" \
        "$PAIR_FOLDER_ID" "$PAIR_FOLDER_A" "$PAIR_RESCAN_S") || pair_fail "cannot configure A"
    PAIR_KEY_B=$(pair_helper configure "$PAIR_ROOT/b" "$gui_b" "$sync_b" "$PAIR_ID_A" "$sync_a" \
        "$PAIR_FOLDER_ID" "$PAIR_FOLDER_B" "$PAIR_RESCAN_S") || pair_fail "cannot configure B"
    PAIR_URL_A="http://127.0.0.1:$gui_a"
    PAIR_URL_B="http://127.0.0.1:$gui_b"
    pair_launch a
    PAIR_PID_A=$PAIR_LAUNCHED
    pair_launch b
    PAIR_PID_B=$PAIR_LAUNCHED

    local side pid url key port
    for side in A B; do
        if [[ $side == A ]]; then
            pid=$PAIR_PID_A url=$PAIR_URL_A key=$PAIR_KEY_A port=$sync_a
        else
            pid=$PAIR_PID_B url=$PAIR_URL_B key=$PAIR_KEY_B port=$sync_b
        fi
        if ! pair_poll 30 pair_answers_or_ended "$pid" "$url" "$key"; then
            # A daemon that cannot take its REST port ends at once.
            pair_process_runs "$pid" && pair_fail "Syncthing $side did not answer at $url within 30 s: $PAIR_REASON"
            return 1
        fi
        if ! pair_poll 30 pair_helper listening "$url" "$key" "tcp://127.0.0.1:$port"; then
            [[ $PAIR_REASON == "cannot listen"* ]] && return 1
            pair_fail "Syncthing $side did not listen on port $port within 30 s: $PAIR_REASON"
        fi
    done
}

pair_start() { # ROOT
    PAIR_ROOT=$1
    PAIR_FOLDER_A="$PAIR_ROOT/a/folder"
    PAIR_FOLDER_B="$PAIR_ROOT/b/folder"
    command -v syncthing >/dev/null ||
        pair_fail "syncthing is not on PATH (Debian package syncthing; scripts/install-deps.sh)"
    pair_stop_on_exit
    PAIR_ID_A=$(pair_generate a) || exit 1
    PAIR_ID_B=$(pair_generate b) || exit 1
    # The folder marker tells Syncthing that the folder is there and meant (not a lost mount).
    mkdir -p "$PAIR_FOLDER_A/.stfolder" "$PAIR_FOLDER_B/.stfolder" ||
        pair_fail "cannot make the shared folders under $PAIR_ROOT"

    local attempt
    for attempt in 1 2 3; do
        pair_launch_both && break
        pair_stop
        ((attempt < 3)) || pair_fail "Syncthing found its ports taken three times: $PAIR_REASON"
    done
    pair_poll 60 pair_helper connected "$PAIR_URL_A" "$PAIR_KEY_A" "$PAIR_ID_B" ||
        pair_fail "Syncthing A and B did not connect within 60 s: $PAIR_REASON"
    pair_wait_in_sync
}

pair_wait_in_sync() { # [SECONDS]
    local seconds=${1:-60}
    local side
    for side in A B; do
        if [[ $side == A ]]; then
            PAIR_REASON=$(pair_helper scan "$PAIR_URL_A" "$PAIR_KEY_A" "$PAIR_FOLDER_ID")
        else
            PAIR_REASON=$(pair_helper scan "$PAIR_URL_B" "$PAIR_KEY_B" "$PAIR_FOLDER_ID")
        fi || pair_fail "Syncthing $side did not scan its folder: $PAIR_REASON"
    done
    pair_poll "$seconds" pair_helper in-sync "$PAIR_FOLDER_ID" "$PAIR_URL_A" "$PAIR_KEY_A" \
        "$PAIR_ID_A" "$PAIR_URL_B" "$PAIR_KEY_B" "$PAIR_ID_B" ||
        pair_fail "Syncthing A and B did not agree on the folder within $seconds s: $PAIR_REASON"
}

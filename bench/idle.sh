#!/usr/bin/env bash
# What Zentavo costs while it waits: the CPU time all its threads use over a stretch of SECONDS,
# rolled up with the pointer elsewhere, and unrolled with the pointer resting inside it. Read
# from the kernel's per-thread run time (nanoseconds), not from the coarse tick counters.
#
# Usage: idle.sh [--seconds N] ZENTAVO ZENTAVO-NEWDB
set -euo pipefail

seconds=30
if [[ ${1:-} == --seconds ]]; then
    seconds=$2
    shift 2
fi
source "$(dirname "$0")/../tests/e2e/lib.sh" "$@"
start_display
create_database
for i in 1 2 3; do add_note "Anteckning $i" "Text $i" >/dev/null; done
start_zentavo

# Run time in nanoseconds of every thread of the program so far.
cpu_ns() {
    cat /proc/"$APP_PID"/task/*/schedstat 2>/dev/null | awk '{ sum += $1 } END { print sum }'
}

# CPU milliseconds used over the stretch.
idle_ms() {
    local before after
    before=$(cpu_ns)
    sleep "$seconds"
    after=$(cpu_ns)
    awk -v a="$before" -v b="$after" 'BEGIN { printf "%.2f", (b - a) / 1e6 }'
}

pointer_to_screen 900 600
rolled_up=$(idle_ms)
# Unroll with a double-click on the strip and leave the pointer there, inside the window.
double_click_at 100 8
expect_within 5 "the window did not unroll" window_height_is 289
unrolled=$(idle_ms)

printf 'idle CPU over %s s: rolled up %s ms, unrolled with the pointer inside %s ms\n' \
    "$seconds" "$rolled_up" "$unrolled"
exit 0

#!/usr/bin/env bash
# The window as a screen reader finds it over AT-SPI: a session bus of the test's own with the
# accessibility bus behind it, the program with its accessibility on, and accessibility.py (on
# Debian's own Python, which has pyatspi) reading the tree and the events while it drives the
# window with the keyboard.
#
# usage: accessibility.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

# A session bus of its own, which starts the accessibility bus when asked. The buses' notes on
# standard error (their start, a limit they cannot raise) are not the test's.
if [[ -z ${ZENTAVO_E2E_SESSION_BUS:-} ]]; then
    export ZENTAVO_E2E_SESSION_BUS=1
    status=0
    quiet=(grep -v -e '^dbus-daemon\[' -e '^SpiRegistry daemon' -e 'Failed to set fd limit')
    dbus-run-session -- bash "$0" "$@" > >("${quiet[@]}") 2> >("${quiet[@]}" >&2) ||
        status=$?
    wait
    exit "$status"
fi

source "$(dirname "$0")/lib.sh" "$@"

create_database
add_note "Inköpslista" "mjölk" >/dev/null
add_note "Möte på fredag" "kl 10" >/dev/null

start_display
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_zentavo
# Inside the window, over nothing that moves: it never rolls itself up.
pointer_to "$STRIP_X" "$STRIP_Y"

timeout 120 /usr/bin/python3 "$(dirname "$0")/accessibility.py" "$WIN" "Inköpslista" \
    "Möte på fredag" || fail "the window as read over AT-SPI"
exit 0

#!/usr/bin/env bash
# Commands to the running window where no session bus runs: they go through the window's local
# socket, in a folder only the user may open. With no window for its database, a command starts
# one, which then acts: --toggle shows it unrolled and active; later commands reach it; another
# database's command starts a window of its own and leaves the first alone; a command without a
# display reaches the window too.
#
# usage: commands_nobus.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/commands_lib.sh"

# A bus address where nothing listens, as on a desktop without one.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$DIR/no-bus"

socket_for() { # DATABASE
    echo "$XDG_RUNTIME_DIR/zentavo/db$(printf '%s' "$(realpath "$1")" | sha256sum | cut -c1-32)"
}

listening() { # SOCKET
    [[ -S $1 ]]
}

create_database
make_second_folder
cp "$E2E_PROGRAM" "$APP/zentavo" || fail "cannot copy the program into $APP"
start_display

# No window runs: --toggle starts one, called up and active, the keys typed in its note area.
pointer_away
focus_other_window
APP_PID=$(start_in "$APP" --toggle)
WIN=$(window_of "$APP_PID")
expect_within 10 "the window started by --toggle did not unroll" unrolled "$WIN"
expect_within 5 "the window started by --toggle is not the active one" is_active "$WIN"
expect_within 10 "the window opened no socket for commands" listening "$(socket_for "$DB")"
assert_eq 700 "$(stat -c %a "$(dirname "$(socket_for "$DB")")")" "mode of the sockets' folder"
type_text "utan buss"

# The running window takes the commands; none starts another.
command_in "$APP" --toggle
expect_within 5 "--toggle did not roll the window up" rolled_up "$WIN"
focus_other_window
command_in "$APP" --new
expect_within 5 "--new did not unroll the window" unrolled "$WIN"
expect_within 5 "--new did not make the window the active one" is_active "$WIN"
no_other_window || fail "a command started another window beside the running one"
type_text " och mer"
save_with_pointer "Socket" "utan buss och mer"

# Another database's command starts that database's window and leaves this one alone. With the
# pointer away this one rolls itself up first: waited for, so that it cannot happen midway.
pointer_away
expect_within 10 "the window did not roll itself up with the pointer away" rolled_up "$WIN"
pid2=$(start_in "$APP2" --new)
track_pid "$pid2"
win2=$(window_of "$pid2")
expect_within 10 "the window started by --new did not unroll" unrolled "$win2"
expect_within 10 "the second window opened no socket for commands" listening "$(socket_for "$DB2")"
command_in "$APP" --toggle
expect_within 5 "--toggle did not unroll the first window" unrolled "$WIN"
unrolled "$win2" || fail "--toggle in the first folder rolled the second folder's window up"
command_in "$APP2" --toggle
expect_within 5 "--toggle in the second folder did not roll its window up" rolled_up "$win2"
unrolled "$WIN" || fail "--toggle in the second folder rolled the first folder's window up"

# A socket left by a window that ended is taken over by the next.
kill -KILL "$pid2"
wait "$pid2" 2>/dev/null || true
socket2=$(socket_for "$DB2")
listening "$socket2" || fail "the killed window's socket file is gone (nothing to take over)"
stale=$(stat -c '%i %z' "$socket2")
pid3=$(start_in "$APP2")
track_pid "$pid3"
win3=$(window_of "$pid3")
replaced() { [[ -S $socket2 && $(stat -c '%i %z' "$socket2") != "$stale" ]]; }
expect_within 10 "the next window did not replace the socket left by the killed one" replaced
command_in "$APP2" --toggle
expect_within 5 "a command did not reach the window that took over the socket" unrolled "$win3"
two_windows() { [[ $(xdotool search --onlyvisible --name '^Zentavo 1.0$' | wc -l) == 2 ]]; }
two_windows || fail "a command started a window beside the one that took over the socket"

# Without a display (over ssh, on a console, from a timer) a command still reaches the window.
without_display() { # OPTION
    (cd "$APP2" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        QT_LOGGING_RULES='*.debug=false' timeout 20 ./zentavo "$1" >/dev/null 2>"$DIR/command.stderr") ||
        fail "zentavo $1 without a display failed: $(cat "$DIR/command.stderr")"
}
without_display --toggle
expect_within 5 "--toggle without a display did not roll the window up" rolled_up "$win3"
without_display --find
expect_within 5 "--find without a display did not unroll the window" unrolled "$win3"
exit 0

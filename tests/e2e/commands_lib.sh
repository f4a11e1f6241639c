# shellcheck shell=bash
# Helpers of the tests of commands to a running window (commands.sh, commands_nobus.sh), sourced
# after lib.sh: a second program folder with a database of its own, starting the program from a
# folder, giving it a command, and another window to hold the focus meanwhile.

APP2="$DIR/app2"
DB2="$APP2/memo.mdb"

# The program in a second folder beside a database of its own.
make_second_folder() {
    mkdir -p "$APP2"
    cp "$E2E_PROGRAM" "$APP2/zentavo" || fail "cannot copy the program into $APP2"
    "$E2E_NEWDB" "$DB2" || fail "zentavo-newdb could not create $DB2"
}

# Starts the program in FOLDER with ARGS in the background; prints its process id.
start_in() { # FOLDER [ARGS...]
    local folder=$1
    shift
    APP_RUNS=$((APP_RUNS + 1))
    (
        cd "$folder" || exit 1
        unset QT_QPA_PLATFORM
        exec env QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='*.debug=false' \
            ./zentavo "$@" >/dev/null 2>"$DIR/zentavo-$APP_RUNS.stderr"
    ) &
    echo $!
}

# The visible main window of the program with this process id.
window_of() { # PID
    local id
    id=$(timeout 10 xdotool search --all --sync --onlyvisible --pid "$1" --name '^Zentavo 1.0$' \
        2>/dev/null | head -n1) || fail "process $1 showed no window named 'Zentavo 1.0'"
    [[ -n $id ]] || fail "process $1 showed no window named 'Zentavo 1.0'"
    echo "$id"
}

# Gives the program in FOLDER a command (--toggle, --new) as a desktop's shortcut does, and
# expects it to end at once with status 0, the window having acted. ENV: extra variables.
command_in() { # FOLDER OPTION [ENV...]
    local folder=$1 option=$2 status=0
    shift 2
    (cd "$folder" && exec env "$@" QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='*.debug=false' \
        timeout 20 ./zentavo "$option" >/dev/null 2>"$DIR/command.stderr") || status=$?
    [[ $status == 0 ]] || fail "zentavo $option in $folder ended with status $status: $(cat "$DIR/command.stderr")"
}

height_of() { # ID
    window_height "$1"
}

rolled_up() { # ID
    [[ $(height_of "$1") == "$ROLLED_UP_HEIGHT" ]]
}

unrolled() { # ID
    [[ $(height_of "$1") == "$UNROLLED_HEIGHT" ]]
}

# The window the window manager has made the active one, in decimal.
active_window() {
    local hex
    hex=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*# \(0x[0-9a-fA-F]*\).*/\1/p')
    [[ -n $hex ]] && echo $((hex))
}

is_active() { # ID
    [[ $(active_window) == "$1" ]]
}

# Another program's window, away from Zentavo's, made the active one; sets OTHER_WIN.
OTHER_WIN=""
focus_other_window() {
    if [[ -z $OTHER_WIN ]]; then
        xmessage -geometry +100+500 -title Annat "Ett annat fönster" >/dev/null 2>&1 &
        track_pid $!
        OTHER_WIN=$(timeout 10 xdotool search --sync --onlyvisible --name '^Annat$' 2>/dev/null |
            head -n1) || fail "the other window did not appear"
    fi
    xdotool windowactivate "$OTHER_WIN" 2>/dev/null || fail "could not activate the other window"
    expect_within 5 "the other window did not become the active one" is_active "$OTHER_WIN"
}

# The pointer far from every window, where it stays while a command calls the window up.
pointer_away() {
    pointer_to_screen 900 900
}

# Saves what the note area of the main window holds under TITLE with the pointer ("M",
# "Spara", the title, "OK"), and waits until memo.mdb has exactly one such note with TEXT.
save_with_pointer() { # TITLE TEXT
    click_at "$M_X" "$M_Y"
    click_at "$SPARA_X" "$SPARA_Y"
    type_text "$1"
    click_at "$OK_X" "$OK_Y"
    saved_once() {
        [[ $(sql "SELECT COUNT(*) FROM Memo WHERE Titel = $(sql_quote "$1") AND Text = $(sql_quote "$2");") == 1 ]]
    }
    expect_within 10 "memo.mdb did not get the note ('$1', '$2')" saved_once "$1" "$2"
}

# A D-Bus session bus of the test's own (as dbus-run-session gives one), stopped with the test.
start_session_bus() {
    local address="$DIR/bus-address"
    : >"$address"
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$address" \
        >"$DIR/bus.log" 2>&1 &
    track_pid $!
    address_written() { [[ -s $address ]]; }
    expect_within 10 "the session bus did not start" address_written
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$address")
    export DBUS_SESSION_BUS_ADDRESS
}

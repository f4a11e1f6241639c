#!/usr/bin/env bash
# Commands to the running window over the D-Bus session bus, as a key bound on the desktop gives
# them: with another window active and the pointer far away, `zentavo --toggle` unrolls the
# window for its database, makes it the active window and puts the keys typed into its note
# area; again, it rolls the window up. `--new` keeps typed text that is not saved, and replaces
# a stored note shown with a new empty one. With two databases in two folders each command
# reaches only its own window.
#
# usage: commands.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/commands_lib.sh"

bus_name() { # DATABASE
    echo "se.zentavo.Zentavo.db$(printf '%s' "$(realpath "$1")" | sha256sum | cut -c1-32)"
}

on_bus() { # NAME
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

create_database
add_note "Lagrad" "lagrad text" >/dev/null
make_second_folder
start_session_bus
start_display
start_zentavo
expect_within 10 "the window took no name on the session bus" on_bus "$(bus_name "$DB")"

# The commands find the window by the bus alone: their runtime folder, where the window's socket
# would be, is another.
mkdir -m 0700 "$DIR/elsewhere"
BUS_ONLY=(XDG_RUNTIME_DIR="$DIR/elsewhere")

# Rolled up, another window active, the pointer away: --toggle calls the window up, and the keys
# typed go into its note area.
pointer_away
focus_other_window
command_in "$APP" --toggle "${BUS_ONLY[@]}"
expect_within 5 "--toggle did not unroll the window" unrolled "$WIN"
expect_within 5 "--toggle did not make Zentavo's window the active one" is_active "$WIN"
no_other_window || fail "--toggle started another window beside the running one"
type_text "skrivet"

# Again: rolled up. Once more: called up, the typed text still there.
command_in "$APP" --toggle "${BUS_ONLY[@]}"
expect_within 5 "--toggle did not roll the unrolled window up" rolled_up "$WIN"
focus_other_window
command_in "$APP" --toggle "${BUS_ONLY[@]}"
expect_within 5 "--toggle did not unroll the window the second time" unrolled "$WIN"
expect_within 5 "the second --toggle did not make Zentavo's window the active one" is_active "$WIN"

# --new keeps typed text not yet saved: what was typed is saved whole.
focus_other_window
command_in "$APP" --new "${BUS_ONLY[@]}"
expect_within 5 "--new did not make Zentavo's window the active one" is_active "$WIN"
type_text " mer"
save_with_pointer "Ett" "skrivet mer"

# A stored note shown: --new gives a new empty note to type in.
widen_list
row_y=$(first_row_y) || fail "could not find the first row below the list's column header"
click_at 100 "$row_y"
pointer_away
focus_other_window
command_in "$APP" --new "${BUS_ONLY[@]}"
expect_within 5 "--new did not leave the window unrolled" unrolled "$WIN"
expect_within 5 "--new did not make Zentavo's window the active one" is_active "$WIN"
type_text "nytt"
save_with_pointer "Tva" "nytt"
assert_eq 3 "$(sql "SELECT COUNT(*) FROM Memo;")" "notes after two saves"

# Two databases, a window for each over the same place: each command reaches its own alone.
command_in "$APP" --toggle "${BUS_ONLY[@]}"
expect_within 5 "--toggle did not roll the window up" rolled_up "$WIN"
pointer_away
pid2=$(start_in "$APP2")
track_pid "$pid2"
win2=$(window_of "$pid2")
expect_within 10 "the second window took no name on the session bus" on_bus "$(bus_name "$DB2")"
assert_ne "$(bus_name "$DB")" "$(bus_name "$DB2")" "the bus names of two databases"
command_in "$APP2" --toggle "${BUS_ONLY[@]}"
expect_within 5 "--toggle in the second folder did not unroll its window" unrolled "$win2"
expect_within 5 "--toggle in the second folder unrolled the first folder's window" rolled_up "$WIN"
expect_within 5 "the second folder's window is not the active one" is_active "$win2"
command_in "$APP" --toggle "${BUS_ONLY[@]}"
expect_within 5 "--toggle in the first folder did not unroll its window" unrolled "$WIN"
expect_within 5 "--toggle in the first folder rolled the second folder's window up" unrolled "$win2"
expect_within 5 "the first folder's window is not the active one" is_active "$WIN"
command_in "$APP2" --toggle "${BUS_ONLY[@]}"
expect_within 5 "--toggle in the second folder did not roll its window up" rolled_up "$win2"
expect_within 5 "--toggle in the second folder rolled the first folder's window up" unrolled "$WIN"
exit 0

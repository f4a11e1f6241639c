#!/usr/bin/env bash
# Finding a note with the keyboard alone: Ctrl+F on the rolled-up strip unrolls the window with
# the find panel open; the words typed (without the note's diacritics) filter the list, which
# slides out; Down shows the first note found; Escape closes the panel with that note kept, so
# that Ctrl+Delete and Enter delete it, and memo.mdb tells which note was found. Then
# `zentavo --find` calls the running window up with the panel open, and the same keys find and
# delete another note.
#
# usage: find.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/commands_lib.sh"

create_database
add_note "Inköpslista" "mjölk" >/dev/null
add_note "Resa" $'tåg\ntill Östersund i maj' >/dev/null
add_note "Kapacitet" "diskar och minne" >/dev/null
titles_are() { [[ $(sql "SELECT Titel FROM Memo ORDER BY ID;" | tr '\n' ' ') == "$1" ]]; }

start_session_bus
start_display
start_zentavo
pointer_to "$STRIP_X" "$STRIP_Y"
xdotool windowactivate --sync "$WIN" || fail "could not give the window the keyboard focus"

send_key key ctrl+f
expect_within 5 "Ctrl+F on the rolled-up strip did not unroll the window" \
    window_height_is "$UNROLLED_HEIGHT"
type_text "ostersund"
expect_within 10 "the list did not slide out to show the notes found" list_is_wide
send_key key Down
send_key key Escape
expect_within 5 "the list did not slide back when the find panel closed" list_is_narrow
send_key key ctrl+Delete
send_key key Return
expect_within 10 "the note found was not the one shown" titles_are "Inköpslista Kapacitet "

# From the desktop, with another window active: the panel opens and takes the keys.
pointer_away
focus_other_window
command_in "$APP" --find
expect_within 5 "--find did not make Zentavo's window the active one" is_active "$WIN"
pointer_to "$STRIP_X" "$STRIP_Y"
type_text "KAP"
expect_within 10 "the list did not slide out to show the note found" list_is_wide
send_key key Return
send_key key Escape
send_key key ctrl+Delete
send_key key Return
expect_within 10 "--find and the keys did not find the note" titles_are "Inköpslista "
exit 0

#!/usr/bin/env bash
# Writing, saving, showing and deleting a note through the window, checked in the database; and
# a save that the database refuses, which must report the failure and keep the note.
#
# usage: notes.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

create_database
start_display
start_zentavo
unroll

TITLE="Måndagens ärenden"
TEXT=$'Åka till affären\nKöp smör, ägg och blåbär\n\nRing Östen före kl. 12'

rows_matching() { # TITLE TEXT
    sql "SELECT COUNT(*) FROM Memo WHERE Titel = $(sql_quote "$1") AND Text = $(sql_quote "$2");"
}
row_count_is() { [[ $(sql "SELECT COUNT(*) FROM Memo;") == "$1" ]]; }
saved_once() { [[ $(rows_matching "$1" "$2") == 1 ]]; }

# Writes a new note: "M", "Ny", a click into the note text, the text typed.
write_note() { # TEXT
    click_at "$M_X" "$M_Y"
    click_at "$NY_X" "$NY_Y"
    click_at "$NOTE_X" "$NOTE_Y"
    type_text "$1"
}

# Opens the save panel ("M", "Spara") and types the title into the title box, replacing what the
# box still holds from an earlier save.
enter_title() { # TITLE
    click_at "$M_X" "$M_Y"
    click_at "$SPARA_X" "$SPARA_Y"
    click_at "$TITEL_X" "$TITEL_Y"
    key ctrl+a
    type_text "$1"
}

# --- Write, save, show and delete a note -------------------------------------------------------

write_note "$TEXT"
enter_title "$TITLE"
click_at "$OK_X" "$OK_Y"
expect_within 10 "no row was saved after 'OK'" row_count_is 1
assert_eq 1 "$(rows_matching "$TITLE" "$TEXT")" "rows with exactly the typed title and text; the table holds:
$(sql "SELECT ID, Titel, Text FROM Memo;")"
saved_id=$(sql "SELECT ID FROM Memo;")

# Show it from the list, then delete it through the window.
widen_list
row_y=$(first_row_y) || fail "could not find the first row below the list's column header"
click_at 100 "$row_y"
click_at "$M_X" "$M_Y"
click_at "$RADERA_X" "$RADERA_Y"
click_at "$JA_X" "$JA_Y"
expect_within 10 "the saved note (ID $saved_id) was not deleted after showing it and 'Radera', 'Ja'" \
    row_count_is 0

# --- A save the database refuses ---------------------------------------------------------------

# Another process holds the database under an exclusive lock, so the insert fails once the
# program's busy wait runs out.
mkfifo "$DIR/lock.fifo"
sqlite3 -batch "$DB" <"$DIR/lock.fifo" >/dev/null 2>&1 &
lock_pid=$!
track_pid "$lock_pid"
exec 7>"$DIR/lock.fifo"
echo "BEGIN EXCLUSIVE;" >&7
db_locked() { ! sqlite3 -batch -cmd '.timeout 0' "$DB" 'SELECT COUNT(*) FROM Memo;' >/dev/null 2>&1; }
expect_within 10 "the helper could not lock the database" db_locked

FAILED_TEXT=$'Det här får inte försvinna\nandra raden: åäö ÅÄÖ'
write_note "$FAILED_TEXT"
enter_title "Låst databas"
click_at "$OK_X" "$OK_Y"
expect_within 20 "no error message appeared when the locked database refused the save" has_other_window
key Return
expect_within 10 "the error message did not close on Return" no_other_window
app_running || fail "the program ended after the failed save"

# Release the lock and try again: the note and the open save panel are still there.
echo "ROLLBACK;" >&7
exec 7>&-
lock_gone() { ! kill -0 "$lock_pid" 2>/dev/null; }
expect_within 10 "the lock helper did not end" lock_gone
wait "$lock_pid" 2>/dev/null
db_unlocked() { ! db_locked; }
expect_within 10 "the database is still locked" db_unlocked
assert_eq 0 "$(sql "SELECT COUNT(*) FROM Memo;")" "rows after the refused save"

click_at "$OK_X" "$OK_Y"
expect_within 10 "the note was not saved by 'OK' after the lock was released" \
    saved_once "Låst databas" "$FAILED_TEXT"
assert_eq 1 "$(sql "SELECT COUNT(*) FROM Memo;")" "rows after the second 'OK'"
exit 0

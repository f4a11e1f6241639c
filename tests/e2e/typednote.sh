#!/usr/bin/env bash
# Typed text is never lost, driven as a person would with the real pointer and keyboard: typing
# right after "Ny" and "Spara" goes to the note and the title; keys in the list do not replace a
# note being written; a click in the list while saving does not replace the note being saved;
# and with many notes (a scroll bar over the narrow list) the list still slides out.
#
# usage: typednote.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

create_database
sql "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30)
     INSERT INTO Memo (Titel, Text) SELECT printf('Anteckning %02d', i), 'lagrad ' || i FROM n;"
start_display
start_zentavo
unroll

saved() { # TITLE TEXT: exactly one row with them
    [[ $(sql "SELECT COUNT(*) FROM Memo WHERE Titel = $(sql_quote "$1") AND Text = $(sql_quote "$2");") == 1 ]]
}

# With 30 notes the narrow list is nearly all scroll bar; resting the pointer on it slides it out.
widen_list
pointer_to "$NOTE_X" "$NOTE_Y"
expect_within 5 "the list did not slide back when the pointer moved onto the note" list_is_narrow

# Typing right after "Ny" and "Spara" goes to the note and to the title: no click in between.
click_at "$M_X" "$M_Y"
click_at "$NY_X" "$NY_Y"
type_text "forsta"
click_at "$M_X" "$M_Y"
click_at "$SPARA_X" "$SPARA_Y"
type_text "Titel ett"
click_at "$OK_X" "$OK_Y"
expect_within 10 "typing right after 'Ny' and 'Spara' did not save ('Titel ett', 'forsta')" \
    saved "Titel ett" "forsta"

# The title box keeps the last title, selected: typing replaces it.
type_text "andra"
click_at "$M_X" "$M_Y"
click_at "$SPARA_X" "$SPARA_Y"
type_text "Titel tva"
click_at "$OK_X" "$OK_Y"
expect_within 10 "the second title did not replace the first (expected 'Titel tva', 'andra')" \
    saved "Titel tva" "andra"

# Keys in the list move only the highlight while a new note is being written.
click_at "$M_X" "$M_Y"
click_at "$NY_X" "$NY_Y"
type_text "osparat"
send_key key Tab
send_key key Down
send_key key Down
send_key key a
click_at "$M_X" "$M_Y"
click_at "$SPARA_X" "$SPARA_Y"
type_text "Titel tre"
click_at "$OK_X" "$OK_Y"
expect_within 10 "keys in the list replaced the note being written (expected 'Titel tre', 'osparat')" \
    saved "Titel tre" "osparat"

# A click on a title while the save panel is open does not replace the note being saved.
type_text "fjarde"
click_at "$M_X" "$M_Y"
click_at "$SPARA_X" "$SPARA_Y"
type_text "Titel fyra"
widen_list
row_y=$(first_row_y) || fail "could not find the first row below the list's column header"
click_at 100 "$row_y"
click_at "$OK_X" "$OK_Y"
expect_within 10 "a click in the list while saving replaced the note (expected 'Titel fyra', 'fjarde')" \
    saved "Titel fyra" "fjarde"
assert_eq 34 "$(sql "SELECT COUNT(*) FROM Memo;")" "rows after four saves"
exit 0

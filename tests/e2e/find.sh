#!/usr/bin/env bash
# Finding a note with the keyboard alone: Ctrl+F on the rolled-up strip unrolls the window with
# the find panel open; the words typed (without the note's diacritics) filter the list, which
# slides out; Down shows the first note found; Escape closes the panel with that note kept, so
# that Ctrl+Delete and Enter delete it, and memo.mdb tells which note was found. Then
# `zentavo --find` calls the running window up with the panel open, and the same keys find and
# delete another note.
#
# Then with the pointer: after Ctrl+F a click elsewhere and a click back into the find box, the
# words typed, and the list slides out; "M" puts the command panel in the find panel's place and
# the list slides back. Found again, a click on the note in the slid-out list shows it with the
# words marked, and "M", "Radera", "Ja" delete it. Last, `zentavo --find`, a click into the box,
# and the same clicks.
#
# usage: find.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/commands_lib.sh"

create_database
add_note "Inköpslista" "mjölk" >/dev/null
add_note "Resa" $'tåg\ntill Östersund i maj' >/dev/null
add_note "Kapacitet" "diskar och minne" >/dev/null
add_note "Bilen" "Vinterdäcken ska bytas i november." >/dev/null
add_note "Cykel" "Ny kedja och lampor." >/dev/null
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
expect_within 10 "the note found was not the one shown" titles_are "Inköpslista Kapacitet Bilen Cykel "

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
expect_within 10 "--find and the keys did not find the note" titles_are "Inköpslista Bilen Cykel "

# Whether the marks' colour (the palette's highlight, a clear blue) shows in the note area's top
# band, right of the narrow list and above the panels.
hits_marked() {
    import -silent -window "$WIN" -crop 310x60+30+26 +repage -depth 8 txt:- 2>/dev/null |
        awk -F'[(),]' '/^[0-9]/ && $5 > 150 && $5 > $3 + 80 { found = 1 } END { exit !found }'
}
# Clicks the first note the list shows, once the list has slid out to show the notes found.
click_first_found() {
    expect_within 10 "the list did not slide out to show the notes found" list_is_wide
    local row
    row=$(first_row_y) || fail "no row of the list could be found"
    click_at 100 "$row"
}
# "M", "Radera", "Ja" with the pointer.
delete_with_pointer() {
    click_at "$M_X" "$M_Y"
    click_at "$RADERA_X" "$RADERA_Y"
    click_at "$JA_X" "$JA_Y"
}

pointer_to "$NOTE_X" 230
expect_within 5 "the list did not slide back" list_is_narrow
hits_marked && fail "the note area shows the marks' colour before anything was found"
send_key key ctrl+f
# Away from the box and back: the words typed then go to the box, not the note area.
click_at "$NOTE_X" 230
click_at "$FIND_X" "$FIND_Y"
type_text "vinter"
expect_within 10 "the list did not slide out to show the notes found" list_is_wide
click_at "$M_X" "$M_Y"
expect_within 5 "the list did not slide back when the command panel took the find panel's place" \
    list_is_narrow
click_at "$M_X" "$M_Y"
send_key key ctrl+f
click_at "$FIND_X" "$FIND_Y"
type_text "vinter"
click_first_found
# The list slides back as the pointer moves onto the note, which shows the words marked.
pointer_to "$NOTE_X" 230
expect_within 5 "the list did not slide back" list_is_narrow
expect_within 5 "the note found does not show the words marked" hits_marked
delete_with_pointer
expect_within 10 "the note clicked in the list of notes found was not the one shown" \
    titles_are "Inköpslista Cykel "

pointer_away
focus_other_window
command_in "$APP" --find
expect_within 5 "--find did not make Zentavo's window the active one" is_active "$WIN"
click_at "$FIND_X" "$FIND_Y"
type_text "cyk"
click_first_found
delete_with_pointer
expect_within 10 "--find and the pointer did not find the note" titles_are "Inköpslista "
exit 0

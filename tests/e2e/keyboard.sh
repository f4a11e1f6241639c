#!/usr/bin/env bash
# The window used with the keyboard alone, from the rolled-up strip to a saved note and back:
# Enter unrolls the focused strip, the note is typed, Ctrl+S asks for its title, Enter saves it;
# Ctrl+L takes the focus to the list, which slides out, Down highlights the new title and Enter
# shows it; Ctrl+Delete asks, Enter answers "Ja" and the note is gone; Escape rolls the window
# up. memo.mdb holds exactly the expected notes at each step.
#
# usage: keyboard.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

create_database
first=$(add_note "Inköpslista" $'mjölk\nägg')

start_display
start_zentavo
window_height_is "$ROLLED_UP_HEIGHT" || fail "the window did not start rolled up"
# The pointer rests on the title strip: inside the window, so that it never rolls itself up,
# and over nothing that slides the list.
pointer_to "$STRIP_X" "$STRIP_Y"

xdotool windowactivate --sync "$WIN" || fail "could not give the window the keyboard focus"
send_key key Return
expect_within 5 "Enter on the rolled-up strip did not unroll the window" \
    window_height_is "$UNROLLED_HEIGHT"

# Blank after the start: the note area takes the typing once "Ny" (Ctrl+N) has unlocked it.
send_key key ctrl+n
type_text "hej från tangentbordet"
send_key key ctrl+s
type_text "Skrivet"
send_key key Return
saved() { [[ $(sql "SELECT COUNT(*) FROM Memo;") == 2 ]]; }
expect_within 10 "Enter in the title box did not save the note" saved
assert_eq "$first|Inköpslista|mjölk
ägg
$((first + 1))|Skrivet|hej från tangentbordet" "$(sql "SELECT ID, Titel, Text FROM Memo ORDER BY ID;")" \
    "the notes after saving by keys"

send_key key ctrl+l
expect_within 5 "the list did not slide out when it took the focus" list_is_wide
# The focus puts the highlight on the first title; Down moves it to the new one, Enter shows it.
send_key key Down
send_key key Return

send_key key ctrl+Delete
# The question has the focus on "Ja"; the list, which lost the focus, slides back.
expect_within 5 "the list did not slide back when the focus left it" list_is_narrow
send_key key Return
deleted() { [[ $(sql "SELECT COUNT(*) FROM Memo;") == 1 ]]; }
expect_within 10 "Ctrl+Delete and Enter on \"Ja\" did not delete the note shown" deleted
assert_eq "$first|Inköpslista" "$(sql "SELECT ID, Titel FROM Memo ORDER BY ID;")" \
    "the notes after deleting the new one by keys"

send_key key Escape
expect_within 5 "Escape did not roll the window up" window_height_is "$ROLLED_UP_HEIGHT"
# Rolled up, Down unrolls it again.
send_key key Down
expect_within 5 "Down on the rolled-up strip did not unroll the window" \
    window_height_is "$UNROLLED_HEIGHT"
assert_eq "$first|Inköpslista" "$(sql "SELECT ID, Titel FROM Memo ORDER BY ID;")" \
    "the notes at the end"
exit 0

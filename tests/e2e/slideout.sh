#!/usr/bin/env bash
# The note list slides out under the pointer, and a click on a title shows that note: proved by
# deleting the note shown through the window and finding exactly that row gone.
#
# usage: slideout.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

create_database
first=$(add_note "Inköpslista" $'mjölk\nägg')
second=$(add_note "Möte på fredag" "kl 10")
third=$(add_note "Tredje" "text tre")

start_display
start_zentavo
unroll
list_is_narrow || fail "the list is not narrow after unrolling"

widen_list
row_y=$(first_row_y) || fail "could not find the first row below the list's column header"
click_at 100 "$row_y"

# Delete the note now shown: "M", "Radera", "Ja".
click_at "$M_X" "$M_Y"
click_at "$RADERA_X" "$RADERA_Y"
click_at "$JA_X" "$JA_Y"

first_gone() { [[ $(sql "SELECT COUNT(*) FROM Memo WHERE ID = $first;") == 0 ]]; }
expect_within 10 "the first note (ID $first) was not deleted after clicking its title and 'Radera', 'Ja'" \
    first_gone
assert_eq "$second|Möte på fredag|kl 10
$third|Tredje|text tre" "$(sql "SELECT ID, Titel, Text FROM Memo ORDER BY ID;")" \
    "rows left after deleting the first note"
exit 0

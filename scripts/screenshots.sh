#!/usr/bin/env bash
# Makes the pictures in docs/screenshots from the real program under Xvfb with openbox:
# rolled up at the top of a desktop, unrolled with the list out and a note shown, the save panel,
# the delete question, and the find panel with the notes found and with the words marked. Builds first if needed.
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=$PWD/docs/screenshots
[[ -x $build/zentavo ]] || { cmake -S . -B "$build" -G Ninja >/dev/null && cmake --build "$build"; }
source tests/e2e/lib.sh "$build/zentavo" "$build/zentavo-newdb"
start_display
mkdir -p "$out"

create_database
add_note "Inköpslista" $'Till helgen:                       mjölk, bröd, ägg\n                                   kaffe, tandkräm\n\nOch på apoteket:                   plåster' >/dev/null
add_note "Möte på fredag" $'Kl 10.00 med Anna och Per\nTa med budgeten' >/dev/null
add_note "Tandläkaren" 'Tisdag 14.30' >/dev/null
add_note "Boktips" 'Från Sara' >/dev/null

# A desktop to dock on: a plain background and an ordinary window below.
xsetroot -solid '#3a6ea5' 2>/dev/null
start_zentavo
import -silent -window root -crop 1000x80+100+0 +repage "$out/rolled-up.png" ||
    fail "no screenshot of the desktop"

unroll
widen_list
row=$(first_row_y) || fail "no first row in the list"
click_at 100 "$row"
sleep 0.3 # let the note paint
screenshot "$out/unrolled-list.png"

# A new note and the save panel.
click_at "$NOTE_X" "$NOTE_Y"
click_at "$M_X" "$M_Y"
click_at "$NY_X" "$NY_Y"
click_at "$NOTE_X" "$NOTE_Y"
type_text $'Ring rörmokaren\nFråga om offert'
click_at "$M_X" "$M_Y"
click_at "$SPARA_X" "$SPARA_Y"
click_at "$TITEL_X" "$TITEL_Y"
type_text 'Rörmokare'
sleep 0.3
screenshot "$out/save-panel.png"
click_at "$OK_X" "$OK_Y"

# The delete question for a stored note.
widen_list
click_at 100 "$row"
click_at "$NOTE_X" "$NOTE_Y"
click_at "$M_X" "$M_Y"
click_at "$RADERA_X" "$RADERA_Y"
sleep 0.3
screenshot "$out/delete-question.png"

# The find panel: the notes holding a word that begins with "ta", the first shown, its hits marked.
send_key key Escape
send_key key ctrl+f
type_text 'ta'
sleep 0.5 # let the search answer and the list slide out
send_key key Down
sleep 0.3
screenshot "$out/find-panel.png"
# The pointer over the note slides the list back: the words found are marked in the note.
pointer_to 300 40
sleep 0.5
screenshot "$out/find-hits.png"
exit 0

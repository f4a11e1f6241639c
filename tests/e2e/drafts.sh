#!/usr/bin/env bash
# Nothing typed is lost when the program ends: a note being written comes back at the next start
# however the program ended (SIGTERM, closed by the window manager, killed, the X server gone;
# all but the kill within the pause after the last key, before any draft of it was due),
# exactly as typed and pasted, its title too when the save panel was open; the person is told
# once; "OK" then stores it and no draft remains; memo.mdb is never touched until then. The
# drafts folder and files are private whatever the umask.
#
# usage: drafts.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

umask 022
create_database
start_display

TYPED="Viktig anteckning som inte sparats åäö"
# Pasted: an emoji, CR LF and CR line breaks, a no-break space, and some 100 KB of lines.
PASTED_FILE="$DIR/pasted.txt"
{
    printf '\n🙂 klistrat\r\nrad två\rrad\xc2\xa0tre\n'
    for ((i = 0; i < 2500; i++)); do
        printf 'Rad %04d med åäö och lite mer text att fylla ut med\n' "$i"
    done
} >"$PASTED_FILE"
EXPECTED_FILE="$DIR/expected.txt"
{ printf '%s' "$TYPED"; cat "$PASTED_FILE"; } >"$EXPECTED_FILE"
# Typed after the first draft, and followed at once by the end: only the ending can keep it.
MORE=" sist"
EXPECTED_MORE_FILE="$DIR/expected-more.txt"
{ cat "$EXPECTED_FILE"; printf '%s' "$MORE"; } >"$EXPECTED_MORE_FILE"

draft_count() {
    find "$XDG_STATE_HOME" -name '*.draft' 2>/dev/null | wc -l
}

drafts_are() { # COUNT
    [[ $(draft_count) -eq $1 ]]
}

# Whether the one draft holds the whole note: its file ends as the note does.
draft_is_whole() {
    local draft
    draft=$(find "$XDG_STATE_HOME" -name '*.draft' 2>/dev/null | head -n1)
    [[ -n $draft ]] && cmp -s <(tail -c 200 "$draft") <(tail -c 200 "$EXPECTED_FILE")
}

database_sum() {
    sha256sum "$DB" | cut -d' ' -f1
}

# Types and pastes the note into the note area of a new note.
write_note() {
    unroll
    click_at "$M_X" "$M_Y"
    click_at "$NY_X" "$NY_Y"
    type_text "$TYPED"
    xclip -selection clipboard -i "$PASTED_FILE" || fail "xclip could not take the text"
    send_key key ctrl+v
    # The last key is handled; the draft is written a second after typing pauses.
    expect_within 10 "no draft of the whole note was written after typing paused" draft_is_whole
    drafts_are 1 || fail "more than one draft was written for one program"
}

# Types a few more keys after the draft of the note was written; the caller ends the program
# right after the last one is handled, well within the pause after which a draft is written.
write_more() {
    type_text "$MORE"
}

# Closes the program's message boxes (the notice of a restored note) as a person would.
close_notices() {
    local id
    for id in $(other_windows); do
        wmctrl -i -c "$id" || fail "could not close the message box $id"
    done
    expect_within 5 "a message box stayed open" no_other_window
}

# True when every message box lies clear of the window's title strip, which it speaks of.
notice_clear_of_strip() {
    local id x y w h strip_x strip_y strip_w strip_h
    strip_x=$(window_x) strip_y=$(window_y) strip_w=$(window_width) strip_h=$(window_height)
    for id in $(other_windows); do
        x=$(window_x "$id") y=$(window_y "$id") w=$(window_width "$id") h=$(window_height "$id")
        ((x >= strip_x + strip_w || x + w <= strip_x || y >= strip_y + strip_h ||
            y + h <= strip_y)) || return 1
    done
}

# Starts the program again and checks that the note comes back: told once, nothing in memo.mdb
# yet; then "M", "Spara", "OK" stores it exactly, titled TITLE, and no draft remains. The note
# expected is EXPECTED_FILE's, or the file named by EXPECTED.
expect_restored() { # HOW TITLE [TYPE_TITLE]
    local how=$1 title=$2 sum expected=${EXPECTED:-$EXPECTED_FILE}
    sum=$(database_sum)
    start_zentavo
    told() { grep -q "återställt en anteckning" "$APP_STDERR"; }
    expect_within 10 "after $how, the program did not say that it restored the note" told
    [[ $(grep -c "återställt en anteckning" "$APP_STDERR") -eq 1 ]] ||
        fail "after $how, the restored note was told more than once"
    expect_within 5 "after $how, the notice did not show" has_other_window
    expect_within 5 "after $how, the notice covers the title strip" notice_clear_of_strip
    close_notices
    assert_eq "$sum" "$(database_sum)" "memo.mdb after $how and the restart"
    unroll
    click_at "$M_X" "$M_Y"
    click_at "$SPARA_X" "$SPARA_Y"
    [[ -n ${3:-} ]] && type_text "$3"
    click_at "$OK_X" "$OK_Y"
    stored() { [[ $(sql "SELECT COUNT(*) FROM Memo WHERE Titel = $(sql_quote "$title");") == 1 ]]; }
    expect_within 10 "after $how, 'OK' did not store the restored note as '$title'" stored
    sql "SELECT writefile('$DIR/stored.txt', Text) FROM Memo WHERE Titel = $(sql_quote "$title");" \
        >/dev/null
    cmp -s "$expected" "$DIR/stored.txt" ||
        fail "after $how, the stored note differs from what was typed and pasted"
    expect_within 10 "after $how, a draft remained once the note was saved" drafts_are 0
    stop_zentavo
}

stop_zentavo() {
    kill -TERM "$APP_PID"
    wait_for_exit 10
}

# (a) SIGTERM, as a session ends, right after the last key.
start_zentavo
write_note
write_more
kill -TERM "$APP_PID"
wait_for_exit 10
assert_eq 0 "$APP_STATUS" "exit status after SIGTERM"
EXPECTED=$EXPECTED_MORE_FILE expect_restored "SIGTERM" "Efter SIGTERM" "Efter SIGTERM"

# The drafts folder and its files are the owner's only, whatever the umask.
start_zentavo
write_note
for folder in "$XDG_STATE_HOME/zentavo" "$XDG_STATE_HOME/zentavo/drafts" \
    "$(dirname "$(find "$XDG_STATE_HOME" -name '*.draft' | head -n1)")"; do
    assert_eq 700 "$(stat -c %a "$folder")" "mode of $folder"
done
while read -r file; do
    assert_eq 600 "$(stat -c %a "$file")" "mode of $file"
done < <(find "$XDG_STATE_HOME" -type f)

# (b) Closed by the window manager, as Alt+F4 does: the program ends at once, without a question.
write_more
wmctrl -i -c "$WIN" || fail "wmctrl could not ask the window manager to close the window"
wait_for_exit 10
EXPECTED=$EXPECTED_MORE_FILE expect_restored "closing by the window manager" "Efter stängning" \
    "Efter stängning"

# (c) Killed, two seconds after the last key.
start_zentavo
write_note
sleep 2
kill -KILL "$APP_PID"
wait_for_exit 10
expect_restored "kill -9" "Efter kill" "Efter kill"

# (d) The X server gone, right after the last key.
start_zentavo
write_note
write_more
kill -KILL "$XVFB_PID"
wait_for_exit 20
kill_pid "$WM_PID"
start_display
EXPECTED=$EXPECTED_MORE_FILE expect_restored "the X server's end" "Efter X" "Efter X"

# The title typed in the save panel comes back too.
start_zentavo
write_note
click_at "$M_X" "$M_Y"
click_at "$SPARA_X" "$SPARA_Y"
type_text "Titel som kommer tillbaka"
draft_has_title() { grep -qs "Titel som kommer tillbaka" "$XDG_STATE_HOME"/zentavo/drafts/*/*.draft; }
expect_within 10 "the title typed was not kept in the draft after typing paused" draft_has_title
kill -KILL "$APP_PID"
wait_for_exit 10
expect_restored "kill -9 with the save panel open" "Titel som kommer tillbaka"
exit 0

#!/usr/bin/env bash
# Drafts of unsaved notes with more than one program, and where none can be written. Two programs
# on one database, both writing, both killed: the next two starts restore one draft each, and
# zentavo-notes drafts --save stores what waits. A state folder that cannot be written: the person
# is told once, typing goes on, and the note can still be saved.
#
# usage: drafts_more.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

NOTES="$(dirname "$E2E_PROGRAM")/zentavo-notes"
[[ -x $NOTES ]] || fail "zentavo-notes is not beside $E2E_PROGRAM"
create_database
start_display

notes() {
    "$NOTES" --db "$DB" "$@"
}

waiting_drafts() {
    notes drafts | grep -c '^väntar' || true
}

open_drafts() {
    notes drafts | grep -c '^öppet' || true
}

drafts_listed() { # WAITING OPEN
    [[ $(waiting_drafts) -eq $1 && $(open_drafts) -eq $2 ]]
}

type_new_note() { # TEXT
    unroll
    click_at "$M_X" "$M_Y"
    click_at "$NY_X" "$NY_Y"
    type_text "$1"
}

# Starts another program on the same database and makes its window the one driven; the one
# driven before is still running, at the same place, below it.
start_another() {
    local before=$WIN id
    launch_zentavo
    another_window() {
        for id in $(xdotool search --onlyvisible --name '^Zentavo 1.0$' 2>/dev/null); do
            [[ $id != "$before" && $(window_width "$id") == 353 ]] && return 0
        done
        return 1
    }
    expect_within 10 "the second program's window did not appear" another_window
    WIN=$id
    expect_within 10 "the second window did not settle at the top" window_at 433 0
}

# --- Two programs, both writing, both killed ---------------------------------------------------
start_zentavo
FIRST_PID=$APP_PID
type_new_note "den forsta"
expect_within 10 "the first program wrote no draft" drafts_listed 0 1
start_another
SECOND_PID=$APP_PID
type_new_note "den andra"
expect_within 10 "the second program wrote no draft of its own" drafts_listed 0 2
sleep 2
kill -KILL "$FIRST_PID" "$SECOND_PID"
wait "$FIRST_PID" "$SECOND_PID" 2>/dev/null || true
APP_PID=""
expect_within 5 "the killed programs' drafts do not wait" drafts_listed 2 0

# The next two starts take one draft each, and each says so once.
start_zentavo
FIRST_PID=$APP_PID
FIRST_STDERR=$APP_STDERR
expect_within 10 "the first start did not take a draft" drafts_listed 1 1
start_another
SECOND_PID=$APP_PID
expect_within 10 "the second start did not take the other draft" drafts_listed 0 2
for stderr in "$FIRST_STDERR" "$APP_STDERR"; do
    told() { grep -q "återställt en anteckning" "$stderr"; }
    expect_within 10 "a start that took a draft did not say so" told
    assert_eq 1 "$(grep -c "återställt en anteckning" "$stderr")" "times a restored note was told"
done
assert_eq 0 "$(sql "SELECT COUNT(*) FROM Memo;")" "notes before any was saved"

# Killed again; zentavo-notes stores what waits, each under its first line, and nothing is left.
kill -KILL "$FIRST_PID" "$SECOND_PID"
wait "$FIRST_PID" "$SECOND_PID" 2>/dev/null || true
APP_PID=""
expect_within 5 "the drafts do not wait after the second kill" drafts_listed 2 0
notes drafts --save >/dev/null || fail "zentavo-notes drafts --save failed"
assert_eq "den andra|den forsta" \
    "$(sql "SELECT group_concat(Text, '|') FROM (SELECT Text FROM Memo ORDER BY Text);")" \
    "the notes stored from the drafts"
assert_eq "den andra|den forsta" \
    "$(sql "SELECT group_concat(Titel, '|') FROM (SELECT Titel FROM Memo ORDER BY Titel);")" \
    "the titles of the notes stored from the drafts"
assert_eq "" "$(notes drafts)" "drafts left after they were stored"

# --- A state folder that cannot be written ------------------------------------------------------
READ_ONLY="$DIR/read-only"
mkdir -p "$READ_ONLY"
if mount -t tmpfs -o ro,size=1m zentavo-e2e-ro "$READ_ONLY" 2>/dev/null; then
    register_mount "$READ_ONLY"
elif [[ $(id -u) -ne 0 ]]; then
    chmod 0500 "$READ_ONLY"
else
    echo "SKIP [drafts_more]: cannot mount a read-only folder as root" >&2
    exit 0
fi
export XDG_STATE_HOME="$READ_ONLY/state"
start_zentavo
type_new_note "skrivskyddat"
told_once() { [[ $(grep -c "kunde inte sparas som utkast" "$APP_STDERR") -eq 1 ]]; }
expect_within 10 "a draft that could not be written was not told" told_once
expect_within 5 "the message did not show" has_other_window
# Typing goes on where it was: the message does not take the keyboard. Another pause and another
# failed draft are not told again.
type_text " och mer"
sleep 2
told_once || fail "a draft that could not be written was told more than once"
app_running || fail "the program ended when no draft could be written"
grep -q "$READ_ONLY" "$APP_STDERR" || fail "the message did not name the folder"
# The note can still be saved.
for id in $(other_windows); do wmctrl -i -c "$id"; done
expect_within 5 "the message box stayed open" no_other_window
click_at "$M_X" "$M_Y"
click_at "$SPARA_X" "$SPARA_Y"
type_text "Sparad"
click_at "$OK_X" "$OK_Y"
saved() { [[ $(sql "SELECT Text FROM Memo WHERE Titel = 'Sparad';") == "skrivskyddat och mer" ]]; }
expect_within 10 "the note typed where no draft could be kept was not saved" saved
exit 0

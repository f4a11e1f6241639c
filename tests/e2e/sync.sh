#!/usr/bin/env bash
# Two machines on one X server, each with its own home, its own memo.mdb and its own Zentavo
# window, their sync folders kept alike by two real Syncthing daemons: a note saved through
# window A reaches B's memo.mdb without anyone running `zentavo-notes sync` (window B's watch of
# its folder does it, a folder set for B only once B's window runs), a note deleted through window B ("Radera", "Ja") goes from A's, and notes
# saved on both at the same moment end up on both.
#
# usage: sync.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/commands_lib.sh"
# shellcheck source=../support/syncthing-pair.sh
source "$(dirname "$0")/../support/syncthing-pair.sh"

NOTES="$(dirname "$E2E_PROGRAM")/zentavo-notes"
[[ -x $NOTES ]] || fail "zentavo-notes is not beside $E2E_PROGRAM"

# A machine's own home and XDG folders, exported in the calling (sub)shell.
machine_env() { # NAME
    local home="$DIR/$1-home"
    mkdir -p "$home/runtime" || fail "cannot make the home of $1"
    chmod 0700 "$home/runtime" || fail "cannot make the runtime folder of $1 private"
    export HOME="$home"
    export XDG_CONFIG_HOME="$home/.config"
    export XDG_DATA_HOME="$home/.local/share"
    export XDG_STATE_HOME="$home/.local/state"
    export XDG_CACHE_HOME="$home/.cache"
    export XDG_RUNTIME_DIR="$home/runtime"
}

notes_on() { # NAME DATABASE COMMAND...
    (
        machine_env "$1"
        exec "$NOTES" --db "$2" "${@:3}"
    )
}

# Starts the window of machine NAME from FOLDER; sets LAUNCHED to its process id.
launch_on() { # NAME FOLDER
    APP_STDERR="$DIR/zentavo-$1.stderr"
    (
        cd "$2" || exit 1
        machine_env "$1"
        unset QT_QPA_PLATFORM
        exec env QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='*.debug=false' \
            ./zentavo >/dev/null 2>"$APP_STDERR"
    ) &
    LAUNCHED=$!
    track_pid "$LAUNCHED"
}

titles_on() { # NAME DATABASE
    notes_on "$1" "$2" list | cut -f2 | sort | tr '\n' '|'
}

titles_are() { # NAME DATABASE TITLES (sorted, each followed by |)
    [[ $(titles_on "$1" "$2") == "$3" ]]
}

# Writes a new note in the window WIN and leaves its save panel open with the title typed.
write_and_name() { # TEXT TITLE
    click_at "$M_X" "$M_Y"
    click_at "$NY_X" "$NY_Y"
    click_at "$NOTE_X" "$NOTE_Y"
    type_text "$1"
    click_at "$M_X" "$M_Y"
    click_at "$SPARA_X" "$SPARA_Y"
    click_at "$TITEL_X" "$TITEL_Y"
    key ctrl+a
    type_text "$2"
}

cp "$E2E_PROGRAM" "$APP/zentavo" || fail "cannot copy the program into $APP"
create_database
make_second_folder

pair_start "$DIR/pair"
notes_on A "$DB" sync-folder "$PAIR_FOLDER_A" >/dev/null || fail "A's sync folder could not be set"

start_display

# B's window first, moved down out of the way of A's, which then docks at the top; neither rolls
# itself up while the pointer is on the other.
launch_on B "$APP2"
WIN_B=$(window_of "$LAUNCHED")
WIN=$WIN_B
expect_within 10 "window B did not settle at the top" window_at 433 0
click_at "$AUTOHIDE_X" "$AUTOHIDE_Y"
click_at "$MOVEABLE_X" "$MOVEABLE_Y"
drag_by "$STRIP_X" "$STRIP_Y" 0 400
expect_within 5 "window B did not move down out of the way" window_near 433 400 1
# B's folder is set only now, with its window up: the window takes the setting as it comes.
notes_on B "$DB2" sync-folder "$PAIR_FOLDER_B" >/dev/null || fail "B's sync folder could not be set"

launch_on A "$APP"
WIN_A=$(window_of "$LAUNCHED")
WIN=$WIN_A
expect_within 10 "window A did not settle at the top" window_at 433 0
click_at "$AUTOHIDE_X" "$AUTOHIDE_Y"
unroll

# --- Saved on A, in B's memo.mdb -------------------------------------------------------------

write_and_name $'Köp mjölk\noch bröd' "Handla"
click_at "$OK_X" "$OK_Y"
expect_within 10 "the note saved through window A is not in A's memo.mdb" titles_are A "$DB" "Handla|"
expect_within 60 "the note saved on A did not reach B's memo.mdb (B's window runs the rounds)" \
    titles_are B "$DB2" "Handla|"
assert_eq $'Köp mjölk\noch bröd' "$(notes_on B "$DB2" show "$(notes_on B "$DB2" list | cut -f1)")" \
    "the text of the note that arrived on B"

# --- Deleted on B through the window, gone from A ----------------------------------------------

WIN=$WIN_B
unroll
widen_list
row_y=$(first_row_y) || fail "could not find the first row of B's list"
click_at 100 "$row_y"
click_at "$M_X" "$M_Y"
click_at "$RADERA_X" "$RADERA_Y"
click_at "$JA_X" "$JA_Y"
expect_within 10 "the note deleted through window B is still in B's memo.mdb" titles_are B "$DB2" ""
expect_within 60 "the note deleted on B did not go from A's memo.mdb" titles_are A "$DB" ""

# --- Saved on both at once: both on both -------------------------------------------------------

WIN=$WIN_A
write_and_name "skrivet på A" "Från A"
WIN=$WIN_B
write_and_name "skrivet på B" "Från B"
WIN=$WIN_A
click_at "$OK_X" "$OK_Y"
WIN=$WIN_B
click_at "$OK_X" "$OK_Y"
expect_within 60 "A's memo.mdb did not come to hold both notes saved at once" \
    titles_are A "$DB" "Från A|Från B|"
expect_within 60 "B's memo.mdb did not come to hold both notes saved at once" \
    titles_are B "$DB2" "Från A|Från B|"

# Nothing went wrong on the way: no round told of a problem.
for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    [[ $id == "$WIN_A" || $id == "$WIN_B" ]] && continue
    [[ $(xprop -id "$id" WM_CLASS 2>/dev/null) == *zentavo* ]] &&
        fail "a Zentavo window told something: $(xprop -id "$id" WM_NAME 2>/dev/null)"
done
exit 0

#!/usr/bin/env bash
# The window frame: placement, topmost, rolling up and down, the drag lock, the exit question,
# and starts on a missing, foreign or wrongly shaped database, refused before any window.
#
# usage: window.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

create_database
start_display

# --- Start-up: docked at the top, rolled up, above other windows ---------------------------------

start_zentavo
assert_eq "433 0" "$(window_x) $(window_y)" "window position after start"
assert_eq "353x$ROLLED_UP_HEIGHT" "$(window_width)x$(window_height)" "window size after start"
assert_contains "$(wm_state)" "_NET_WM_STATE_ABOVE" "_NET_WM_STATE of the window"

# --- Rolling up and down by a double-click on the strip --------------------------------------

double_click_at "$STRIP_X" "$STRIP_Y"
expect_within 5 "a double-click on the strip did not unroll the window" \
    window_height_is "$UNROLLED_HEIGHT"
assert_eq 353 "$(window_width)" "width when unrolled"
double_click_at "$STRIP_X" "$STRIP_Y"
expect_within 5 "a second double-click on the strip did not roll the window up" \
    window_height_is "$ROLLED_UP_HEIGHT"

# --- The arrow: a move over it unrolls the rolled-up window ---------------------------------

pointer_to 200 "$STRIP_Y"
pointer_to "$ARROW_X" "$ARROW_Y"
expect_within 5 "moving the pointer over the arrow did not unroll the window" \
    window_height_is "$UNROLLED_HEIGHT"
double_click_at "$STRIP_X" "$STRIP_Y"
expect_within 5 "the window did not roll up again" window_height_is "$ROLLED_UP_HEIGHT"

# --- The drag lock -----------------------------------------------------------------------------

# Locked (the start state): a drag on the strip leaves the window where it is.
drag_by "$STRIP_X" "$STRIP_Y" 120 150
# Nothing should happen; give a move that would have started the time to show.
if wait_until 1 window_moved_from 433 0; then
    fail "the locked window moved to $(window_x),$(window_y) when its strip was dragged"
fi

# Unlocked: the same drag moves the window with the pointer.
click_at "$MOVEABLE_X" "$MOVEABLE_Y"
drag_by "$STRIP_X" "$STRIP_Y" 120 150
expect_within 5 "the unlocked window did not move when its strip was dragged" \
    window_moved_from 433 0
# The window follows the pointer: it ends up where the drag took it. The window manager takes
# over at the first motion, so that first pixel may be left behind.
expect_within 5 "the window did not follow the pointer to about 553,150" window_near 553 150 1
moved_x=$(window_x)
moved_y=$(window_y)
# Dropped: it stays there once the button is up.
if wait_until 1 window_moved_from "$moved_x" "$moved_y"; then
    fail "the window kept moving after the drag ended: $(window_x),$(window_y)"
fi

# Lock it again so the double-click reaches the strip.
click_at "$MOVEABLE_X" "$MOVEABLE_Y"
double_click_at "$STRIP_X" "$STRIP_Y"
expect_within 5 "the moved window did not unroll" window_height_is "$UNROLLED_HEIGHT"

# --- Exit question: No keeps the program, Yes ends it ----------------------------------------

question_open() { has_other_window; }

# "Nej" by Escape.
click_at "$M_X" "$M_Y"
click_at "$AVSLUTA_X" "$AVSLUTA_Y"
expect_within 5 "'Avsluta' did not open the exit question" question_open
key Escape
expect_within 5 "Escape did not close the exit question" no_other_window
app_running || fail "the program ended although the exit question was answered No"

# "Nej" by a click on the button. The panel is still shown after a No.
click_at "$AVSLUTA_X" "$AVSLUTA_Y"
expect_within 5 "'Avsluta' did not open the exit question a second time" question_open
question=$(other_windows | head -n1)
# The box shows "Ja" and "Nej" side by side along its bottom edge, "Nej" on the right.
box_w=$(window_width "$question")
box_h=$(window_height "$question")
read -r box_x box_y < <(window_origin "$question")
pointer_to_screen $((box_x + box_w * 3 / 4)) $((box_y + box_h - 15))
xdotool click 1 || fail "could not click 'Nej' in the exit question"
expect_within 5 "clicking 'Nej' did not close the exit question" no_other_window
app_running || fail "the program ended although 'Nej' was clicked in the exit question"

# "Ja" by Enter, the default button.
click_at "$AVSLUTA_X" "$AVSLUTA_Y"
expect_within 5 "'Avsluta' did not open the exit question a third time" question_open
key Return
wait_for_exit 10
assert_eq 0 "$APP_STATUS" "exit status after answering Yes"

# --- A memo.mdb the program cannot use is reported before any window, and the program ends ----

# Starts the program on the database as it is now: an error box must appear instead of the
# window; once it is answered the program ends with a non-zero status, having named the file.
expect_refused() { # WHAT
    launch_zentavo
    error_shown() { [[ -n $(xdotool search --onlyvisible --name '^Zentavo 1.0$' 2>/dev/null) ]]; }
    expect_within 10 "no error box appeared $1" error_shown
    box=$(xdotool search --onlyvisible --name '^Zentavo 1.0$' | head -n1)
    [[ $(window_width "$box") != 353 ]] || fail "the main window was shown $1"
    WIN=$box
    key Return
    wait_for_exit 10
    assert_ne 0 "$APP_STATUS" "exit status $1"
    assert_contains "$(cat "$APP_STDERR")" "$DB" "message on stderr $1"
}

rm -f "$DB"
expect_refused "without a database"
[[ ! -e $DB ]] || fail "the program created $DB although it must never create the database"

printf 'Det här är ingen databas.\n%.0s' {1..40} >"$DB"
before=$(md5sum <"$DB")
expect_refused "for a file that is not a database"
assert_eq "$before" "$(md5sum <"$DB")" "the file that is not a database, after the start"

rm -f "$DB"
sql "CREATE TABLE Memo (ID INTEGER PRIMARY KEY AUTOINCREMENT, Titel TEXT);
     INSERT INTO Memo (Titel) VALUES ('Kvar');"
expect_refused "for a table without the Text column"
assert_eq "Kvar" "$(sql "SELECT Titel FROM Memo;")" "the note in the table without Text"
exit 0

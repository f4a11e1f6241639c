#!/usr/bin/env bash
# Several screens: two monitors side by side on one X screen, declared with RandR as a desktop
# declares them. The window docks on the primary monitor, the design's left position in from its
# left edge, and docks there again when the primary changes. A window the person moved stays where
# it was put while a monitor shows it, and docks on the primary when its monitor goes. Whether the
# window is unrolled stays as it was throughout.
source "$(dirname "$0")/lib.sh" "$@"

SCREEN_W=2560
SCREEN_H=1024
start_display
create_database
add_note "Två skärmar" "Fönstret hör hemma på den primära" >/dev/null

# --- At the start: docked on the primary monitor, the right one ----------------------------------

add_monitor left 0
add_monitor right 1280 primary
expect_within 5 "the X server does not list the two monitors" monitors_are 2
launch_zentavo
find_main_window
expect_within 10 "the window did not dock on the primary, right monitor at 1713,0" window_at 1713 0
assert_eq "353x$ROLLED_UP_HEIGHT" "$(window_width)x$(window_height)" "window size after start"
kill_pid "$APP_PID"
APP_PID=""

# --- The primary moves while the program runs: the window follows --------------------------------

make_primary left 0
launch_zentavo
find_main_window
expect_within 10 "the window did not dock on the primary, left monitor at 433,0" window_at 433 0
# Unrolled, with auto-hide off so that it stays unrolled wherever the pointer is.
click_at "$AUTOHIDE_X" "$AUTOHIDE_Y"
unroll
make_primary right 1280
expect_within 10 "the window did not follow the primary to the right monitor (1713,0)" \
    window_at 1713 0
assert_eq "$UNROLLED_HEIGHT" "$(window_height)" "height after following the primary"

# --- A window the person moved stays while a monitor shows it ------------------------------------

click_at "$MOVEABLE_X" "$MOVEABLE_Y"
drag_by "$STRIP_X" "$STRIP_Y" 300 200
expect_within 5 "the window did not follow the drag to about 2013,200" window_near 2013 200 1
read -r moved_x moved_y < <(window_origin)
make_primary left 0
# A docked window would go to 433,0 now; give that move the time to show.
if wait_until 2 window_moved_from "$moved_x" "$moved_y"; then
    fail "the moved window left its place when the primary changed: $(window_x),$(window_y)"
fi

# --- The monitor under the moved window goes: the window docks on the primary --------------------

remove_monitor right
expect_within 5 "the X server still lists the right monitor" monitors_are 1
expect_within 10 "the window did not dock on the primary (433,0) when its own monitor went" \
    window_at 433 0
assert_eq "$UNROLLED_HEIGHT" "$(window_height)" "height after the monitor went"
app_running || fail "the program ended when a monitor went"
exit 0

#!/usr/bin/env bash
# Two monitors of different resolution side by side: the left one as it is, the right one at
# twice the pixels per inch, as Qt's per-screen scale factors declare them. The design's twips
# come out at the pixels of the monitor the window is on: twice as many on the right one, its
# position counted in them from that monitor's left edge.
source "$(dirname "$0")/lib.sh" "$@"

SCREEN_W=3840
SCREEN_H=1080
MONITOR_W=1920
start_display
create_database

add_monitor left 0
add_monitor right 1920 primary
expect_within 5 "the X server does not list the two monitors" monitors_are 2
export QT_SCREEN_SCALE_FACTORS='left=1;right=2'

# Docked on the primary, right monitor, at twice the pixels.
SCALE=2
launch_zentavo
find_main_window
expect_within 10 "the window did not dock on the right monitor at $((1920 + 866)),0" \
    window_at $((1920 + 866)) 0
assert_eq "706x34" "$(window_width)x$(window_height)" "rolled up on the right monitor"
click_at 604 16 # auto-hide off, so the window stays unrolled wherever the pointer is
double_click_at 300 16
expect_within 5 "the window did not unroll to 578 px on the right monitor" window_height_is 578
assert_eq 706 "$(window_width)" "unrolled width on the right monitor"

# The primary moves to the left monitor: the window docks there, at its pixels.
make_primary left 0
expect_within 10 "the window did not dock on the left monitor at 433,0" window_at 433 0
expect_within 5 "unrolled on the left monitor, the window is not 353x289" \
    window_size_is 353 "$UNROLLED_HEIGHT"
SCALE=1
double_click_at "$STRIP_X" "$STRIP_Y"
expect_within 5 "the window did not roll up to $ROLLED_UP_HEIGHT px on the left monitor" \
    window_height_is "$ROLLED_UP_HEIGHT"

# Dragged onto the right monitor, it takes that monitor's pixels again.
click_at "$MOVEABLE_X" "$MOVEABLE_Y"
drag_by "$STRIP_X" "$STRIP_Y" 1700 100
expect_within 10 "dragged onto the right monitor, the window is not 706x34" window_size_is 706 34
# And back onto the left one.
SCALE=2
drag_by 300 16 -1700 -100
expect_within 10 "dragged back onto the left monitor, the window is not 353x17" window_size_is 353 17
exit 0

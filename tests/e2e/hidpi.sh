#!/usr/bin/env bash
# At 192 dpi the design, kept in twips, comes out at twice the pixels: the window, the title strip
# and the roll toggle between them. Checked once with the X resources' Xft.dpi and once with Qt's
# own scale factor.
source "$(dirname "$0")/lib.sh" "$@"

SCALE=2
SCREEN_W=1920 # the doubled window reaches x = 866 + 706
start_display
create_database
add_note "Hög upplösning" "Dubbelt så många bildpunkter" >/dev/null

check_doubled() { # WHAT
    find_main_window
    expect_within 10 "$1: the window did not settle at x=866, y=0" window_at 866 0
    assert_eq 706 "$(window_width)" "$1: window width"
    expect_within 5 "$1: rolled up, the window is not 34 px high" window_height_is 34
    double_click_at 300 16
    expect_within 5 "$1: the window did not unroll to 578 px" window_height_is 578
    double_click_at 300 16
    expect_within 5 "$1: the window did not roll up to 34 px again" window_height_is 34
    kill_pid "$APP_PID"
    APP_PID=""
}

echo 'Xft.dpi: 192' | xrdb -merge || fail "xrdb could not set Xft.dpi"
launch_zentavo
check_doubled "Xft.dpi 192"

xrdb -remove || fail "xrdb could not clear the resources"
export QT_SCALE_FACTOR=2
launch_zentavo
check_doubled "QT_SCALE_FACTOR=2"
exit 0

#!/usr/bin/env bash
# Auto-hide: the unrolled window rolls itself up a few seconds after the pointer has left it,
# unless the auto-hide box is unchecked.
#
# usage: autohide.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"

create_database
start_display
start_zentavo

# Checked (the start state): the window rolls up once the pointer has stayed away.
unroll
pointer_to "$NOTE_X" "$NOTE_Y"
pointer_to_screen 900 600
expect_within 4 "the window did not roll itself up after the pointer left it" \
    window_height_is "$ROLLED_UP_HEIGHT"

# Unchecked: it stays unrolled.
unroll
pointer_to "$NOTE_X" "$NOTE_Y"
click_at "$AUTOHIDE_X" "$AUTOHIDE_Y"
pointer_to_screen 900 600
# Nothing must happen here, so the whole time that a checked box would need is waited out.
if wait_until 4 window_height_is "$ROLLED_UP_HEIGHT"; then
    fail "the window rolled itself up although auto-hide was unchecked"
fi
assert_eq "$UNROLLED_HEIGHT" "$(window_height)" "height with auto-hide unchecked"
exit 0

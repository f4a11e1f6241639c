#!/usr/bin/env bash
# Auto-hide: the unrolled window rolls itself up a few seconds after the pointer has left it,
# every time, also when it is unrolled again and left at once; unless the auto-hide box is
# unchecked.
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

# Unrolled again by the pointer on the arrow and left at once, before the window has looked for
# it even once: it rolls up again, and again.
for round in 1 2; do
    # Two motions, as a hand's pointer comes: the first one over a window can reach it as its
    # entering only.
    pointer_to $((ARROW_X - 2)) "$ARROW_Y"
    pointer_to "$ARROW_X" "$ARROW_Y"
    expect_within 4 "the window did not unroll under the pointer (round $round)" \
        window_height_is "$UNROLLED_HEIGHT"
    pointer_to_screen 900 600
    expect_within 4 "the window did not roll itself up again when left at once (round $round)" \
        window_height_is "$ROLLED_UP_HEIGHT"
done

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

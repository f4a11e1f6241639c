#!/usr/bin/env bash
# The two Syncthing daemons the sync tests run on: a file written into the folder on A arrives
# on B, and one deleted on B goes from A; the wait for the two to agree returns only once they
# do.
#
# usage: syncthing_pair.sh PATH/TO/zentavo PATH/TO/zentavo-newdb

source "$(dirname "$0")/lib.sh" "$@"
# shellcheck source=../support/syncthing-pair.sh
source "$(dirname "$0")/../support/syncthing-pair.sh"

pair_start "$DIR/pair"

printf 'från A\n' >"$PAIR_FOLDER_A/anteckning.txt"
arrived_on_b() { [[ $(cat "$PAIR_FOLDER_B/anteckning.txt" 2>/dev/null) == "från A" ]]; }
expect_within 30 "the file written on A did not arrive on B" arrived_on_b

printf 'också från A\n' >"$PAIR_FOLDER_A/andra.txt"
pair_wait_in_sync
[[ $(cat "$PAIR_FOLDER_B/andra.txt" 2>/dev/null) == "också från A" ]] ||
    fail "the daemons agreed before the second file written on A was on B"

rm "$PAIR_FOLDER_B/anteckning.txt"
pair_wait_in_sync
[[ ! -e $PAIR_FOLDER_A/anteckning.txt ]] ||
    fail "the daemons agreed before the file deleted on B was gone from A"
[[ -e $PAIR_FOLDER_A/andra.txt ]] || fail "deleting one file on B took another from A"
exit 0

#!/usr/bin/env bash
# Time zentavo-notes takes for sync rounds on a database of many notes: the first round into an
# empty folder (every note written out), the first round of an empty database from that full
# folder (every note taken in), and a round with nothing new (median), each a whole run of the
# program (once reading every note, once left alone long enough to skip that); beside them the run of a command that does next to nothing (showing the sync folder),
# which is what starting the program costs.
#
# Usage: sync.sh [--runs N] [--notes N] [--settle SECONDS] ZENTAVO-NOTES
set -euo pipefail

runs=11
notes=10000
settle=4
source "$(dirname "$0")/lib.sh"
take_options "$0 [--runs N] [--notes N] [--settle SECONDS] ZENTAVO-NOTES" 1 runs notes settle -- "$@"
set -- "${operands[@]}"
tool=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-sync-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# What sync remembers and the folders chosen go to folders of the run's own.
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"
mkdir "$work/a" "$work/b" "$work/folder"

"$tool" new "$work/a/memo.mdb"
"$tool" new "$work/b/memo.mdb"
sqlite3 "$work/a/memo.mdb" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n
    WHERE i < $notes) INSERT INTO Memo (Titel, Text) SELECT 'Anteckning ' || i,
    'Att göra den ' || i || ':a: ringa, handla, skriva.' FROM n;"
"$tool" --db "$work/a/memo.mdb" sync-folder "$work/folder"
"$tool" --db "$work/b/memo.mdb" sync-folder "$work/folder"

out=$(ms "$tool" --db "$work/a/memo.mdb" sync)
in=$(ms "$tool" --db "$work/b/memo.mdb" sync)
count=$(sqlite3 "$work/b/memo.mdb" "SELECT count(*) FROM Memo")
[[ $count -eq $notes ]] || { echo "took in $count notes of $notes" >&2; exit 1; }
# A round with nothing new skips reading the notes only once memo.mdb and the folder have been
# left alone for a few seconds, as between the window's timed rounds.
"$tool" --db "$work/a/memo.mdb" sync >/dev/null
sleep "$settle"
"$tool" --db "$work/a/memo.mdb" sync >/dev/null
full=$(ms "$tool" --db "$work/b/memo.mdb" sync)
idle_ms=() start_ms=()
for ((i = 0; i < runs; i++)); do
    idle_ms+=("$(ms "$tool" --db "$work/a/memo.mdb" sync)")
    start_ms+=("$(ms "$tool" --db "$work/a/memo.mdb" sync-folder)")
done
echo "notes $notes: first round out $out ms, first round in $in ms;" \
    "round with nothing new (median of $runs) $(printf '%s\n' "${idle_ms[@]}" | median) ms," \
    "the same reading every note $full ms," \
    "starting the program $(printf '%s\n' "${start_ms[@]}" | median) ms"

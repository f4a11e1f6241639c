#!/usr/bin/env bash
# Time zentavo-notes takes to export every note of a database, to back it up and to import the
# exported files again, on a database of many notes; medians over the runs.
#
# Usage: export.sh [--runs N] [--notes N] ZENTAVO-NOTES
set -euo pipefail

runs=5
notes=10000
source "$(dirname "$0")/lib.sh"
take_options "$0 [--runs N] [--notes N] ZENTAVO-NOTES" 1 runs notes -- "$@"
set -- "${operands[@]}"
tool=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-export-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$tool" new "$work/memo.mdb"
sqlite3 "$work/memo.mdb" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n
    WHERE i < $notes) INSERT INTO Memo (Titel, Text) SELECT 'Anteckning ' || i,
    'Att göra den ' || i || ':a: ringa, handla, skriva.' FROM n;"

export_ms=() backup_ms=() import_ms=()
for ((i = 0; i < runs; i++)); do
    rm -rf "$work/out" "$work/copy.mdb" "$work/into.mdb"
    export_ms+=("$(ms "$tool" --db "$work/memo.mdb" export "$work/out")")
    backup_ms+=("$(ms "$tool" --db "$work/memo.mdb" backup "$work/copy.mdb")")
    "$tool" new "$work/into.mdb"
    import_ms+=("$(ms "$tool" --db "$work/into.mdb" import "$work/out"/*.txt)")
done
count=$(find "$work/out" -name '*.txt' | wc -l)
[[ $count -eq $notes ]] || { echo "exported $count files of $notes notes" >&2; exit 1; }
echo "notes $notes runs $runs (median ms): export $(printf '%s\n' "${export_ms[@]}" | median)" \
    "backup $(printf '%s\n' "${backup_ms[@]}" | median)" \
    "import $(printf '%s\n' "${import_ms[@]}" | median)"

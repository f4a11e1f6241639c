#!/usr/bin/env bash
# Time zentavo-notes takes to search a database of many kilobyte notes, as whole runs: the first
# (which makes the index), then searches with the index up to date (median): one note found, a
# hundredth of the notes, and every note ("k", the first key typed), the peak resident
# memory of a search against that of listing the notes, the size of the index, and the searches
# once every note has changed behind the index.
#
# Usage: search.sh [--runs N] [--notes N] ZENTAVO-NOTES
set -euo pipefail

runs=11
notes=100000
source "$(dirname "$0")/lib.sh"
take_options "$0 [--runs N] [--notes N] ZENTAVO-NOTES" 1 runs notes -- "$@"
set -- "${operands[@]}"
tool=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-search-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The index goes to a cache folder of the run's own.
export XDG_CACHE_HOME="$work/cache"

# The same notes as the benchmark program's kilobyte notes (bench/BenchDatabase.cpp).
"$tool" new "$work/memo.mdb"
sqlite3 "$work/memo.mdb" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n
    WHERE i < $notes) INSERT INTO Memo (Titel, Text) SELECT 'Anteckning ' || i,
    'Möte med kund' || i || ' om order ' || (i * 7919 % 100003) || '. ' ||
    substr(replace(hex(zeroblob(16)), '00', CASE i % 4
    WHEN 0 THEN 'Ringa leverantören om priset på kapaciteten i Östersund. '
    WHEN 1 THEN 'Handla mjölk, bröd och ägg till helgens fika hos grannarna. '
    WHEN 2 THEN 'Skriva rapporten om årets budget och skicka den till styrelsen. '
    ELSE 'Boka tid för service av bilen och fråga om vinterdäcken. ' END), 1, 960) FROM n;"
# Made a while ago, as a database searched usually was, so that the index vouches for it.
touch -d '1 minute ago' "$work/memo.mdb"

# kb COMMAND...: the peak resident memory of a run, in kB.
kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

first=$(ms "$tool" --db "$work/memo.mdb" search kund4711)
one_ms=() some_ms=() every_ms=()
for ((i = 0; i < runs; i++)); do
    one_ms+=("$(ms "$tool" --db "$work/memo.mdb" search kund4711)")
    some_ms+=("$(ms "$tool" --db "$work/memo.mdb" search möte kund47)")
    every_ms+=("$(ms "$tool" --db "$work/memo.mdb" search k)")
done
found=$("$tool" --db "$work/memo.mdb" search möte kund4711 | wc -l)
[[ $found -eq $((notes >= 47110 ? 11 : notes >= 4711 ? 1 : 0)) ]] ||
    { echo "found $found notes" >&2; exit 1; }
search_kb=$(kb "$tool" --db "$work/memo.mdb" search kund4711)
list_kb=$(kb "$tool" --db "$work/memo.mdb" list)
index_kb=$(du -sk "$XDG_CACHE_HOME/zentavo/search" | cut -f1)
# Every note changed behind the index (as when a copy from another machine replaces the notes):
# the first search catches up, and those after it must be as fast as before.
sqlite3 "$work/memo.mdb" "UPDATE Memo SET Text = Text || ' ';"
touch -d '30 seconds ago' "$work/memo.mdb"
changed_first=$(ms "$tool" --db "$work/memo.mdb" search kund4711)
changed_ms=()
for ((i = 0; i < runs; i++)); do
    changed_ms+=("$(ms "$tool" --db "$work/memo.mdb" search k)")
done
echo "notes $notes runs $runs: first run (makes the index) ${first} ms;" \
    "median ms: kund4711 $(printf '%s\n' "${one_ms[@]}" | median)," \
    "möte kund47 $(printf '%s\n' "${some_ms[@]}" | median)," \
    "k $(printf '%s\n' "${every_ms[@]}" | median);" \
    "peak kB: search $search_kb, list $list_kb; index $index_kb kB;" \
    "every note changed: first run ${changed_first} ms, then k $(printf '%s\n' "${changed_ms[@]}" | median) ms"

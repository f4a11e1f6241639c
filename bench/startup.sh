#!/usr/bin/env bash
# Start-up cost of Zentavo under Xvfb with openbox, beside the floor (a minimal frameless,
# always-on-top Qt window): the time from exec to the first painted frame, and the peak resident
# memory, for Zentavo on an empty database and on one of many notes; medians over the runs.
#
# Usage: startup.sh [--runs N] [--notes N] ZENTAVO ZENTAVO-NEWDB ZENTAVO-FLOOR
set -euo pipefail

runs=10
notes=10000
while [[ $# -gt 0 && $1 == --* ]]; do
    case $1 in
    --runs) runs=$2; shift 2 ;;
    --notes) notes=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
[[ $# -eq 3 ]] || { echo "usage: $0 [--runs N] [--notes N] ZENTAVO NEWDB FLOOR" >&2; exit 2; }
FLOOR=$(realpath "$3")
# The end-to-end library brings the private X server, window manager and clean-up.
source "$(dirname "$0")/../tests/e2e/lib.sh" "$1" "$2"
start_display

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Fills the program folder's memo.mdb with COUNT notes.
make_database() {
    rm -f "$DB"
    create_database
    sql "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $1)
         INSERT INTO Memo (Titel, Text) SELECT 'Anteckning ' || i, 'Att göra ' || i FROM n;"
}

# One start of PROGRAM [ARGS] in the program folder: prints "<ms to first frame> <peak KiB>".
measure_once() {
    local out="$DIR/first-frame" rss="$DIR/rss" started frame pid
    rm -f "$out" "$rss"
    started=$(date +%s%6N)
    (cd "$APP" && exec env QT_QPA_PLATFORM=xcb ZENTAVO_REPORT_FIRST_FRAME=1 \
        /usr/bin/time -f %M -o "$rss" "$@" >"$out" 2>/dev/null) &
    pid=$!
    frame_reported() { grep -q '^first-frame ' "$out" 2>/dev/null; }
    expect_within 30 "$1 showed no first frame" frame_reported
    frame=$(awk '/^first-frame/ { print $2; exit }' "$out")
    pkill -TERM -P "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    awk -v a="$started" -v b="$frame" -v m="$(tail -n1 "$rss")" \
        'BEGIN { printf "%.1f %d\n", (b - a) / 1000, m }'
}

# Runs PROGRAM [ARGS] `runs` times; prints "<median ms> <median peak KiB>".
measure() {
    local results="$DIR/results" i
    : >"$results"
    for ((i = 0; i < runs; i++)); do
        measure_once "$@" >>"$results" || exit 1
    done
    echo "$(cut -d' ' -f1 "$results" | median) $(cut -d' ' -f2 "$results" | median)"
}

cp "$E2E_PROGRAM" "$APP/zentavo"
read -r floor_ms floor_kb < <(measure "$FLOOR")
read -r caption_ms caption_kb < <(measure "$FLOOR" --caption)
make_database 0
read -r empty_ms empty_kb < <(measure "$APP/zentavo")
[[ -n $empty_ms ]] || fail "no figures for zentavo"
make_database "$notes"
read -r many_ms many_kb < <(measure "$APP/zentavo")
db_kb=$(($(stat -c %s "$DB") / 1024))

printf '%-28s %12s %8s %14s %8s\n' "program ($runs runs, median)" "first frame" "ratio" "peak RSS" "ratio"
row() { # NAME MS KB
    printf '%-28s %9.1f ms %7.2fx %10d KiB %7.2fx\n' "$1" "$2" \
        "$(awk -v a="$2" -v b="$floor_ms" 'BEGIN { print a / b }')" "$3" \
        "$(awk -v a="$3" -v b="$floor_kb" 'BEGIN { print a / b }')"
}
row "floor (Qt window)" "$floor_ms" "$floor_kb"
row "floor with one caption" "$caption_ms" "$caption_kb"
row "zentavo, 0 notes" "$empty_ms" "$empty_kb"
row "zentavo, $notes notes" "$many_ms" "$many_kb"
echo "database of $notes notes: $db_kb KiB"
exit 0

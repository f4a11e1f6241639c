#!/usr/bin/env bash
# Start-up cost of Zentavo under Xvfb with openbox, beside the floor (a minimal frameless,
# always-on-top Qt window): the time from exec to the first painted frame, and the peak resident
# memory, for Zentavo on an empty database, on one of many notes, on an empty one with a 10 MB
# draft of an unsaved note waiting to be restored, and on one whose notes are kept in a sync
# folder; medians over the runs.
#
# Usage: startup.sh [--runs N] [--notes N] [--many N] [--index STATE[,STATE...]] ZENTAVO
#                   ZENTAVO-NEWDB ZENTAVO-FLOOR
# (Zentavo is measured at 0, --notes and --many notes.) --index measures each note count once
# for each state of the database's search index, prepared before the runs: missing (none made),
# present (made by a search with zentavo-notes, which must lie beside ZENTAVO, and up to date) or
# stale (made, then a note imported behind it). The start must neither wait for the index nor
# touch it: the script fails if the index changed during the runs.
set -euo pipefail

runs=31
notes=10000
many=100000
index=""
source "$(dirname "$0")/lib.sh"
take_options "$0 [--runs N] [--notes N] [--many N] [--index missing,present,stale] ZENTAVO NEWDB FLOOR" 3 runs notes many index -- "$@"
set -- "${operands[@]}"
IFS=, read -r -a states <<<"$index"
[[ ${#states[@]} -gt 0 ]] || states=("")
for state in "${states[@]}"; do
    case $state in
    "" | missing | present | stale) ;;
    *) echo "--index takes missing, present or stale" >&2; exit 2 ;;
    esac
done
FLOOR=$(realpath "$3")
NOTES_TOOL=$(dirname "$(realpath "$1")")/zentavo-notes
# The end-to-end library brings the private X server, window manager and clean-up.
source "$(dirname "$0")/../tests/e2e/lib.sh" "$1" "$2"
start_display
# The search index of every database and the sync settings go to folders of the run's own.
export XDG_CACHE_HOME="$DIR/cache" XDG_CONFIG_HOME="$DIR/config"

# Fills the program folder's memo.mdb with COUNT notes.
make_database() {
    rm -f "$DB"
    create_database
    sql "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $1)
         INSERT INTO Memo (Titel, Text) SELECT 'Anteckning ' || i, 'Att göra ' || i FROM n;"
}

# One start of PROGRAM [ARGS] in the program's own folder: prints "<ms to first frame> <peak KiB>".
measure_once() {
    local marker="$DIR/first-frame" rss="$DIR/rss" started frame="" word value pid
    rm -f "$marker" "$rss"
    mkfifo "$marker"
    started=$(date +%s%6N)
    (cd "$(dirname "$1")" && exec env QT_QPA_PLATFORM=xcb \
        /usr/bin/time -f %M -o "$rss" "$@" >"$marker" 2>/dev/null) &
    pid=$!
    # The marker is read as it comes, without polling: a poll would take the processor from the
    # very start it measures.
    exec 3<"$marker"
    while read -r -t 30 word value <&3; do
        [[ $word == first-frame ]] && { frame=$value; break; }
    done
    [[ -n $frame ]] || fail "$1 showed no first frame"
    # What the program does right after its first frame (filling the note list) counts in its
    # peak memory: let it happen before stopping the program.
    sleep 0.5
    pkill -TERM -P "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    exec 3<&-
    awk -v a="$started" -v b="$frame" -v m="$(tail -n1 "$rss")" \
        'BEGIN { printf "%.1f %d\n", (b - a) / 1000, m }'
}

# Prepares the search index of the database in FOLDER: STATE is missing, present or stale.
prepare_index() { # FOLDER STATE
    local db="$1/memo.mdb"
    [[ $2 == "" || $2 == missing ]] && return 0
    [[ -x $NOTES_TOOL ]] || fail "--index $2 needs zentavo-notes beside the program: $NOTES_TOOL"
    # Dated a while back, as a database searched before is, so that the index vouches for it.
    touch -d '1 minute ago' "$db"
    "$NOTES_TOOL" --db "$db" search anteckning >/dev/null || fail "the search that makes the index failed"
    if [[ $2 == stale ]]; then
        printf 'Tillagd efter att indexet gjordes.\n' >"$DIR/Tillagd.txt"
        "$NOTES_TOOL" --db "$db" import "$DIR/Tillagd.txt" >/dev/null ||
            fail "zentavo-notes import failed"
    fi
}

# One program folder for each note count (and each state of the index), made before any run:
# nothing is copied or written between the runs.
counts=(0 "$notes" "$many")
starts=()
: >"$DIR/floor"
for count in "${counts[@]}"; do
    for state in "${states[@]}"; do
        which=$count${state:+-$state}
        starts+=("$which")
        : >"$DIR/zentavo-$which"
        make_database "$count"
        mkdir -p "$DIR/app-$which"
        cp "$E2E_PROGRAM" "$DIR/app-$which/zentavo"
        mv "$DB" "$DIR/app-$which/memo.mdb"
        prepare_index "$DIR/app-$which" "$state"
    done
done
# What the cache holds (every file with its size and modification time), to compare after the runs.
cache_listing() {
    [[ -d $XDG_CACHE_HOME ]] || return 0
    find "$XDG_CACHE_HOME" -type f -printf '%p %s %T@\n' | sort
}
cache_before=$(cache_listing)

# A 10 MB draft waiting for an empty database, as a program that ended without saving leaves it.
# The program restores it at every start and keeps it again when it is stopped.
make_database 0
mkdir -p "$DIR/app-draft"
cp "$E2E_PROGRAM" "$DIR/app-draft/zentavo"
mv "$DB" "$DIR/app-draft/memo.mdb"
draft_key=$(printf '%s' "$(realpath "$DIR/app-draft/memo.mdb")" | sha256sum | cut -c1-32)
draft_folder="$XDG_STATE_HOME/zentavo/drafts/$draft_key"
mkdir -p "$draft_folder"
chmod 0700 "$XDG_STATE_HOME/zentavo" "$XDG_STATE_HOME/zentavo/drafts" "$draft_folder"
line="En rad i ett långt utkast som aldrig sparades, med åäö och lite mer text."
head -c $((10 * 1024 * 1024)) < <(yes "$line") >"$DIR/draft.txt"
{
    printf 'ZENTAVO-DRAFT 1\nTEXT %d\n\n' "$(stat -c %s "$DIR/draft.txt")"
    cat "$DIR/draft.txt"
} >"$draft_folder/benchmark.draft"
: >"$DIR/zentavo-draft"
# The notes of a middle count kept in a sync folder, already written out there: each start runs a
# round after its first frame, which finds nothing new.
make_database "$notes"
mkdir -p "$DIR/app-synced" "$DIR/sync-folder"
cp "$E2E_PROGRAM" "$DIR/app-synced/zentavo"
mv "$DB" "$DIR/app-synced/memo.mdb"
"$NOTES_TOOL" --db "$DIR/app-synced/memo.mdb" sync-folder "$DIR/sync-folder" >/dev/null ||
    fail "zentavo-notes sync-folder failed"
"$NOTES_TOOL" --db "$DIR/app-synced/memo.mdb" sync >/dev/null || fail "zentavo-notes sync failed"
: >"$DIR/zentavo-synced"
sync
# The runs of the floor and of Zentavo at each note count are interleaved, so that a change in
# the machine's load touches all of them alike, and each round begins with the next of them, so
# that none always runs first.
# The synced start comes before the draft's: the start after the draft's (the floor's, as before
# there was a synced one) shares the machine with the writing of the 10 MB draft it kept.
programs=(floor "${starts[@]}" synced draft)
for ((i = 0; i < runs; i++)); do
    for ((j = 0; j < ${#programs[@]}; j++)); do
        which=${programs[(i + j) % ${#programs[@]}]}
        if [[ $which == floor ]]; then
            measure_once "$FLOOR" >>"$DIR/floor" || exit 1
        else
            measure_once "$DIR/app-$which/zentavo" --report-first-frame >>"$DIR/zentavo-$which" \
                || exit 1
        fi
    done
done
medians() { echo "$(cut -d' ' -f1 "$1" | median) $(cut -d' ' -f2 "$1" | median)"; }
fastest() { cut -d' ' -f1 "$1" | sort -n | head -n1; }
read -r floor_ms floor_kb < <(medians "$DIR/floor")
floor_fastest=$(fastest "$DIR/floor")

# The median says what a start costs on this machine as it is; the fastest start, what the
# program itself costs, with the least of the machine's other load in it.
printf '%-36s %12s %7s %10s %7s %14s %7s\n' "program ($runs runs)" "median" "ratio" \
    "fastest" "ratio" "peak RSS" "ratio"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }
row() { # NAME MS FASTEST KB
    printf '%-36s %9.1f ms %7s %7.1f ms %7s %10d KiB %7s\n' "$1" "$2" "$(ratio "$2" "$floor_ms")" \
        "$3" "$(ratio "$3" "$floor_fastest")" "$4" "$(ratio "$4" "$floor_kb")"
}
row "floor (Qt window, 3 widgets)" "$floor_ms" "$floor_fastest" "$floor_kb"
for which in "${starts[@]}"; do
    read -r ms kb < <(medians "$DIR/zentavo-$which")
    name="zentavo, ${which%%-*} notes"
    [[ $which == *-* ]] && name="$name, index ${which#*-}"
    row "$name" "$ms" "$(fastest "$DIR/zentavo-$which")" "$kb"
done
read -r ms kb < <(medians "$DIR/zentavo-draft")
row "zentavo, 10 MB draft" "$ms" "$(fastest "$DIR/zentavo-draft")" "$kb"
read -r ms kb < <(medians "$DIR/zentavo-synced")
row "zentavo, $notes notes, synced" "$ms" "$(fastest "$DIR/zentavo-synced")" "$kb"
# The draft was restored at each start and kept again at each stop.
[[ $(find "$draft_folder" -name '*.draft' | wc -l) -eq 1 ]] ||
    fail "the waiting draft was not kept as one draft across the starts"
[[ $(cache_listing) == "$cache_before" ]] || fail "the starts changed the search index"
exit 0

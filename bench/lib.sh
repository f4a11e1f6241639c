# shellcheck shell=bash
# What the benchmark scripts share: their options and the figures they take. Source it.

# take_options USAGE COUNT NAME... -- "$@": sets the variable NAME (which holds its default) from
# each "--NAME VALUE" at the front of the arguments, and leaves the rest, which must be COUNT, in
# the array `operands`; otherwise prints the usage and ends the script.
take_options() {
    local usage=$1 count=$2 names=()
    shift 2
    while [[ $1 != -- ]]; do
        names+=("$1")
        shift
    done
    shift
    while [[ $# -gt 0 && $1 == --* ]]; do
        local name=${1#--}
        if [[ $# -lt 2 || " ${names[*]} " != *" $name "* ]]; then
            echo "unknown option $1; usage: $usage" >&2
            exit 2
        fi
        printf -v "$name" %s "$2"
        shift 2
    done
    if [[ $# -ne $count ]]; then
        echo "usage: $usage" >&2
        exit 2
    fi
    # shellcheck disable=SC2034 # read by the script that sources this file
    operands=("$@")
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# ms COMMAND...: runs it, printing how many milliseconds it took; fails when it fails.
ms() {
    local started
    started=$(date +%s%N)
    "$@" >/dev/null
    echo $((($(date +%s%N) - started) / 1000000))
}

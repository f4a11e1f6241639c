#!/usr/bin/env bash
# Runs the store's and the window's test binaries and the benchmark smoke run of the release
# build under valgrind's memcheck; fails on any error it reports (invalid reads, writes or frees,
# uses of uninitialised values). Takes several minutes; not part of the test command. Like every
# test, each runs with a home of its own (tests/support/own-home.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh >/dev/null
export QT_QPA_PLATFORM=offscreen
memcheck=(tests/support/own-home.sh valgrind --error-exitcode=9 -q --suppressions="$PWD/tests/valgrind.supp")
failed=0
for test in build/tests/store/tst_* build/tests/window/tst_* build/tests/runtime/tst_*; do
    [[ -x $test && ! -d $test ]] || continue
    if ! "${memcheck[@]}" "$test" >"/tmp/valgrind-$(basename "$test").log" 2>&1; then
        echo "valgrind: $test failed; see /tmp/valgrind-$(basename "$test").log" >&2
        failed=1
    fi
done
if ! "${memcheck[@]}" build/bench/zentavo_bench --benchmark_min_time=0.001 \
    >/tmp/valgrind-bench.log 2>&1; then
    echo "valgrind: the benchmark smoke run failed; see /tmp/valgrind-bench.log" >&2
    failed=1
fi
[[ $failed -eq 0 ]] && echo "valgrind: no errors"
exit "$failed"

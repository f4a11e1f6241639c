#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds Zentavo twice (with AddressSanitizer and
# UndefinedBehaviorSanitizer, and as released) and runs every test in each build: unit tests on
# Qt's offscreen platform, end-to-end tests of the real program under Xvfb with openbox, and a
# short smoke run of each benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/generator.sh

scripts/install-deps.sh
scripts/check-format.sh

jobs=$(nproc)

# The sanitizer build runs the unit tests: the end-to-end tests drive the same code through the
# real program and are run by the release build below.
cmake -S . -B build-asan $(generator build-asan) -DCMAKE_BUILD_TYPE=Debug -DZENTAVO_SANITIZE=ON \
    -DZENTAVO_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE "e2e|leakcheck"
# The store's tests (and the driver processes they start) run with LeakSanitizer as well; the
# suppressions cover allocations of font and platform libraries that live as long as a process.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/reliability/lsan.supp" \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -L leakcheck

scripts/build.sh
ctest --test-dir build --output-on-failure -j "$jobs"

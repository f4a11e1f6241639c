#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the scripts, builds Zentavo twice (with
# AddressSanitizer and UndefinedBehaviorSanitizer, and as released) and runs every test in each
# build: unit tests on Qt's offscreen platform, end-to-end tests of the real program under Xvfb
# with openbox, and a short smoke run of each benchmark. Each step is a preset of
# CMakePresets.json, so any of them can be run by hand the same way.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-format.sh
scripts/check-scripts.sh

jobs=$(nproc)

# The sanitizer build runs everything but the end-to-end tests, which drive the same code through
# the real program and are run by the release build below; the store's tests (and the driver
# processes they start) run once more with LeakSanitizer.
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j "$jobs"
ctest --preset asan-leakcheck -j "$jobs"

cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release -j "$jobs"

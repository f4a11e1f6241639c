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

# Most tests spend their time waiting (for a display server, a window, a child process, a file),
# not computing: twice as many at once as there are processors keeps the processors busy. Each
# test has its own home, display and bus, so nothing is shared between them.
test_jobs=$(($(nproc) * 2))

# Compiled objects are kept by ccache where it is installed, in a folder of the user's own under
# /var/tmp (or CCACHE_DIR): not in the build folders, so that a run on the same machine reuses it
# in every checkout, for both builds and for the Debian package the package test builds (which
# runs with a home of its own, so it is told where the cache is); not in the home either, which a
# test run leaves as it found it. Without ccache the builds compile as before.
# A folder there that is not the user's own (made by someone else first) is not used: whoever
# can write the cache chooses what the build links.
launcher=()
own_cache=/var/tmp/zentavo-ccache-$(id -u)
if [[ -z ${CCACHE_DIR:-} ]] && mkdir -p "$own_cache" && [[ -O $own_cache && ! -L $own_cache ]]; then
    chmod 700 "$own_cache"
    export CCACHE_DIR=$own_cache
fi
# Paths below the checkout are hashed as relative ones, so that a fresh clone elsewhere hits too.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
if command -v ccache >/dev/null && [[ -n ${CCACHE_DIR:-} ]]; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# The sanitizer build runs everything but the end-to-end tests, which drive the same code through
# the real program and are run by the release build below; the store's tests (and the driver
# processes they start) run once more with LeakSanitizer.
cmake --preset asan "${launcher[@]}" >/dev/null
cmake --build --preset asan
ctest --preset asan -j "$test_jobs"
ctest --preset asan-leakcheck -j "$test_jobs"

cmake --preset release "${launcher[@]}" >/dev/null
cmake --build --preset release
ctest --preset release -j "$test_jobs"

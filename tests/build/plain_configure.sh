#!/usr/bin/env bash
# A plain configure, as a packager or a user building by hand does it, on a machine with Qt and
# a compiler but none of the test tools: no Google Benchmark, and a PATH without Xvfb, openbox,
# xdotool or weston. It must succeed, say in one line each what it skips and which package
# brings it, compile without -Werror, and build the note database tool.
# Usage: plain_configure.sh SOURCE_DIR
set -euo pipefail

source_dir=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-plain.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL [plain configure]: $*" >&2
    exit 1
}

# Only what the compiler itself runs is on PATH, and no compiler launcher (such as ccache) comes
# in from the caller's environment.
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
mkdir "$work/bin"
for tool in as ld; do
    ln -s "$(command -v "$tool")" "$work/bin/$tool"
done
cmake=$(command -v cmake)
ninja=$(command -v ninja)
compiler=$(command -v c++)

env PATH="$work/bin" "$cmake" -S "$source_dir" -B "$work/build" -G Ninja \
    -DCMAKE_MAKE_PROGRAM="$ninja" -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/configure.log" 2>&1 ||
    fail "configure failed: $(tail -n 20 "$work/configure.log")"

grep -q 'Skipping the benchmarks: .*libbenchmark-dev' "$work/configure.log" ||
    fail "no line saying the benchmarks are skipped and which package brings them"
grep -q 'Skipping the end-to-end tests: .*xvfb' "$work/configure.log" ||
    fail "no line saying the end-to-end tests are skipped and which packages bring them"
if grep -q -- '-Werror' "$work/build/compile_commands.json"; then
    fail "a plain build compiles with -Werror"
fi

env PATH="$work/bin" "$cmake" --build "$work/build" --target zentavo-newdb >"$work/build.log" 2>&1 ||
    fail "zentavo-newdb did not build: $(tail -n 20 "$work/build.log")"
"$work/build/zentavo-newdb" "$work/memo.mdb" || fail "the tool built does not make a database"

#!/usr/bin/env bash
# Runs every benchmark on the release build (building it first) and prints the figures that
# docs/PERFORMANCE.md records. Takes a few minutes; run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh

echo "== store and window (offscreen)"
QT_QPA_PLATFORM=offscreen build/bench/zentavo_bench --benchmark_min_time=0.5
echo "== start-up (Xvfb + openbox)"
bench/startup.sh --runs 31 --notes 10000 --many 100000 build/zentavo build/zentavo-newdb build/bench/zentavo-floor
echo "== zentavo-notes: export, backup and import"
bench/export.sh --runs 5 --notes 10000 build/zentavo-notes
echo "== zentavo-notes: sync rounds"
bench/sync.sh --runs 11 --notes 10000 build/zentavo-notes
echo "== idle"
bench/idle.sh --seconds 30 build/zentavo build/zentavo-newdb

#!/usr/bin/env bash
# Installs what is missing, builds Zentavo into build/ and starts it on build/memo.mdb
# (an empty note database is made there by the build when none exists).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/generator.sh

scripts/install-deps.sh
cmake -S . -B build $(generator build) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exec build/zentavo

#!/usr/bin/env bash
# Installs what is missing and builds Zentavo as released into build/ (the program at
# build/zentavo, an empty build/memo.mdb beside it when none is there).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/generator.sh

scripts/install-deps.sh
cmake -S . -B build $(generator build) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

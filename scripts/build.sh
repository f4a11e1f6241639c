#!/usr/bin/env bash
# Installs what is missing and builds Zentavo as released into build/ (the program at
# build/zentavo, an empty build/memo.mdb beside it when none is there), with the "release"
# preset: the same build CI tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

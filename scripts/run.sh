#!/usr/bin/env bash
# Installs what is missing, builds Zentavo into build/ and starts it on build/memo.mdb
# (an empty note database is made there by the build when none exists).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh
exec build/zentavo

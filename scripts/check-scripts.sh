#!/usr/bin/env bash
# Fails, with shellcheck's findings, when a shell script in the repository has one.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t scripts < <(git ls-files '*.sh' .ci/run)
[ ${#scripts[@]} -eq 0 ] && exit 0
shellcheck --external-sources --source-path=SCRIPTDIR "${scripts[@]}"

#!/bin/sh
# Runs one test with a home and XDG folders of its own, made empty for it and removed after it,
# so that nothing of a test run lands in the home of whoever runs the tests, and no test sees
# another's drafts, caches or settings. The session bus of whoever runs the tests is not handed
# on either: a test that needs a bus starts its own.
# Usage: own-home.sh COMMAND [ARGUMENT...]
set -eu
home=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-test-home.XXXXXX")
trap 'rm -rf "$home"' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
mkdir -m 0700 "$home/runtime"
export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"
export XDG_DATA_HOME="$home/.local/share"
export XDG_STATE_HOME="$home/.local/state"
export XDG_CACHE_HOME="$home/.cache"
export XDG_RUNTIME_DIR="$home/runtime"
unset DBUS_SESSION_BUS_ADDRESS
status=0
"$@" || status=$?
exit "$status"

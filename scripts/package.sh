#!/usr/bin/env bash
# Builds the Debian package zentavo_1.0-1_amd64.deb the Debian way, with dpkg-buildpackage, from
# a copy of this source tree (the build's by-products stay out of it), installing what that
# needs first. The package installs Zentavo for every user of the machine: the programs in
# /usr/bin, each user's notes in their own ~/.local/share/zentavo/memo.mdb.
# Prints the path of the package; lintian's findings, if any, go to standard error.
# Usage: scripts/package.sh [OUTPUT_DIR]   (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-build-package}")
scripts/install-deps.sh --package

work=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
source="$work/zentavo-1.0"
mkdir "$source"
# The working tree as it is, without version control and build folders.
tar --exclude=./.git --exclude='./build*' --exclude=./.cache --exclude=./obj-\* -cf - . |
    tar -C "$source" -xf -

# Where ccache is installed, the compiler runs through it, so that building the package again
# reuses what an earlier build compiled. The folder the source is copied to is new each time:
# the paths below it count as relative (the compiler is told to record them so already).
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$source"
fi

log="$work/build.log"
if ! (cd "$source" && dpkg-buildpackage -us -uc -b -J"$(nproc)") >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "package.sh: dpkg-buildpackage failed" >&2
    exit 1
fi

mkdir -p "$out"
mv -f "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$out/"
# lintian reads the package, its debug symbols and the build's record through the .changes; its
# remark on being run as root is no finding.
lintian "$out/zentavo_1.0-1_amd64.changes" 2>&1 | grep -v '^running with root privileges' >&2 || true
echo "$out/zentavo_1.0-1_amd64.deb"

#!/usr/bin/env bash
# Installs the build into a fresh folder and checks that it is a working portable folder: the
# program with an empty database beside it, never overwritten by a second install, and the
# launcher, icons and metadata where the desktop looks for them.
# Usage: install.sh BUILD_DIR
set -euo pipefail

build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/zentavo-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT

fail() {
    echo "FAIL [install]: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

for file in bin/zentavo bin/zentavo-newdb bin/zentavo-notes bin/memo.mdb \
    share/applications/zentavo.desktop \
    share/icons/hicolor/16x16/apps/zentavo.png \
    share/icons/hicolor/32x32/apps/zentavo.png \
    share/icons/hicolor/scalable/apps/zentavo.svg \
    share/metainfo/se.zentavo.Zentavo.metainfo.xml; do
    [[ -s $prefix/$file ]] || fail "missing after install: $file"
done

tables=$(sqlite3 "$prefix/bin/memo.mdb" "SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'Memo'")
[[ $tables == Memo ]] || fail "the installed memo.mdb has no table Memo"

# A second install keeps the notes.
sqlite3 "$prefix/bin/memo.mdb" "INSERT INTO Memo (Titel, Text) VALUES ('behåll', 'mig')"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "second cmake --install failed"
kept=$(sqlite3 "$prefix/bin/memo.mdb" "SELECT Text FROM Memo WHERE Titel = 'behåll'")
[[ $kept == mig ]] || fail "a second install replaced memo.mdb"

# The companion tool beside the program reads the database beside it.
[[ $("$prefix/bin/zentavo-notes" list) == *behåll* ]] ||
    fail "zentavo-notes beside zentavo does not list the memo.mdb beside it"

grep -qx "Exec=$prefix/bin/zentavo" "$prefix/share/applications/zentavo.desktop" \
    || fail "the launcher does not start $prefix/bin/zentavo"
grep -qx "Exec=$prefix/bin/zentavo --new" "$prefix/share/applications/zentavo.desktop" \
    || fail "the launcher's action 'Ny anteckning' does not run zentavo --new"
grep -qx "Exec=$prefix/bin/zentavo --toggle" "$prefix/share/applications/zentavo.desktop" \
    || fail "the launcher's action 'Visa/dölj' does not run zentavo --toggle"
grep -qx "Exec=$prefix/bin/zentavo --find" "$prefix/share/applications/zentavo.desktop" \
    || fail "the launcher's action 'Sök' does not run zentavo --find"
[[ $(identify -format '%wx%h' "$prefix/share/icons/hicolor/16x16/apps/zentavo.png") == 16x16 ]] \
    || fail "the 16 px icon is not 16 x 16"
[[ $(identify -format '%wx%h' "$prefix/share/icons/hicolor/32x32/apps/zentavo.png") == 32x32 ]] \
    || fail "the 32 px icon is not 32 x 32"

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$prefix/share/applications/zentavo.desktop" 2>&1) \
        || fail "desktop-file-validate: $out"
fi
if command -v appstreamcli >/dev/null; then
    out=$(appstreamcli validate --no-net "$prefix/share/metainfo/se.zentavo.Zentavo.metainfo.xml" 2>&1) \
        || fail "appstreamcli validate: $out"
fi
exit 0

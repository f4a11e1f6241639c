#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Zentavo need; skips the
# package lists and the install when everything is there already. Uses sudo when not root.
# With --package, only what building the Debian package needs (scripts/package.sh).
# Usage: install-deps.sh [--package]
set -euo pipefail

# Building the program, and the Debian package of it.
packaging=(
    build-essential cmake
    qt6-base-dev libqt6sql6-sqlite libfontconfig-dev libxcb1-dev pkgconf
    debhelper dpkg-dev fakeroot lintian
)
# Running it, testing it (the package's test included) and measuring it.
developing=(
    ninja-build
    fonts-wine
    libbenchmark-dev
    qt6-base-private-dev
    xvfb xauth openbox xdotool x11-utils x11-xserver-utils imagemagick xclip wmctrl
    dbus dbus-daemon dbus-bin at-spi2-core python3-pyatspi
    weston xwayland qt6-wayland
    sqlite3 time strace clang-format shellcheck
    ccache
    desktop-file-utils appstream
    syncthing
)

case ${1:-} in
--package) packages=("${packaging[@]}") ;;
"") packages=("${packaging[@]}" "${developing[@]}") ;;
*)
    echo "usage: $0 [--package]" >&2
    exit 1
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
# Waits for another package manager run (an unattended upgrade, say) instead of failing at once.
lock_wait=(-o DPkg::Lock::Timeout=300)
# A package run cut off earlier (a killed install) leaves dpkg waiting to be finished first.
$sudo env DEBIAN_FRONTEND=noninteractive dpkg --configure -a
$sudo env DEBIAN_FRONTEND=noninteractive apt-get "${lock_wait[@]}" update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get "${lock_wait[@]}" install -y -q \
    --no-install-recommends "${missing[@]}"

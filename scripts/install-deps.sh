#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Zentavo need; skips the
# package lists and the install when everything is there already. Uses sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build
    qt6-base-dev libqt6sql6-sqlite libfontconfig-dev
    fonts-wine
    libbenchmark-dev
    xvfb xauth openbox xdotool x11-utils x11-xserver-utils imagemagick
    weston xwayland qt6-wayland
    sqlite3 time clang-format shellcheck
    desktop-file-utils appstream
    debhelper dpkg-dev fakeroot lintian
)

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
$sudo env DEBIAN_FRONTEND=noninteractive apt-get "${lock_wait[@]}" update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get "${lock_wait[@]}" install -y -q \
    --no-install-recommends "${missing[@]}"

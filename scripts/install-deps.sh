#!/usr/bin/env bash
# Installs what building needs on Debian 12 or 13; with "test", what testing needs; with "windows",
# what cross-building for Windows and its installer needs; with "wine", what testing that build
# needs besides. Safe to run again.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core)
# Qt for Windows is built from Debian's own source (apt-get source needs dpkg-dev); the host's
# moc, rcc and uic serve it.
case "${1:-}" in
windows) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev nsis imagemagick) ;;
wine) packages+=(wine wine64 fonts-wine xvfb xauth openbox xdotool x11-utils imagemagick binutils dbus) ;;
esac
if [[ "${1:-}" == "test" ]]; then
    packages+=(xvfb xauth openbox xdotool wmctrl x11-utils imagemagick dbus dbus-x11 at-spi2-core
               python3 python3-pyatspi python3-gi gir1.2-atspi-2.0 clang libclang-rt-dev dpkg-dev file
               desktop-file-utils appstream libxcb1-dev valgrind lintian devscripts man-db weston qt6-wayland
               fonts-noto-core fonts-liberation2 debootstrap git orca speech-dispatcher
               speech-dispatcher-audio-plugins)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

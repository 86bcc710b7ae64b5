#!/usr/bin/env bash
# Installs what building and running needs on Debian 12: the i386 architecture,
# the mingw-w64 cross compiler, Wine (32-bit), Xvfb and a few X tools.
# Does nothing when everything is already there.
set -euo pipefail

packages=(cmake g++ make g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-tools
          wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
          libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 googletest)
# The SDK test builds a saver the way Make users do, through lullex.pc.
packages+=(pkg-config)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"

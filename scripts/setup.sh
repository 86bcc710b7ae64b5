#!/usr/bin/env bash
# Installs what building and running needs on Debian 12: the i386 architecture,
# the mingw-w64 cross compilers (i686 and x86_64), Wine (32- and 64-bit), Xvfb, a
# few X tools, NSIS, zip and the signing tool. Changes nothing else on the machine.
# Does nothing when everything is already there.
set -euo pipefail

packages=(cmake g++ make g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-tools
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
          libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 googletest
          nsis zip)   # the setup program and the portable archive
# Signed builds (an option) and their test.
packages+=(osslsigncode openssl)
# The SDK test builds a saver the way Make users do, through lullex.pc.
packages+=(pkg-config)
# ... and as Visual Studio builds them (clang, lld-link, Wine's Windows headers);
# llvm-dlltool writes the SDK's lullex.lib.
packages+=(clang lld llvm wine64-tools)

# Xephyr gives the full-screen saver's test two monitors.
packages+=(xserver-xephyr)

# The native Linux program (build/linux), its Debian package and their tests.
packages+=(gcc libgl-dev libglu1-mesa-dev libx11-dev dpkg-dev lintian xscreensaver xscreensaver-data)

root=$(cd "$(dirname "$0")/.." && pwd)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
}

# An earlier version of this script registered qemu's user-mode emulator for every
# 32-bit program of the machine, where the kernel runs none. A build script has no
# business changing how the machine runs programs: that registration, exactly that
# one, is removed. Such machines now build and test the x64 program instead.
old_runner=/usr/local/bin/nimbra-i386-runner
old_entry=/proc/sys/fs/binfmt_misc/qemu-i386
remove_old_emulator_registration() {
  if grep -qs "^interpreter $old_runner\$" "$old_entry"; then
    echo -1 | $SUDO tee "$old_entry" >/dev/null
    echo "Removed the registration of qemu's emulator for 32-bit programs ($old_entry) that an earlier setup.sh made."
  fi
  if [ -e "$old_runner" ]; then
    $SUDO rm -f "$old_runner"
    echo "Removed $old_runner, which an earlier setup.sh installed."
  fi
}

install_missing "${packages[@]}"
remove_old_emulator_registration

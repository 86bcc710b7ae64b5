#!/usr/bin/env bash
# Installs what building and running needs on Debian 12: the i386 architecture,
# the mingw-w64 cross compiler, Wine (32-bit), Xvfb, a few X tools, NSIS and zip.
# Does nothing when everything is already there.
set -euo pipefail

packages=(cmake g++ make g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-tools
          wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
          libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 googletest
          nsis zip)   # the setup program and the portable archive
# The SDK test builds a saver the way Make users do, through lullex.pc.
packages+=(pkg-config)

# Xephyr gives the full-screen saver's test two monitors.
packages+=(xserver-xephyr)

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

# Some x86_64 kernels run no 32-bit programs (their 32-bit emulation is switched
# off), and Wine's 32-bit side is made of such programs. There the kernel is told to
# start every 32-bit x86 program through qemu's user-mode emulator instead, by way
# of scripts/qemu-i386-runner.c.
runner=/usr/local/bin/nimbra-i386-runner
binfmt=/proc/sys/fs/binfmt_misc
enable_32bit_programs() {
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
  echo "This kernel runs no 32-bit programs; registering qemu's emulator for them."
  install_missing qemu-user-static gcc libc6-dev
  $SUDO gcc -O2 -static -o "$runner" "$root/scripts/qemu-i386-runner.c"
  [ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ -e "$binfmt/qemu-i386" ]; then echo -1 | $SUDO tee "$binfmt/qemu-i386" >/dev/null; fi
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$runner"':F' |
    $SUDO tee "$binfmt/register" >/dev/null
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "32-bit programs still do not run."; return 1; }
}

install_missing "${packages[@]}"
enable_32bit_programs

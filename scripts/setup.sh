#!/usr/bin/env bash
# Installs what building and running needs on Debian 12: the i386 architecture,
# the mingw-w64 cross compilers (i686 and x86_64), Wine (32- and 64-bit), Xvfb, a
# few X tools, NSIS, zip, the signing tool and what the Linux program and its
# package build with. Changes nothing else on the machine. Does nothing when
# everything is already there.
# Usage: setup.sh [GROUP...]: each group adds what only its own use needs:
#   tests   the tests' own tools (scripts/test.sh)
#   bench   the benchmarks' baseline programs (scripts/bench.sh)
set -euo pipefail

packages=(cmake g++ make g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-tools
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
          libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 googletest
          nsis zip)   # the setup program and the portable archive
# Signed builds (an option).
packages+=(osslsigncode openssl)
# The native Linux program (build/linux) and its Debian package.
packages+=(gcc libgl-dev libglu1-mesa-dev libx11-dev dpkg-dev)
# llvm-dlltool writes the SDK's lullex.lib for Visual Studio projects.
packages+=(llvm)

# The tests alone: Xephyr gives the full-screen saver's test two monitors; the SDK
# test builds a saver the way Make users do (pkg-config) and MSVC-ABI clients
# (clang, lld, llvm, wine64-tools); the bitmap decoder's fuzzing and sanitizer
# test (clang's runtimes); the Debian package's check (lintian) and the saver
# daemon the Linux program runs under (xscreensaver).
test_packages=(xserver-xephyr pkg-config clang lld llvm libclang-rt-14-dev wine64-tools
               lintian xscreensaver xscreensaver-data)
# The benchmarks alone: the Linux program's baseline saver (glplanet).
bench_packages=(xscreensaver-gl-extra)

for group in "$@"; do
  case $group in
    tests) packages+=("${test_packages[@]}") ;;
    bench) packages+=("${bench_packages[@]}") ;;
    *) echo "setup.sh: unknown group '$group' (known: tests, bench)." >&2; exit 2 ;;
  esac
done

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

#!/usr/bin/env bash
# Creates a 64-bit Wine prefix once (usage: wineprefix.sh DIR [TEXTURE_DIR]) and
# installs the scene's textures into its C:\windows\NimbraData\ (from TEXTURE_DIR
# when given). The prefix is booted by Wine's 64-bit loader, which runs on every
# x86-64 machine; where 32-bit programs run it also sets up the prefix's 32-bit half.
# .nimbra-ready says which programs the prefix was made for: one made where no
# 32-bit program runs has no 32-bit half, so it is made anew where they do; one
# made for both kinds serves a machine that runs 64-bit programs only.
set -uo pipefail
source "$(dirname "$0")/arch.sh"
prefix=$1
textures=${2:-}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
kind="64-bit programs only"
runs_32bit_programs && kind="32-bit and 64-bit programs"
if [ "$kind" != "64-bit programs only" ] && [ -f "$prefix/.nimbra-ready" ] &&
   [ "$(cat "$prefix/.nimbra-ready")" != "$kind" ]; then
  echo "The Wine prefix $prefix was not made for $kind, which this machine runs: making it anew."
  wineserver -k 2>/dev/null
  rm -rf "$prefix"
fi
if [ ! -f "$prefix/.nimbra-ready" ]; then
  echo "Preparing the Wine prefix $prefix ..."
  mkdir -p "$prefix" || exit 1
  log=$prefix/wineboot.log
  wine64 wineboot -i >"$log" 2>&1
  rc=$?
  wineserver -w
  if [ $rc != 0 ] || [ ! -f "$prefix/system.reg" ]; then
    why="ended with exit code $rc"
    [ $rc = 0 ] && why="left no registry"
    echo "Could not prepare the Wine prefix $prefix: '$NIMBRA_WINE64 wineboot -i' $why. Its last lines ($log):"
    tail -n 5 "$log" | sed 's/^/  /'
    exit 1
  fi
  echo "$kind" >"$prefix/.nimbra-ready"
fi
if [ -n "$textures" ]; then
  mkdir -p "$prefix/drive_c/windows/NimbraData" &&
    cp "$textures"/*.bmp "$prefix/drive_c/windows/NimbraData/" ||
    { echo "Could not install the textures of $textures into $prefix."; exit 1; }
fi

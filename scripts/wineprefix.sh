#!/usr/bin/env bash
# Creates a Wine prefix once (usage: wineprefix.sh DIR) and installs the scene's
# textures into its C:\windows\NimbraData\ (from TEXTURE_DIR when given).
set -euo pipefail
prefix=$1
textures=${2:-}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/.nimbra-ready" ]; then
  echo "Preparing the Wine prefix $prefix ..."
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.nimbra-ready"
fi
if [ -n "$textures" ]; then
  mkdir -p "$prefix/drive_c/windows/NimbraData"
  cp "$textures"/*.bmp "$prefix/drive_c/windows/NimbraData/"
fi

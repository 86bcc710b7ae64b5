#!/usr/bin/env bash
# Regenerates docs/screenshot.png, the picture of the running animation shown in
# the README: runs the saver headless through scripts/run.sh (its own Xvfb, an
# 800 x 600 virtual desktop) and keeps the screenshot it takes after
# NIMBRA_SECONDS seconds (default 4). Arguments go to nimbra.scr.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shot=$root/docs/screenshot.png
mkdir -p "$root/docs"
rm -f "$shot"
env -u DISPLAY NIMBRA_SECONDS="${NIMBRA_SECONDS:-4}" NIMBRA_SCREENSHOT="$shot" \
  bash "$root/scripts/run.sh" "$@"
if [ ! -s "$shot" ]; then
  echo "No screenshot was taken."
  exit 1
fi
echo "Updated $shot"

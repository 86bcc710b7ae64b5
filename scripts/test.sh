#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with CTest under Wine in
# the build tree's private test prefix, on an Xvfb server of its own.
# Extra arguments go to ctest (for example -R Loader).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build

# NIMBRA_BUILD_TARGETS (space-separated) builds only those targets.
targets=()
for t in ${NIMBRA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
"$root/scripts/build.sh" "${targets[@]}" || { echo "Build failed."; exit 1; }

prefix=$build/wineprefix-test
"$root/scripts/wineprefix.sh" "$prefix" "$build/NimbraData" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source "$root/scripts/xvfb.sh"
start_xvfb || exit 1
echo "${DISPLAY#:}" > "$build/xvfb-display"

stop() {
  wineserver -k 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  rm -f "$build/xvfb-display"
}
trap stop EXIT

wineserver -p 2>/dev/null   # keep one server for the whole run
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@"

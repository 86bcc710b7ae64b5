#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine on an Xvfb of their own, in the build
# tree's test prefix, and prints their figures:
#   dib_load_benchmark  the loader on a large 24-bit file against memcpy of its bytes
#   scene_benchmark     DrawFrame + SwapBuffers against clear + swap, and the time
#                       from process start to the first swapped frame
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
"$root/scripts/build.sh" --target dib_load_benchmark scene_benchmark || { echo "Build failed."; exit 1; }

prefix=$build/wineprefix-test
"$root/scripts/wineprefix.sh" "$prefix" "$build/NimbraData" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source "$root/scripts/xvfb.sh"
start_xvfb || exit 1
trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT

cd "$build/benchmarks" || exit 1
rc=0
for bench in dib_load_benchmark scene_benchmark; do
  echo "== $bench"
  "$build/wine-run.sh" "./$bench.exe" || rc=1
done
exit $rc

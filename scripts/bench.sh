#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine on an Xvfb of their own, in the build
# tree's test prefix, and prints their figures:
#   dib_load_benchmark  the loader on a large 24-bit file against memcpy of its bytes
#   scene_benchmark     DrawFrame + SwapBuffers against clear + swap, and the time
#                       from process start to the first swapped frame
#   linux_benchmark     the native Linux program's frame rate against scene_benchmark's
#                       under Wine, its start to first frame against a minimal GLX
#                       program's, and SIGTERM to exit
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
"$root/scripts/build.sh" --target dib_load_benchmark scene_benchmark nimbra_linux || { echo "Build failed."; exit 1; }

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
  "$build/wine-run.sh" "./$bench.exe" | tee "$build/benchmarks/$bench.txt" || rc=1
done
echo "== linux_benchmark"
wine_fps=$(tr -d '\r' <"$build/benchmarks/scene_benchmark.txt" | sed -n 's/.*DrawFrame + swap: *\([0-9.]*\).*/\1/p')
"$build/linux/benchmarks/linux_benchmark" "$build/linux/nimbra" "$build/linux/benchmarks/minimal_glx" \
  --wine-fps "${wine_fps:-0}" || rc=1
exit $rc

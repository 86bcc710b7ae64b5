#!/usr/bin/env bash
# Builds and runs the benchmarks of the build this machine runs natively (the
# 32-bit one, or the x64 one where 32-bit programs do not run or NIMBRA_X64_ONLY=1;
# see scripts/arch.sh) under Wine on an Xvfb of their own, in the build tree's test
# prefix, and prints their figures:
#   dib_load_benchmark  the loader on a large 24-bit file against memcpy of its bytes
#   scene_benchmark     DrawFrame + SwapBuffers against clear + swap, and the time
#                       from process start to the first swapped frame
#   decode_benchmark    the Linux loader's portable decoder on dib_load_benchmark's
#                       file against memcpy, beside the Windows loader's ratio
#   linux_benchmark     the native Linux program's frame rate against scene_benchmark's
#                       under Wine, its frame rate at its default delay, its CPU use
#                       against Debian's glplanet (both at their defaults, side by
#                       side), its start to first frame against a minimal GLX
#                       program's, and SIGTERM to exit in 800 x 600 and 4800 x 4800
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
source "$root/scripts/arch.sh"
"$root/scripts/setup.sh" bench || { echo "Installing the packages failed."; exit 1; }
export NIMBRA_SETUP_DONE=1
benchmarks=(dib_load_benchmark scene_benchmark)
if [ "$(native_build)" = x64 ]; then
  # The x64 tree is configured by the main one, then built on its own.
  tree=$build/x64
  "$root/scripts/build.sh" --target nimbra_x64-configure art nimbra_linux &&
    cmake --build "$tree" -j "$(nproc)" --target "${benchmarks[@]}" || { echo "Build failed."; exit 1; }
else
  tree=$build
  "$root/scripts/build.sh" --target "${benchmarks[@]}" nimbra_linux || { echo "Build failed."; exit 1; }
fi
echo "Benchmarks of the $(native_build) build ($tree)."

prefix=$build/wineprefix-test
"$root/scripts/wineprefix.sh" "$prefix" "$build/NimbraData" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source "$root/scripts/xvfb.sh"
start_xvfb || exit 1
trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT

cd "$tree/benchmarks" || exit 1
rc=0
for bench in "${benchmarks[@]}"; do
  echo "== $bench"
  "$tree/wine-run.sh" "./$bench.exe" | tee "$tree/benchmarks/$bench.txt" || rc=1
done
echo "== decode_benchmark"
windows_ratio=$(tr -d '\r' <"$tree/benchmarks/dib_load_benchmark.txt" | sed -n 's/.*ratio *\([0-9.]*\).*/\1/p')
"$build/linux/benchmarks/decode_benchmark" --windows-ratio "${windows_ratio:-?}" || rc=1
echo "== linux_benchmark"
wine_fps=$(tr -d '\r' <"$tree/benchmarks/scene_benchmark.txt" | sed -n 's/.*DrawFrame + swap: *\([0-9.]*\).*/\1/p')
"$build/linux/benchmarks/linux_benchmark" "$build/linux/nimbra" "$build/linux/benchmarks/minimal_glx" \
  --wine-fps "${wine_fps:-0}" || rc=1
exit $rc

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with CTest under Wine.
# Tests run side by side in lanes (NIMBRA_TEST_LANES, default: the number of
# cores): each lane is a Wine prefix and an Xvfb server of its own, and CTest gives
# every test one lane for as long as it runs (see cmake/test-lane.sh.in).
# Extra arguments go to ctest (for example -R Loader).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
lanes=${NIMBRA_TEST_LANES:-$(nproc)}

# NIMBRA_BUILD_TARGETS (space-separated) builds only those targets.
targets=()
for t in ${NIMBRA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
"$root/scripts/build.sh" "${targets[@]}" || { echo "Build failed."; exit 1; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Where 32-bit programs run under emulation (see setup.sh), everything takes several
# times longer: tests stretch their waits for a condition by this factor, and skip
# the cases about the framework's threads (see tests/support/emulation.h).
# The cases whose threads come and go by the dozen while the window thread waits on
# them end their process there at random, even when they skip, so they are left out.
emulated_out=()
if grep -qs nimbra-i386-runner /proc/sys/fs/binfmt_misc/qemu-i386; then
  export NIMBRA_TEST_WAIT_SCALE=${NIMBRA_TEST_WAIT_SCALE:-10} NIMBRA_32BIT_EMULATED=1
  emulated_out=(-E '^(startup_tests:EntryPoints\.(ReturnsOnlyAfterTheListedThreadsHaveEnded|ThreadsAliveAfterTenSecondsAreReportedAndTheListIsFreedAllTheSame|MoreThanSixtyFourListedThreadsAreAllWaitedFor)|runtime_test:TimerTest\.ThousandStartStopCyclesLeaveNothingBehind)$')
  echo "32-bit programs run under emulation here: leaving out four thread-heavy cases (see tests/support/emulation.h)."
fi
lane_prefix() { if [ "$1" = 0 ]; then echo "$build/wineprefix-test"; else echo "$build/wineprefix-test-$1"; fi; }
lane_display_file() { if [ "$1" = 0 ]; then echo "$build/xvfb-display"; else echo "$build/xvfb-display-$1"; fi; }

# Lane 0's prefix is made once; the others start as copies of it, which is much
# quicker than making each anew.
"$root/scripts/wineprefix.sh" "$(lane_prefix 0)" "$build/NimbraData" || exit 1
for ((lane = 1; lane < lanes; lane++)); do
  prefix=$(lane_prefix "$lane")
  [ -f "$prefix/.nimbra-ready" ] || { rm -rf "$prefix"; cp -a "$(lane_prefix 0)" "$prefix"; }
  "$root/scripts/wineprefix.sh" "$prefix" "$build/NimbraData" || exit 1
done

source "$root/scripts/xvfb.sh"
xvfb_pids=()
stop() {
  for ((lane = 0; lane < lanes; lane++)); do
    WINEPREFIX=$(lane_prefix "$lane") wineserver -k 2>/dev/null
    rm -f "$(lane_display_file "$lane")"
  done
  for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
}
trap stop EXIT

lanes_file=$build/test-lanes.json
{
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"lanes": ['
  for ((lane = 0; lane < lanes; lane++)); do
    [ "$lane" -gt 0 ] && printf ', '
    printf '{"id": "%s", "slots": 1}' "$lane"
  done
  printf ']}]}\n'
} > "$lanes_file"

for ((lane = 0; lane < lanes; lane++)); do
  start_xvfb || exit 1
  xvfb_pids+=("$xvfb_pid")
  echo "${DISPLAY#:}" > "$(lane_display_file "$lane")"
  WINEPREFIX=$(lane_prefix "$lane") wineserver -p 2>/dev/null   # one server per lane for the whole run
done
unset DISPLAY

ctest --test-dir "$build" --output-on-failure --timeout 900 \
      --parallel "$lanes" --resource-spec-file "$lanes_file" "${emulated_out[@]}" "$@"

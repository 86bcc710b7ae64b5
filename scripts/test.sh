#!/usr/bin/env bash
# Installs what is missing, builds both builds, and runs every test with CTest
# under Wine.
#
# Where the machine runs 32-bit programs, the whole suite runs on the 32-bit build
# (build/) together with the x64 build's end-to-end tests. Where it runs none
# (see scripts/arch.sh), or with NIMBRA_X64_ONLY=1, the whole suite runs on the
# x64 build (build/x64/); the cases that need a 32-bit program skip, each saying
# why, and the summary counts them.
#
# Tests run side by side in lanes (NIMBRA_TEST_LANES, default: the number of
# cores): each lane is a Wine prefix and an Xvfb server of its own, and CTest gives
# every test one lane for as long as it runs (see cmake/test-lane.sh.in).
# Extra arguments go to ctest (for example -R Loader).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
lanes=${NIMBRA_TEST_LANES:-$(nproc)}
source "$root/scripts/arch.sh"

# NIMBRA_BUILD_TARGETS (space-separated) builds only those targets.
targets=()
for t in ${NIMBRA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
"$root/scripts/build.sh" "${targets[@]}" || { echo "Build failed."; exit 1; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
tests=$build
# With the 32-bit suite, the x64 tree's end-to-end tests run too, but not those that
# only its own whole run needs.
ctest_args=(-LE x64_alone)
if [ "$(native_build)" = x64 ]; then
  ctest_args=()
  tests=$build/x64
  export NIMBRA_NO_32BIT=1
  if [ "${NIMBRA_X64_ONLY:-0}" = 1 ]; then
    echo "NIMBRA_X64_ONLY=1: testing the x64 build alone; cases that need a 32-bit program skip."
  else
    echo "This machine runs no 32-bit programs: testing the x64 build; cases that need a 32-bit program skip."
  fi
elif emulated_32bit; then
  # A developer has registered qemu's emulator for 32-bit programs by hand (see the
  # README): everything takes several times longer, so tests stretch their waits
  # for a condition, and the cases whose threads come and go by the dozen while
  # the window thread waits on them (which the emulator cannot run) are left out.
  export NIMBRA_TEST_WAIT_SCALE=${NIMBRA_TEST_WAIT_SCALE:-10} NIMBRA_32BIT_EMULATED=1
  set -- -E '^(startup_tests:EntryPoints\.(ReturnsOnlyAfterTheListedThreadsHaveEnded|ThreadsAliveAfterTenSecondsAreReportedAndTheListIsFreedAllTheSame|MoreThanSixtyFourListedThreadsAreAllWaitedFor)|runtime_test:TimerTest\.ThousandStartStopCyclesLeaveNothingBehind)$' "$@"
  echo "32-bit programs run under emulation here: leaving out four thread-heavy cases (see tests/support/emulation.h)."
fi

lane_prefix() { if [ "$1" = 0 ]; then echo "$build/wineprefix-test"; else echo "$build/wineprefix-test-$1"; fi; }
lane_display_file() { if [ "$1" = 0 ]; then echo "$build/xvfb-display"; else echo "$build/xvfb-display-$1"; fi; }

# Lane 0's prefix is made once; the others start as copies of it, which is much
# quicker than making each anew.
"$root/scripts/wineprefix.sh" "$(lane_prefix 0)" "$build/NimbraData" || exit 1
# The lanes' X servers run no window manager, and Wine's managed windows wait for
# one (about 2 s whenever a visible top-level window goes away): the lanes' windows
# are Wine's own, unmanaged, as on any X server without a window manager.
x11_driver='HKCU\Software\Wine\X11 Driver'
if [ ! -f "$(lane_prefix 0)/.nimbra-unmanaged" ]; then
  WINEPREFIX=$(lane_prefix 0) wine reg add "$x11_driver" /v Managed /d N /f >/dev/null 2>&1 || exit 1
  WINEPREFIX=$(lane_prefix 0) wineserver -w
  touch "$(lane_prefix 0)/.nimbra-unmanaged"
fi
for ((lane = 1; lane < lanes; lane++)); do
  prefix=$(lane_prefix "$lane")
  [ -f "$prefix/.nimbra-unmanaged" ] || { rm -rf "$prefix"; cp -a "$(lane_prefix 0)" "$prefix"; }
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

ctest --test-dir "$tests" --output-on-failure --timeout 900 \
      --parallel "$lanes" --resource-spec-file "$lanes_file" "${ctest_args[@]}" "$@"
rc=$?

# Skipped cases, with their reasons: those of whole tests (CTest lists them above)
# and those inside a test program that passed (GoogleTest's "[  SKIPPED ]" lines).
log=$tests/Testing/Temporary/LastTest.log
# GoogleTest prints the reason on the line before a case's "[  SKIPPED ] name (N ms)".
skipped=$(tr -d '\r' <"$log" 2>/dev/null | awk '
  /^\[  SKIPPED \] [A-Za-z0-9_\/]+\.[A-Za-z0-9_\/]+ \([0-9]+ ms\)$/ { print "  " $4 ": " reason }
  { reason = $0 }' | sort -u)
if [ -n "$skipped" ]; then
  echo "$(echo "$skipped" | wc -l) test cases skipped:"
  echo "$skipped"
fi
exit $rc

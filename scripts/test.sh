#!/usr/bin/env bash
# Installs what is missing (what building and the tests need), builds both builds,
# and runs every test with CTest under Wine.
#
# Where the machine runs 32-bit programs, the whole suite runs on both builds: the
# 32-bit one (build/) and the x64 one (build/x64/). Where it runs none (see
# scripts/arch.sh), or with NIMBRA_X64_ONLY=1, the whole suite runs on the x64
# build only; the cases that need a 32-bit program skip, each saying why, and the
# summary counts them.
#
# Tests run side by side in lanes (NIMBRA_TEST_LANES, default: one more than the
# cores, as every test spends part of its time waiting for windows, servers and
# timers): each lane is a Wine prefix and an Xvfb server of its own, and CTest
# gives every test one lane for as long as it runs (see cmake/test-lane.sh.in).
# Extra arguments go to ctest (for example -R Loader).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
lanes=${NIMBRA_TEST_LANES:-$(($(nproc) + 1))}
source "$root/scripts/arch.sh"

# What building needs and what only the tests need, installed once here.
"$root/scripts/setup.sh" tests || { echo "Installing the packages failed."; exit 1; }
export NIMBRA_SETUP_DONE=1
# NIMBRA_BUILD_TARGETS (space-separated) builds only those targets.
targets=()
for t in ${NIMBRA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
"$root/scripts/build.sh" "${targets[@]}" || { echo "Build failed."; exit 1; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One CTest run of the 32-bit tree holds both suites: its own tests, and those of
# the x64 tree (named "x64:..."). Each test carries the label of its tree. Where
# both trees are tested, the x64 tree runs only what can differ in a 64-bit build
# (the framework as clients use it, the SDK, the saver's picture, the saver as a
# whole through scripts/run.sh); its other tests (label x64_alone) run only where
# the x64 suite runs alone.
ctest_args=(-LE x64_alone)
if [ "$(native_build)" = x64 ]; then
  ctest_args=(-LE '^x86$')
  export NIMBRA_NO_32BIT=1
  if [ "${NIMBRA_X64_ONLY:-0}" = 1 ]; then
    echo "NIMBRA_X64_ONLY=1: testing the x64 build alone; cases that need a 32-bit program skip."
  else
    echo "This machine runs no 32-bit programs: testing the x64 build; cases that need a 32-bit program skip."
  fi
else
  echo "Testing the 32-bit and the x64 build."
  if emulated_32bit; then
    # A developer has registered qemu's emulator for 32-bit programs by hand (see
    # the README): everything 32-bit takes several times longer, so tests stretch
    # their waits for a condition, and the cases that the emulator cannot run skip
    # inside their programs, saying why (tests/support/emulation.h).
    export NIMBRA_TEST_WAIT_SCALE=${NIMBRA_TEST_WAIT_SCALE:-10} NIMBRA_32BIT_EMULATED=1
    echo "32-bit programs run under emulation here: waits are stretched, and the cases the emulator cannot run skip."
    # The emulator keeps one table of thread descriptors for a whole process
    # (tests/support/emulation.h): these 32-bit programs start and end threads
    # while others run, and die of it part-way, wherever the cases that do it most
    # skip. Their x64 builds run natively, here too.
    emulator_left_out=(startup_tests runtime_test nimbra_e2e_tests)
    for name in "${emulator_left_out[@]}"; do
      ctest --test-dir "$build" -N -R "^$name\$" | grep -q "Total Tests: 1$" ||
        { echo "scripts/test.sh leaves out $name under emulation, but no test has that name."; exit 1; }
    done
    # The x64 tree runs whole here: it is quick beside the emulated one, and it
    # holds the x64 builds of those left out.
    ctest_args=(-E "^($(IFS='|'; echo "${emulator_left_out[*]}"))\$")
    echo "Left out under emulation (their x64 builds run): ${emulator_left_out[*]}."
  fi
fi

lane_prefix() { if [ "$1" = 0 ]; then echo "$build/wineprefix-test"; else echo "$build/wineprefix-test-$1"; fi; }
lane_display_file() { if [ "$1" = 0 ]; then echo "$build/xvfb-display"; else echo "$build/xvfb-display-$1"; fi; }

# Lane 0's prefix is made once; the others start as copies of it, which is much
# quicker than making each anew.
"$root/scripts/wineprefix.sh" "$(lane_prefix 0)" "$build/NimbraData" || exit 1
# The lanes' X servers run no window manager, and Wine's managed windows wait for
# one (about 2 s whenever a visible top-level window goes away): the lanes' windows
# are Wine's own, unmanaged, as on any X server without a window manager.
if [ ! -f "$(lane_prefix 0)/.nimbra-unmanaged" ]; then
  WINEPREFIX=$(lane_prefix 0) make_windows_unmanaged wine64 ||
    { echo "Could not make the windows of the test prefix $(lane_prefix 0) unmanaged."; exit 1; }
  touch "$(lane_prefix 0)/.nimbra-unmanaged"
fi
for ((lane = 1; lane < lanes; lane++)); do
  prefix=$(lane_prefix "$lane")
  if [ ! -f "$prefix/.nimbra-unmanaged" ] || ! cmp -s "$prefix/.nimbra-ready" "$(lane_prefix 0)/.nimbra-ready"; then
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    rm -rf "$prefix"; cp -a "$(lane_prefix 0)" "$prefix"
  fi
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
      --parallel "$lanes" --resource-spec-file "$lanes_file" "${ctest_args[@]}" "$@"
rc=$?

# Skipped cases, with their reasons: those of whole tests (CTest lists them above)
# and those inside a test program that passed (GoogleTest's "[  SKIPPED ]" lines).
log=$build/Testing/Temporary/LastTest.log
# GoogleTest prints the reason on the line before a case's "[  SKIPPED ] name (N ms)".
skipped=$(tr -d '\r' <"$log" 2>/dev/null | awk '
  /^\[  SKIPPED \] [A-Za-z0-9_\/]+\.[A-Za-z0-9_\/]+ \([0-9]+ ms\)$/ { print "  " $4 ": " reason }
  { reason = $0 }' | sort -u)
if [ -n "$skipped" ]; then
  echo "$(echo "$skipped" | wc -l) test cases skipped:"
  echo "$skipped"
fi
exit $rc

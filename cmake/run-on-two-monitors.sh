#!/bin/sh
# Runs a test program on two monitors: an Xephyr server with two Xinerama heads,
# 1024x768 at (0, 0) and 1280x1024 at (1024, 0), inside an Xvfb of its own, and
# Wine in a prefix of its own that takes its monitors from Xinerama (XRandR off;
# the setting has to be there before the prefix's Wine server starts). Both X
# servers are stopped and the prefix's Wine server ended however the program ends.
# Usage: run-on-two-monitors.sh RUNNER PROGRAM ARGS...
root=$(cd "$(dirname "$0")/.." && pwd)
WINEPREFIX=$(dirname "$1")/wineprefix-2mon
WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

xvfb_pid="" xephyr_pid=""
stop() {
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
  WINEPREFIX=$WINEPREFIX wineserver -w 2>/dev/null
  for pid in $xephyr_pid $xvfb_pid; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
}
trap stop EXIT
trap 'exit 1' INT TERM
. "$root/scripts/xvfb.sh"
. "$root/scripts/wine.sh"

for server in Xvfb Xephyr; do
  command -v $server >/dev/null || { echo "$server is not installed (scripts/setup.sh installs it)."; exit 1; }
done
start_x Xvfb -screen 0 2400x1100x24 || exit 1
xvfb_pid=$x_pid
DISPLAY=$x_display start_x Xephyr +xinerama -screen 1024x768 -screen 1280x1024 || exit 1
xephyr_pid=$x_pid
DISPLAY=$x_display
export DISPLAY

wineserver -k 2>/dev/null   # a server left from an earlier run knows other monitors
wineserver -w 2>/dev/null
# Lane 0's prefix (the main build tree's wineprefix-test), whichever tree this is.
testprefix=$(unset WINEPREFIX CTEST_RESOURCE_GROUP_0_LANES; . "$(dirname "$1")/test-lane.sh"; echo "$WINEPREFIX")
if [ -f "$testprefix/.nimbra-ready" ]; then
  # A copy of the booted test prefix is much quicker than booting a new one; it is
  # copied again when the test prefix was made anew for other programs.
  if ! cmp -s "$WINEPREFIX/.nimbra-ready" "$testprefix/.nimbra-ready"; then
    copy_prefix "$testprefix" "$WINEPREFIX" || exit 1
  fi
else
  "$root/scripts/wineprefix.sh" "$WINEPREFIX" || exit 1
fi
if [ ! -f "$WINEPREFIX/.nimbra-two-monitors" ]; then
  wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1 || exit 1
  wineserver -k; wineserver -w
  touch "$WINEPREFIX/.nimbra-two-monitors"
fi

# The program runs in this prefix and on these X servers, not in a test lane's.
unset CTEST_RESOURCE_GROUP_0_LANES
"$@"

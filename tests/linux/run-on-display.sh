#!/bin/sh
# Runs a native test program on an X display: its lane's Xvfb when scripts/test.sh
# runs the tests (see cmake/test-lane.sh.in), else an Xvfb of its own, which must
# come up within 10 s (scripts/xvfb.sh) and goes when the program ends.
#   run-on-display.sh MAIN_BINARY_DIR PROGRAM [ARGS...]
main=$1
shift
[ -n "$main" ] && [ -f "$main/test-lane.sh" ] && . "$main/test-lane.sh"
xvfb_pid=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  . "$(dirname "$0")/../../scripts/xvfb.sh"
  trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null' EXIT
  trap 'exit 1' INT TERM HUP
  start_xvfb -noreset || { echo "FAILED: no X server for $1"; exit 1; }
fi
"$@"

#!/bin/sh
# Runs a native test program on an X display: its lane's Xvfb when scripts/test.sh
# runs the tests (see cmake/test-lane.sh.in), else an Xvfb of its own.
#   run-on-display.sh MAIN_BINARY_DIR PROGRAM [ARGS...]
main=$1
shift
[ -n "$main" ] && [ -f "$main/test-lane.sh" ] && . "$main/test-lane.sh"
xvfb=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  number=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$number" 2>/dev/null &
  xvfb=$!
  while [ ! -s "$number" ] && kill -0 "$xvfb" 2>/dev/null; do sleep 0.05; done
  DISPLAY=:$(cat "$number")
  rm -f "$number"
  export DISPLAY
fi
"$@"
rc=$?
[ -n "$xvfb" ] && kill "$xvfb" && wait "$xvfb" 2>/dev/null
exit $rc

#!/bin/sh
# Runs a test program, then ends the Wine processes of the test's prefix. A program
# that runs in a virtual desktop leaves that desktop's display size behind in the Wine
# server, where later programs on the real screen would see it; a fresh server starts
# clean. In a lane of scripts/test.sh it stays up for the lane's next tests, as the
# one test.sh started did, so that they do not each start Wine's own processes anew.
# Usage: run-then-restart-wine.sh RUNNER PROGRAM ARGS...
"$@"
rc=$?
. "$(dirname "$1")/test-lane.sh"
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
[ -n "$lane" ] && wineserver -p </dev/null >/dev/null 2>&1
exit $rc

#!/bin/sh
# Runs a test program, then ends the Wine processes of the test's prefix. A program
# that runs in a virtual desktop leaves that desktop's display size behind in the Wine
# server, where later programs on the real screen would see it; a fresh server starts
# clean.
# Usage: run-then-restart-wine.sh RUNNER PROGRAM ARGS...
"$@"
rc=$?
. "$(dirname "$1")/test-lane.sh"
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit $rc

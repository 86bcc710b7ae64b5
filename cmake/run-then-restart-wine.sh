#!/bin/sh
# Runs a test program, then ends the prefix's Wine processes. A program that runs in
# a virtual desktop leaves that desktop's display size behind in the Wine server,
# where later programs on the real screen would see it; a fresh server starts clean.
# Usage: run-then-restart-wine.sh RUNNER PROGRAM ARGS...
"$@"
rc=$?
: "${WINEPREFIX:=$(dirname "$1")/wineprefix-test}"
WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
WINEPREFIX=$WINEPREFIX wineserver -w 2>/dev/null
exit $rc

#!/usr/bin/env bash
# Installs what is missing, builds, prepares the project's Wine prefix (inside the
# build tree unless WINEPREFIX is set), installs the textures into its
# C:\windows\NimbraData\ and starts nimbra.scr with the given arguments.
#
# By default the program runs in an 800 x 600 Wine virtual desktop, where the
# full-screen mode can be granted (NIMBRA_DESKTOP=none runs it on the bare X
# server). With no display, it starts its own Xvfb, lets the animation run
# NIMBRA_SECONDS seconds (default 5), saves a screenshot, presses Escape, waits
# for the program and prints its exit code.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
"$root/scripts/build.sh" --target nimbra || { echo "Build failed."; exit 1; }

export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wineprefix.sh" "$WINEPREFIX" "$build/NimbraData" || exit 1

desktop=${NIMBRA_DESKTOP:-800x600}
run_saver() {
  if [ "$desktop" = none ]; then
    wine "$build/nimbra.scr" "$@"
  else
    wine explorer /desktop=Nimbra,"$desktop" "$build/nimbra.scr" "$@"
  fi
}

if [ -n "${DISPLAY:-}" ]; then
  run_saver "$@"
  rc=$?
  echo "nimbra.scr ended with exit code $rc."
  exit $rc
fi

# Headless: our own X server, a screenshot, then Escape.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$displayfile")"
rm -f "$displayfile"
trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT

log=$build/nimbra-run.log
run_saver "$@" >"$log" 2>&1 &
saver_pid=$!
sleep "${NIMBRA_SECONDS:-5}"
shot=${NIMBRA_SCREENSHOT:-$build/nimbra-screenshot.png}
import -window root "$shot" && echo "Screenshot of the running saver: $shot"
# X key events reach Wine through the focused X window: click it, then press Escape.
win=$(xdotool search --name "Nimbra" 2>/dev/null | head -n1)
[ -n "$win" ] && xdotool windowactivate --sync "$win" 2>/dev/null
xdotool mousemove 400 300 click 1 key Escape 2>/dev/null
for _ in $(seq 100); do kill -0 $saver_pid 2>/dev/null || break; sleep 0.2; done
if kill -0 $saver_pid 2>/dev/null; then
  echo "nimbra.scr is still running after Escape; see $log"
  wait $saver_pid
fi
wait $saver_pid
rc=$?
echo "nimbra.scr ended with exit code $rc."
exit $rc

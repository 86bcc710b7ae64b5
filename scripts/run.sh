#!/usr/bin/env bash
# Installs what is missing, builds the program this machine runs natively (the 32-bit
# build/nimbra.scr, or build/x64/nimbra.scr where 32-bit programs do not run or
# NIMBRA_X64_ONLY=1; see scripts/arch.sh), prepares the project's Wine prefix (build/wineprefix
# unless WINEPREFIX is set), installs the textures into its C:\windows\NimbraData\ and
# starts nimbra.scr with the given arguments (none: a bare start). NIMBRA_BUILT=1
# skips installing and building and runs what is built.
#
# By default the program runs in an 800 x 600 Wine virtual desktop, where the
# full-screen mode can be granted: the prefix's default desktop is set to it, so that
# `wine` returns the program's own exit code. NIMBRA_DESKTOP=WxH picks another size,
# NIMBRA_DESKTOP=none runs on the bare X server (the program then asks whether to use
# windowed mode).
#
# With no display it starts its own Xvfb, lets the animation run NIMBRA_SECONDS
# seconds (default 5), saves a screenshot (NIMBRA_SCREENSHOT, default
# build/nimbra-screenshot.png), presses Escape, closes whatever the framework shows
# next with Escape, and prints the program's exit code.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
source "$root/scripts/arch.sh"
# NIMBRA_BUILT=1 runs the program as it is already built: nothing is installed or
# built, so that other programs running from the same build tree are left alone.
if [ "${NIMBRA_BUILT:-0}" != 1 ]; then
  # Which build runs here is asked of Wine's 32-bit loader, so the packages come first.
  "$root/scripts/setup.sh" || { echo "Installing the packages failed."; exit 1; }
  export NIMBRA_SETUP_DONE=1
  if [ "$(native_build)" = x64 ]; then
    # The x64 tree is configured by the main one, then built on its own.
    "$root/scripts/build.sh" --target nimbra_x64-configure &&
      cmake --build "$build/x64" -j "$(nproc)" --target nimbra art || { echo "Build failed."; exit 1; }
  else
    "$root/scripts/build.sh" --target nimbra || { echo "Build failed."; exit 1; }
  fi
fi
program=$(native_program "$build")
[ -f "$program" ] || { echo "$program is not built."; exit 1; }
[ "$(native_build)" = x64 ] && echo "Running the x64 build: $program"

# With no display: our own X server, started before any Wine process of the prefix,
# so that the prefix's desktop process draws on it.
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  source "$root/scripts/xvfb.sh"
  start_xvfb || exit 1
  stop() {
    wineserver -k 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  }
  trap stop EXIT
  echo "No display: started Xvfb on $DISPLAY."
fi

prefix=${WINEPREFIX:-$build/wineprefix}
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
# A server of this prefix still running from before would keep its old display.
[ $headless = 1 ] && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }
"$root/scripts/wineprefix.sh" "$WINEPREFIX" "$(dirname "$program")/NimbraData" || exit 1
echo "Wine prefix: $WINEPREFIX (textures in C:\\windows\\NimbraData\\)"

# The prefix's default desktop: a virtual desktop of the wanted size, or none.
# Wine reads it when its server starts, so the server is restarted after a change.
desktop=${NIMBRA_DESKTOP:-800x600}
explorer='HKCU\Software\Wine\Explorer'
current=$(wine64 reg query "$explorer\\Desktops" /v Default 2>/dev/null | awk '/Default/ {print $3}')
default=$(wine64 reg query "$explorer" /v Desktop 2>/dev/null | awk '/Desktop/ {print $3}')
if [ "$desktop" = none ]; then
  if [ -n "$default" ]; then
    wine64 reg delete "$explorer" /v Desktop /f >/dev/null 2>&1
    wineserver -k; wineserver -w
  fi
elif [ "$current" != "$desktop" ] || [ "$default" != Default ]; then
  wine64 reg add "$explorer" /v Desktop /d Default /f >/dev/null 2>&1
  wine64 reg add "$explorer\\Desktops" /v Default /d "$desktop" /f >/dev/null 2>&1
  wineserver -k; wineserver -w
fi
if [ "$desktop" = none ]; then where="on the bare X server"; else where="in a $desktop Wine virtual desktop"; fi

if [ $headless = 0 ]; then
  echo "Starting nimbra.scr${*:+ $*} $where. Press Escape to end the animation."
  wine_program x86 "$program" "$@"
  rc=$?
  echo "nimbra.scr ended with exit code $rc."
  exit $rc
fi


running() { kill -0 "$saver_pid" 2>/dev/null; }
# Waits up to $1 seconds for the program to end; true when it has.
ended_within() {
  for _ in $(seq $(($1 * 5))); do running || return 0; sleep 0.2; done
  ! running
}
sheet="^Screen Saver Properties$"   # the framework's settings sheet, by its title
# The X window that shows the program: the animation, else the framework's sheet,
# else (its saver window has no title) the virtual desktop.
program_window() {
  local id
  id=$(xdotool search --name "^Nimbra " 2>/dev/null | head -n1)
  [ -n "$id" ] || id=$(xdotool search --name "$sheet" 2>/dev/null | head -n1)
  [ -n "$id" ] || id=$(xdotool search --name "Wine desktop$" 2>/dev/null | head -n1)
  echo "$id"
}
# X key events reach Wine only through the focused X window: focus the program's
# window (a click where nothing has the focus), then press.
press_escape() {
  local id
  id=$(program_window)
  if [ -n "$id" ]; then
    xdotool windowfocus --sync "$id" 2>/dev/null ||
      xdotool mousemove --window "$id" 20 20 click 1 2>/dev/null
  fi
  # Held for a moment, as a person would: a press and release that both reach the
  # program before it draws its next frame do not end the animation.
  xdotool keydown Escape 2>/dev/null; sleep 0.3; xdotool keyup Escape 2>/dev/null
}

shown() { xdotool search --name "$1" >/dev/null 2>&1; }
# What the program shows now, in words.
describe() {
  if shown "^Vantt GL$"; then echo "its question whether to use windowed mode"
  elif shown "^Nimbra "; then echo "the animation"
  elif shown "$sheet"; then echo 'the framework'"'"'s settings sheet "Screen Saver Properties"'
  else echo "the framework's mode of the command line"
  fi
}

log=$build/nimbra-run.log
echo "Starting nimbra.scr${*:+ $*} $where (output in $log)."
wine_program x86 "$program" "$@" >"$log" 2>&1 &
saver_pid=$!
seconds=${NIMBRA_SECONDS:-5}
# Where 32-bit programs run under emulation the window can take a minute to come:
# wait for the question, the animation or the sheet before counting the seconds.
for _ in $(seq 900); do
  { shown "^Vantt GL$" || shown "^Nimbra " || shown "$sheet" || ! running; } && break
  sleep 0.2
done
if ! running; then
  wait "$saver_pid"; rc=$?
  echo "nimbra.scr ended on its own at once; exit code $rc. See $log."
  exit $rc
fi
# On a bare X server the full-screen mode is refused and the program asks whether to
# run in a window instead: Return picks the default answer, Yes.
if shown "^Vantt GL$"; then
  echo "The full-screen mode was refused; answering the program's question with Yes (windowed mode)."
  id=$(xdotool search --name "^Vantt GL$" | head -n1)
  xdotool windowfocus --sync "$id" 2>/dev/null; xdotool key Return
fi
if ended_within "$seconds"; then
  wait "$saver_pid"; rc=$?
  echo "nimbra.scr ended on its own within $seconds s; exit code $rc. See $log."
  exit $rc
fi

shot=${NIMBRA_SCREENSHOT:-$build/nimbra-screenshot.png}
what=$(describe)
id=$(program_window)
if import -window "${id:-root}" "$shot" 2>/dev/null || import -window root "$shot" 2>/dev/null; then
  echo "Screenshot of $what after $seconds s: $shot"
else
  echo "Could not take a screenshot."
fi

echo "Pressing Escape to end the animation."
press_escape
# After the animation the framework runs the mode of the command line (no argument or
# /c: the settings sheet). Escape cancels its dialogs and closes its saver window too.
for _ in $(seq 20); do
  { shown "$sheet" || ! running; } && break
  sleep 0.2
done
if running; then
  sleep 0.5   # the sheet's controls are drawn just after its frame appears
  shot2=${shot%.png}-framework.png
  what=$(describe)
  id=$(program_window)
  import -window "${id:-root}" "$shot2" 2>/dev/null && echo "nimbra.scr now shows $what: $shot2"
fi
for attempt in 1 2 3 4 5; do
  # The sheet waits for Escape; anything else may still be ending on its own.
  if [ $attempt -gt 1 ] || ! shown "$sheet"; then ended_within 4 && break; fi
  echo "nimbra.scr is still running, showing $(describe); pressing Escape (attempt $attempt)."
  press_escape
done
if ! ended_within 4; then
  echo "nimbra.scr did not end after Escape; stopping its Wine prefix. See $log."
  wineserver -k
fi
wait "$saver_pid"
rc=$?
echo "nimbra.scr ended with exit code $rc."
exit $rc

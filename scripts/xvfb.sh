# Sourced by the scripts that need an X server of their own.
# start_xvfb: starts Xvfb on a free display, exports DISPLAY and sets xvfb_pid;
# fails when the server does not come up.
start_xvfb() {
  local displayfile
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$displayfile" ] && break; sleep 0.1; done
  if [ ! -s "$displayfile" ]; then
    rm -f "$displayfile"
    kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null   # started, but too late: not left behind
    echo "Xvfb did not start."
    return 1
  fi
  export DISPLAY=":$(cat "$displayfile")"
  rm -f "$displayfile"
}

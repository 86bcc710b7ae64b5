# Sourced by the scripts and tests that need an X server of their own (POSIX sh):
# the one way they start one.
# start_x SERVER ARGS...: starts an X server on a free display (the server names
# it through -displayfd); sets x_pid and x_display, and fails at once when the
# server ends, or when it does not come up within NIMBRA_X_START_SECONDS (10 s
# unless set), ending it then so that it is not left behind.
start_x() {
  x_displayfile=$(mktemp)
  "$@" -displayfd 3 -nolisten tcp 3>"$x_displayfile" 2>/dev/null &
  x_pid=$!
  for _ in $(seq $((${NIMBRA_X_START_SECONDS:-10} * 10))); do
    [ -s "$x_displayfile" ] && break
    kill -0 "$x_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$x_displayfile" ]; then
    rm -f "$x_displayfile"
    kill "$x_pid" 2>/dev/null; wait "$x_pid" 2>/dev/null   # started, but too late: not left behind
    echo "$1 did not start."
    return 1
  fi
  x_display=":$(cat "$x_displayfile")"
  rm -f "$x_displayfile"
}

# start_xvfb [ARGS...]: a 1024 x 768 Xvfb, with ARGS added; exports DISPLAY and
# sets xvfb_pid.
start_xvfb() {
  start_x Xvfb -screen 0 1024x768x24 "$@" || return 1
  xvfb_pid=$x_pid
  DISPLAY=$x_display
  export DISPLAY
}

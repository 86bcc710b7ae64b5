#!/usr/bin/env bash
# The shell wrappers around Wine and the X servers, as CTest and the scripts use
# them: what a test prints reaches CTest while the test runs, even when it is
# killed for its time limit, and an X server too slow to start is not left behind.
# Usage: wrappers_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The three checks wait for programs and servers, so they run side by side.
fail() { echo "FAILED: $*" | tee -a "$work/failures"; }

# within N CMD...: true once CMD succeeds, tried every 0.1 s for N seconds
# (stretched where 32-bit programs run under emulation).
within() {
  local tries=$(($1 * 10 * ${NIMBRA_TEST_WAIT_SCALE:-1})); shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  "$@"
}

# A program killed for its time limit has shown what it printed, and leaves no
# file behind: its line reaches the reader while it runs, then its time limit
# runs out at once (timeout's alarm) and the reader's pipe ends.
check_wine_run() {
mkdir "$work/tmp"
(sh -c 'echo $$ >"$0"; exec env TMPDIR="$1" timeout 300 "$2" cmd /c "echo streamed-line & ping -n 30 127.0.0.1 >nul"' \
   "$work/timeout-pid" "$work/tmp" "$build/wine-run.sh" | cat >"$work/streamed"
 echo "${PIPESTATUS[0]}" >"$work/streamed-rc") &
within 30 grep -q streamed-line "$work/streamed" ||
  fail "the output of a running program did not reach the reader: '$(cat "$work/streamed")'"
kill -ALRM "$(cat "$work/timeout-pid")"
within 30 test -s "$work/streamed-rc" || fail "the output of a program stopped by its time limit did not end"
rc=$(cat "$work/streamed-rc" 2>/dev/null)
[ "$rc" = 124 ] || fail "the program was not stopped by its time limit (exit code $rc)"
left=$(cd "$work/tmp" && ls -d tmp.* 2>/dev/null)
[ -z "$left" ] || fail "files left behind: $left"
# ... and the exit code and output of one that ends are its own.
out=$("$build/wine-run.sh" cmd /c "echo done-line & exit 7")
rc=$?
[ $rc = 7 ] || fail "exit code $rc, not the program's 7"
[[ $out == *done-line* ]] || fail "the output of a program that ended was lost: '$out'"
}

# An X server that does not come up in time is ended, not orphaned: a stand-in
# Xvfb (and Xephyr) that never names its display, given a second to do it.
export NIMBRA_X_START_SECONDS=1
mkdir "$work/bin"
cat >"$work/bin/Xvfb" <<EOF
#!/bin/sh
echo \$\$ >>"\$NIMBRA_STARTED"
exec sleep 120
EOF
cp "$work/bin/Xvfb" "$work/bin/Xephyr"
chmod +x "$work/bin/Xvfb" "$work/bin/Xephyr"

alive() { local pid; for pid in $(cat "$1" 2>/dev/null); do kill -0 "$pid" 2>/dev/null && echo "$pid"; done; }
check_start_xvfb() {
  (export PATH=$work/bin:$PATH NIMBRA_STARTED=$work/started-1; source "$source/scripts/xvfb.sh"; start_xvfb) >/dev/null &&
    fail "start_xvfb reported a server that never started"
  [ -s "$work/started-1" ] || fail "the stand-in Xvfb was not started"
  [ -z "$(alive "$work/started-1")" ] || fail "start_xvfb left the server behind"
}
check_two_monitors() {
  PATH=$work/bin:$PATH NIMBRA_STARTED=$work/started-2 sh "$source/cmake/run-on-two-monitors.sh" "$build/wine-run.sh" true >/dev/null &&
    fail "run-on-two-monitors.sh ran with no X server"
  [ -s "$work/started-2" ] || fail "the stand-in Xvfb was not started"
  [ -z "$(alive "$work/started-2")" ] || fail "run-on-two-monitors.sh left the server behind"
}

check_wine_run & check_start_xvfb & check_two_monitors &
wait
[ -s "$work/failures" ] && exit 1
echo "Wrappers: passed"

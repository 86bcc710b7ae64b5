#!/usr/bin/env bash
# The real daemon: Debian's xscreensaver on an Xvfb of its own, run as an ordinary
# user (it starts no saver program as root), with a settings file that names only
# Nimbra. -activate must show the scene (a screenshot that is not dark) and
# -deactivate must end it, with no saver process left behind. The test user is
# made for this run (named after it, so that runs side by side do not share one)
# and removed at the end; one that a killed run left is removed by the next run.
#   daemon_test.sh PROGRAM TEXTURE_DIR SCREENSHOT
# Exit code 77 (a skip) where it cannot run: not root, or no xscreensaver.
set -uo pipefail
program=$1 textures=$2 screenshot=$3
source "$(dirname "$0")/../../scripts/xvfb.sh"
user=nimbra-test-$$
[ "$(id -u)" = 0 ] || { echo "SKIP: making and becoming a test user needs root"; exit 77; }
command -v xscreensaver >/dev/null || { echo "SKIP: Debian's xscreensaver is not installed"; exit 77; }
for old in $(getent passwd | sed -n 's/^nimbra-test-\([0-9]*\):.*/\1/p'); do
  kill -0 "$old" 2>/dev/null || userdel "nimbra-test-$old"
done

home=$(mktemp -d /tmp/nimbra-daemon-XXXXXX)
xvfb= daemon= made=
# The daemon leads a process group of its own (setsid): it and whatever it started
# end with that group, before the user goes.
finish() {
  if [ -n "$daemon" ]; then
    kill -- "-$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
    kill -KILL -- "-$daemon" 2>/dev/null   # what did not end with the daemon
  fi
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  [ -n "$made" ] && { userdel "$user" || echo "FAILED: the test user $user stays"; }
  rm -rf "$home"
}
trap finish EXIT
trap 'exit 1' INT TERM HUP
useradd -M -s /usr/sbin/nologin "$user" || exit 1
made=1
# Root of a user namespace that maps no other user cannot become one.
out=$(runuser -u "$user" -- true 2>&1) || { echo "SKIP: cannot become the test user here ($out)"; exit 77; }
fail() { echo "FAILED: $*"; [ -f "$home/daemon.log" ] && tail -20 "$home/daemon.log"; exit 1; }
# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() { local n=$1; shift; while ! "$@"; do ((n-- > 0)) || return 1; sleep 0.1; done; }

# The program beside its own NimbraData, which it then reads (the build tree's
# rule), in a folder on the daemon's PATH, as the README's programs line has it.
mkdir -p "$home/saver/NimbraData"
cp "$program" "$home/saver/nimbra"
cp "$textures"/*.bmp "$home/saver/NimbraData/"
cat > "$home/.xscreensaver" <<SETTINGS
mode: one
selected: 0
lock: False
splash: False
programs: GL: nimbra --root
SETTINGS
chown -R "$user" "$home"
chmod 755 "$home"

start_x Xvfb -screen 0 1024x768x24 -noreset || fail "no X server"
xvfb=$x_pid display=$x_display
as_user() { runuser -u "$user" -- env DISPLAY="$display" HOME="$home" PATH="$home/saver:$PATH" "$@"; }

setsid runuser -u "$user" -- env DISPLAY="$display" HOME="$home" PATH="$home/saver:$PATH" \
  xscreensaver --no-splash >"$home/daemon.log" 2>&1 &
daemon=$!
wait_for 200 as_user xscreensaver-command -version >/dev/null 2>&1 || fail "the daemon did not answer"
as_user xscreensaver-command -activate >/dev/null || fail "-activate refused"
wait_for 200 pgrep -u "$user" -x nimbra >/dev/null || fail "the daemon started no nimbra"
echo "running: $(pgrep -a -u "$user" -x nimbra)"

# Not dark: the scene's lit pixels, in a screenshot of the whole screen.
lit() {
  DISPLAY=$display import -window root "$screenshot" 2>/dev/null || return 1
  local mean
  mean=$(convert "$screenshot" -colorspace gray -format '%[fx:mean]' info:) || return 1
  awk -v m="$mean" 'BEGIN { exit !(m > 0.01) }'
}
wait_for 30 lit || fail "the screen stayed dark"
echo "screenshot: $screenshot (mean brightness $(convert "$screenshot" -colorspace gray -format '%[fx:mean]' info:))"

as_user xscreensaver-command -deactivate >/dev/null || fail "-deactivate refused"
wait_for 100 bash -c "! pgrep -u $user -x nimbra >/dev/null" || fail "nimbra still runs after -deactivate"
echo "after -deactivate: no nimbra process left"

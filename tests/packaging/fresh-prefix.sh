#!/bin/sh
# Runs one test program in a Wine prefix of its own and throws the prefix away
# afterwards. The prefix is a copy of a booted, untouched template that is made
# once per build tree: a 64-bit one (TEMPLATE) and, unless TEMPLATE32 is "-", a
# 32-bit one (TEMPLATE32) for the cases named On32BitWindows.
# usage: fresh-prefix.sh TEMPLATE TEMPLATE32 WINE-RUN [PROGRAM [ARGUMENTS...]]
# Without a program it only makes the templates. With NIMBRA_NO_32BIT=1 (a machine
# that runs no 32-bit programs: every case skips) the program runs in the lane's
# prefix and no template is made.
template=$1 template32=$2 run=$3
shift 3
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
. "$(dirname "$0")/../../scripts/wine.sh"

if [ "${NIMBRA_NO_32BIT:-}" = 1 ]; then
  [ $# -eq 0 ] && { echo "[  SKIPPED ] no 32-bit programs run here: no prefixes for the setup program"; exit 0; }
  exec "$run" "$@"
fi

# boot DIR ARCH: makes the template DIR once (about 8-18 s), through the loader
# of the prefix's kind.
boot() (
  flock 9
  if [ ! -f "$1/.booted" ]; then
    rm -rf "$1"
    mkdir -p "$1"
    export WINEPREFIX=$1
    loader=wine64
    [ "$2" = win32 ] && loader=wine32
    # Wine's server must not inherit the lock: it outlives wineboot.
    WINEARCH=$2 $loader wineboot -i >/dev/null 2>&1 9>&-
    make_windows_unmanaged $loader 9>&-
    if [ ! -f "$1/system.reg" ]; then
      echo "Could not boot the Wine prefix $1" >&2
      exit 1
    fi
    touch "$1/.booted"
  fi
) 9>"$1.lock"

# The two boot side by side.
boot "$template" win64 & boot64=$!
[ "$template32" = - ] || boot "$template32" win32 || exit 1
wait $boot64 || exit 1
[ $# -eq 0 ] && exit 0

case "$*" in
  *On32BitWindows*) [ "$template32" = - ] || template=$template32 ;;
esac
# Hard links make the copy instant (copying 1.3 GB takes seconds). Files a case
# may write into in place, the registry and the .ini files, are real copies; the
# rest a case only reads, adds or removes.
prefix=$(mktemp -d "$template-case.XXXXXX")
cp -al "$template/." "$prefix/"
find "$prefix" -maxdepth 1 -name '*.reg' -exec sh -c 'cp --remove-destination "$0/${1##*/}" "$1"' "$template" {} \;
find "$prefix/drive_c" -name '*.ini' -type f -exec sh -c 'cp --remove-destination "$0/${1#$2/}" "$1"' "$template" {} "$prefix" \;
NIMBRA_OWN_PREFIX=$prefix "$run" "$@"
rc=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null
WINEPREFIX=$prefix wineserver -w 2>/dev/null
rm -rf "$prefix"
exit $rc

#!/bin/sh
# Runs one test program in a Wine prefix of its own and throws the prefix away
# afterwards. The prefix is a copy of a booted, untouched template that is made
# once per build tree (booting takes about 18 s, copying its 1.3 GB a few seconds).
# usage: fresh-prefix.sh TEMPLATE WINE-RUN [PROGRAM [ARGUMENTS...]]
# Without a program it only makes the template.
template=$1 run=$2
shift 2
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all

(
  flock 9
  if [ ! -f "$template/.booted" ]; then
    rm -rf "$template"
    mkdir -p "$template"
    # Wine's server must not inherit the lock: it outlives wineboot.
    WINEPREFIX=$template wineboot -i >/dev/null 2>&1 9>&-
    WINEPREFIX=$template wineserver -w 9>&-
    if [ ! -f "$template/system.reg" ]; then
      echo "Could not boot the Wine prefix $template" >&2
      exit 1
    fi
    touch "$template/.booted"
  fi
) 9>"$template.lock" || exit 1
[ $# -eq 0 ] && exit 0

prefix=$(mktemp -d "$template-case.XXXXXX")
cp -a "$template/." "$prefix/"
NIMBRA_OWN_PREFIX=$prefix "$run" "$@"
rc=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null
WINEPREFIX=$prefix wineserver -w 2>/dev/null
rm -rf "$prefix"
exit $rc

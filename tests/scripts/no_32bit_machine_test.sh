#!/usr/bin/env bash
# The README's run path on the built programs and an x64 test program on a machine
# whose kernel runs no 32-bit programs, made on any host: in a private mount namespace, Wine's 32-bit
# loader is covered by a file the kernel refuses with "Exec format error", as it
# refuses every 32-bit program there. Nothing outside the namespace changes.
# Usage: no_32bit_machine_test.sh MAIN_BUILD_DIR X64_BUILD_DIR SOURCE_DIR
set -uo pipefail
main_build=$1 build=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# An ELF header with an invalid class byte: execve answers ENOEXEC.
printf '\x7fELF\x09\x09\x09\0\0\0\0\0\0\0\0\0' >"$work/no32"
chmod +x "$work/no32"
if ! out=$(unshare -m true 2>&1); then
  echo "Skipped: no private mount namespace here (unshare -m: $out)"
  exit 0
fi

unshare -m bash -s "$main_build" "$build" "$source" "$work" <<'INSIDE'
set -uo pipefail
main_build=$1 build=$2 source=$3 work=$4
fail() { echo "FAILED: $*"; failed=1; }
failed=0
mount --bind "$work/no32" /usr/lib/wine/wine || { echo "FAILED: cannot cover the 32-bit loader"; exit 1; }
out=$(/usr/lib/wine/wine --version 2>&1)
[[ $out == *"Exec format error"* ]] || fail "the covered 32-bit loader still starts: '$out'"

# The README's first command, headless, on the programs already built: run.sh
# installs and builds nothing here, since other tests run from the same tree. Its
# prefix is a copy of the test lane's, made once (a fresh boot takes a while).
prefix=$main_build/wineprefix-no32
lane_prefix=$(. "$main_build/test-lane.sh"; echo "$WINEPREFIX")
if ! cmp -s "$prefix/.nimbra-ready" "$lane_prefix/.nimbra-ready"; then
  (. "$source/scripts/wine.sh"; copy_prefix "$lane_prefix" "$prefix") || fail "could not copy the test prefix $lane_prefix"
fi
out=$(env -u DISPLAY WINEPREFIX="$prefix" NIMBRA_BUILT=1 NIMBRA_SECONDS=1 NIMBRA_SCREENSHOT="$work/shot.png" \
      BUILD_DIR="$main_build" bash "$source/scripts/run.sh" 2>&1)
rc=$?
echo "$out" | sed 's/^/run.sh: /'
[ $rc = 0 ] || fail "run.sh ended with $rc"
[[ $out == *"Running the x64 build: $main_build/x64/nimbra.scr"* ]] || fail "run.sh did not choose the x64 build"
# Space is dark, the earth and the tail are not: some pixels are bright.
bright=$(convert "$work/shot.png" -colorspace gray -threshold 25% -format '%[fx:mean]' info: 2>/dev/null)
awk -v b="${bright:-0}" 'BEGIN { exit !(b > 0.01) }' || fail "the screenshot shows no animation (bright share ${bright:-none})"

# An x64 test program through the x64 tree's CTest wrapper, in the test's lane.
out=$(cd "$build/tests/bin" && "$build/wine-run.sh" ./header_test.exe --gtest_brief=1 2>&1)
rc=$?
echo "$out" | tail -n 3 | sed 's/^/header_test: /'
[ $rc = 0 ] && [[ $out == *"PASSED"* ]] || fail "the x64 header test ended with $rc"
exit $failed
INSIDE
rc=$?
[ $rc = 0 ] && echo "Machine without 32-bit programs: passed"
exit $rc

#!/usr/bin/env bash
# Runs a Windows test program under Wine, in the test's lane, and then a native
# program that reads what it wrote:
#   with-windows-output.sh MAIN_BINARY_DIR VARIABLE WINDOWS_PROGRAM [ARGS...] -- NATIVE_PROGRAM [ARGS...]
# The Windows program gets an output file as its last argument; the native one
# finds that file's name in the environment variable VARIABLE, and the Windows
# tree's test folder in NIMBRA_WINDOWS_TEST_BIN. Where the machine runs no 32-bit
# programs (NIMBRA_NO_32BIT=1), the x64 tree's program runs.
set -uo pipefail
main=$1 variable=$2
shift 2
tree=$main
[ "${NIMBRA_NO_32BIT:-0}" = 1 ] && tree=$main/x64
windows=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do windows+=("$1"); shift; done
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
output=$scratch/output
"$tree/wine-run.sh" "$tree/tests/bin/${windows[0]}.exe" "${windows[@]:1}" "Z:$output" || {
  echo "The Windows program ${windows[0]} failed."; exit 1; }
export "$variable=$output" NIMBRA_WINDOWS_TEST_BIN=$tree/tests/bin
"$@"

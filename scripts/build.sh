#!/usr/bin/env bash
# Configures and builds into ${BUILD_DIR:-build}: build/nimbra.scr, the textures in
# build/NimbraData/, the tests and the benchmarks. Installs what building needs
# first (scripts/setup.sh), unless the calling script has (NIMBRA_SETUP_DONE=1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
[ "${NIMBRA_SETUP_DONE:-0}" = 1 ] || "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" "$@"

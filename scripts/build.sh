#!/usr/bin/env bash
# Configures and builds into ${BUILD_DIR:-build}: build/nimbra.scr, the textures in
# build/NimbraData/, the tests and the benchmarks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" "$@"

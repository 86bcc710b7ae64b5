#!/usr/bin/env bash
# The SDK as a saver author receives it: installed into a folder of the build
# tree, then the example it ships and a C-only consumer configured and built from
# there, knowing only the installed files.
# Usage: build_against_sdk.sh BUILD_DIR WORK_DIR SOURCE_DIR TOOLCHAIN_FILE
set -euo pipefail
build=$1 work=$2 source=$3 toolchain=$4
sdk=$work/sdk
fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$sdk" >/dev/null

# Only the framework's files, and no path of the build or source tree in them.
files=$(find "$sdk" -type f | sed "s|^$sdk/||" | sort)
echo "$files"
if echo "$files" | grep -Eiq 'gtest|gmock|test|bench|nimbra|scene'; then
  fail "the SDK holds files that are not the framework's"
fi
if grep -rlI -e "$build" -e "$source" "$sdk"; then fail "the SDK names build or source paths"; fi

configure_and_build() {   # name, source folder
  cmake -S "$2" -B "$work/$1" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$sdk" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$work/$1" >/dev/null
  # Every folder on its include paths (C and resources) is one of the SDK's or its own.
  local paths
  paths=$(cat "$work/$1"/CMakeFiles/*.dir/includes_*.rsp "$work/$1"/CMakeFiles/*.dir/flags.make |
          grep -oE '(-I ?|-isystem )"?[^" ]+' | sed -E 's/^(-I ?|-isystem )"?//')
  echo "$1 includes: $(echo $paths)"
  for path in $paths; do
    case $path in "$work"/*) ;; *) fail "$1 compiles with $path" ;; esac
  done
}

configure_and_build starfield "$sdk/share/doc/Lullex/examples/starfield"
mkdir -p "$work/consumer-src"
cp "$source/tests/sdk/c_consumer/consumer.c" "$source/tests/sdk/c_consumer/ticks.c" "$work/consumer-src/"
cp "$source/tests/sdk/c_consumer/CMakeLists.txt.in" "$work/consumer-src/CMakeLists.txt"
configure_and_build consumer "$work/consumer-src"

# The same consumer for Make users, through pkg-config.
export PKG_CONFIG_PATH=$sdk/lib/pkgconfig
i686-w64-mingw32-gcc-posix -mwindows -o "$work/consumer/consumer_pc.scr" "$work/consumer-src/consumer.c" \
  $(pkg-config --cflags lullex) $(pkg-config --libs lullex)
echo "pkg-config lullex: version $(pkg-config --modversion lullex)"

# Statically linked savers need no runtime DLL beside them; the DLL client needs lullex.dll.
for saver in starfield/starfield.scr consumer/consumer.scr consumer/consumer_pc.scr consumer/consumer_dll.scr; do
  imports=$(i686-w64-mingw32-objdump -p "$work/$saver" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')
  echo "$saver imports: $imports"
  case "$imports" in *libstdc*|*libgcc*|*pthread*) fail "$saver needs a runtime DLL" ;; esac
  case "$saver" in
    *_dll.scr) [[ $imports == *lullex.dll* ]] || fail "$saver does not load lullex.dll" ;;
    *) [[ $imports != *lullex.dll* ]] || fail "$saver loads lullex.dll" ;;
  esac
done
echo "SDK builds: passed"

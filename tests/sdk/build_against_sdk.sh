#!/usr/bin/env bash
# The SDK as a saver author receives it: installed into a folder of the build
# tree, then the example savers it ships, the saver written out in its guide and a
# C-only consumer configured and built from there with the SDK's own toolchain
# file alone, knowing only the installed files; the same through pkg-config; and
# a saver of the other architecture refused by the package; then savers built as
# Visual Studio builds them (msvc_clients.sh).
# Usage: build_against_sdk.sh BUILD_DIR WORK_DIR SOURCE_DIR TOOLCHAIN_FILE
# The toolchain file names the architecture the build tree was made for (i686 or
# x86_64), and so which SDK this checks.
set -euo pipefail
build=$1 work=$2 source=$3 toolchain=$4
sdk=$work/sdk
fail() { echo "FAILED: $*"; exit 1; }

arch=$(sed -n 's/^ *set(LULLEX_TOOLCHAIN_ARCH \([a-z0-9_]*\)).*/\1/p' "$toolchain")
case $arch in
  i686)   bits=32 other=x86_64 other_bits=64 dll=lullex.dll ;;
  x86_64) bits=64 other=i686 other_bits=32 dll=lullex64.dll ;;
  *) fail "$toolchain names no known architecture" ;;
esac
cross=$arch-w64-mingw32-

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
# Consumers get the static C and C++ runtimes, not a static link of everything.
if grep -Eq -- '(^|[ ;"])-static([ ;"]|$)' "$sdk/lib/cmake/Lullex/LullexTargets.cmake" "$sdk/lib/pkgconfig/lullex.pc"; then
  fail "the SDK makes its consumers' whole link static"
fi
case $(file -b "$sdk/bin/$dll") in
  *PE32+*x86-64*) [ "$bits" = 64 ] || fail "the $arch SDK holds an x64 $dll" ;;
  *PE32*Intel*386*) [ "$bits" = 32 ] || fail "the $arch SDK holds a 32-bit $dll" ;;
  *) fail "the $arch SDK holds no $dll" ;;
esac
sdk_toolchain=$sdk/share/Lullex/toolchain-$arch-w64-mingw32.cmake
[ -f "$sdk_toolchain" ] || fail "the SDK has no toolchain file for $arch"
# The SDK's toolchain file alone finds it: no search path from outside.
unset CMAKE_PREFIX_PATH CMAKE_TOOLCHAIN_FILE

# A link that merges clashing resources still succeeds, keeping one of the two:
# its complaint is the only sign, so any complaint fails the build here.
checked_link() {   # what, command...
  local what=$1 output
  shift
  if ! output=$("$@" 2>&1); then echo "$output"; fail "$what does not build"; fi
  if echo "$output" | grep -Eiq 'merge failure|duplicate|warning'; then echo "$output"; fail "$what: $output"; fi
}

configure_and_build() {   # name, source folder
  cmake -S "$2" -B "$work/$1" -DCMAKE_TOOLCHAIN_FILE="$sdk_toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
  checked_link "$1" cmake --build "$work/$1"
  # Every folder on its include paths (C and resources) is one of the SDK's or its own.
  local paths
  paths=$(cat "$work/$1"/CMakeFiles/*.dir/includes_*.rsp "$work/$1"/CMakeFiles/*.dir/flags.make 2>/dev/null |
          grep -oE '(-I ?|-isystem )"?[^" ]+' | sed -E 's/^(-I ?|-isystem )"?//')
  echo "$1 includes: $(echo $paths)"
  for path in $paths; do
    case $path in "$work"/*) ;; *) fail "$1 compiles with $path" ;; esac
  done
}

# The guide's code: blocks whose fence names a file (```c mysaver.c) are written
# out into an empty folder and built as the guide says; every line of the other C
# and resource blocks is one of the installed examples' lines.
guide=$sdk/share/doc/Lullex/lullex.md
mkdir -p "$work/guide-src"
awk -v dir="$work/guide-src" '
  /^```/ && !open { open = 1; split(substr($0, 4), word, " "); lang = word[1]; name = word[2]
                    if (name != "") { file = dir "/" name; printf "" > file }
                    next }
  /^```/ && open  { open = 0; if (name != "") close(file); name = ""; next }
  open && name != "" { print > file; next }
  open && (lang == "c" || lang == "rc") { print > (dir "/../guide-fragments") }' "$guide"
[ -s "$work/guide-src/mysaver.c" ] && [ -s "$work/guide-src/CMakeLists.txt" ] || fail "the guide holds no saver to build"
cat "$sdk"/share/doc/Lullex/examples/*/*.[ch] "$sdk"/share/doc/Lullex/examples/*/*.rc |
  sed -E 's/^[[:space:]]+|[[:space:]]+$//g' > "$work/example-lines"
sed -E 's/^[[:space:]]+|[[:space:]]+$//g' "$work/guide-fragments" | grep -vxE '|\.\.\.' |
  while IFS= read -r line; do
    grep -Fxq -- "$line" "$work/example-lines" || fail "the guide shows a line the examples do not have: $line"
  done
echo "guide: $(grep -c '' "$work/guide-fragments") lines of example code checked, $(ls "$work/guide-src" | tr '\n' ' ')built"
# Every real saver has an icon of its own; the guide's saver is given one here.
cp "$build/art/nimbra.ico" "$work/guide-src/mysaver.ico"

configure_and_build starfield "$sdk/share/doc/Lullex/examples/starfield"
configure_and_build pulse "$sdk/share/doc/Lullex/examples/pulse"
configure_and_build guide "$work/guide-src"
mkdir -p "$work/consumer-src"
cp "$source/tests/sdk/c_consumer/consumer.c" "$source/tests/sdk/c_consumer/ticks.c" "$work/consumer-src/"
cp "$source/tests/sdk/c_consumer/CMakeLists.txt.in" "$work/consumer-src/CMakeLists.txt"
configure_and_build consumer "$work/consumer-src"

# The same savers for Make users, through pkg-config, the resource script compiled
# as the guide says.
export PKG_CONFIG_PATH=$sdk/lib/pkgconfig
checked_link "the guide's saver through pkg-config" sh -c "
  ${cross}windres -O coff \$(pkg-config --cflags lullex) -i '$work/guide-src/mysaver.rc' -o '$work/guide/mysaver_res.o' &&
  ${cross}gcc-posix -mwindows -o '$work/guide/mysaver_pc.scr' '$work/guide-src/mysaver.c' '$work/guide/mysaver_res.o' \
    \$(pkg-config --cflags lullex) \$(pkg-config --libs lullex)"
# The consumer is compiled once for each set of flags the packages give.
declare -A consumer_objects=()
compiled=0
for package in lullex lullex-dll "--static lullex-dll"; do
  flags=$(pkg-config --cflags $package)
  [ -n "${consumer_objects[$flags]:-}" ] && continue
  object=$work/consumer/consumer_pc_$((compiled++)).o
  checked_link "the consumer compiled with $flags" ${cross}gcc-posix -c -o "$object" "$work/consumer-src/consumer.c" $flags
  consumer_objects[$flags]=$object
done
consumer_object() { echo "${consumer_objects[$(pkg-config --cflags "$@")]}"; }
checked_link "the consumer through pkg-config" ${cross}gcc-posix -mwindows -o "$work/consumer/consumer_pc.scr" \
  "$(consumer_object lullex)" $(pkg-config --libs lullex)
checked_link "the DLL consumer through pkg-config" ${cross}gcc-posix -mwindows -o "$work/consumer/consumer_dll_pc.scr" \
  "$(consumer_object lullex-dll)" $(pkg-config --libs lullex-dll)
# A -static link takes the DLL's import library all the same, not liblullex.a.
checked_link "the static DLL consumer through pkg-config" ${cross}gcc-posix -mwindows -static \
  -o "$work/consumer/consumer_dll_static_pc.scr" "$(consumer_object --static lullex-dll)" \
  $(pkg-config --static --libs lullex-dll)
echo "pkg-config lullex: version $(pkg-config --modversion lullex)"

# Statically linked savers need no runtime DLL beside them; the DLL clients need lullex.dll.
for saver in starfield/starfield.scr pulse/pulse.scr starfield/starfield_dll.scr pulse/pulse_dll.scr \
             guide/mysaver.scr guide/mysaver_pc.scr consumer/consumer.scr consumer/consumer_pc.scr \
             consumer/consumer_dll.scr consumer/consumer_dll_pc.scr consumer/consumer_dll_static_pc.scr; do
  imports=" $(${cross}objdump -p "$work/$saver" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
  echo "$saver imports: $imports"
  case "$imports" in *libstdc*|*libgcc*|*pthread*) fail "$saver needs a runtime DLL" ;; esac
  case "$saver" in
    *_dll*.scr) [[ $imports == *" $dll "* ]] || fail "$saver does not load $dll" ;;
    *) [[ $imports != *lullex* ]] || fail "$saver loads a Lullex DLL" ;;
  esac
done

# A saver of the other architecture is refused by the package, saying why.
other_toolchain=$(dirname "$toolchain")/toolchain-$other-mingw32.cmake
if [ -f "$other_toolchain" ]; then
  if output=$(cmake -S "$work/consumer-src" -B "$work/consumer-$other" -DCMAKE_TOOLCHAIN_FILE="$other_toolchain" \
                    -DCMAKE_PREFIX_PATH="$sdk" 2>&1); then
    fail "a $other consumer was accepted"
  fi
  expected="Lullex in $sdk is built for $bits-bit Windows ($arch); this project builds for $other_bits-bit Windows ($other)"
  echo "$output" | tr -s ' \n' ' ' | grep -Fq "$expected" || { echo "$output"; fail "the $other consumer's refusal does not say why"; }
  echo "the $other consumer is refused: $expected"
fi
source "$source/tests/sdk/msvc_clients.sh"
echo "SDK builds: passed"

#!/usr/bin/env bash
# The framework on its own, away from the project around it: its folder
# configures as a top-level project, and a saver's project that adds it with
# add_subdirectory() builds the guide's saver against it. Building that saver
# alone builds what the install needs: the SDK installed from that project then
# holds the same files as the one installed from the build tree.
# Usage: framework_standalone.sh WORK_DIR SOURCE_DIR TOOLCHAIN_FILE SDK_WORK_DIR
# (SDK_WORK_DIR: where build_against_sdk.sh installed the SDK and wrote out the guide's saver)
set -euo pipefail
work=$1 source=$2 toolchain=$3 sdk_work=$4
# What is checked here is how the folder builds and installs, not the code the
# compiler makes: without optimisation, and with its files compiled as one (the
# system headers are read once), the framework compiles about eight times faster.
release_unoptimised=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O0 -DCMAKE_C_FLAGS_RELEASE=-O0
                     -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0)
fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work/project"
cmake -S "$source/framework" -B "$work/alone" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${release_unoptimised[@]}" \
  >"$work/alone.log" 2>&1 || { cat "$work/alone.log"; fail "the framework does not configure on its own"; }
echo "framework configures on its own"

cp "$sdk_work/guide-src/mysaver.c" "$sdk_work/guide-src/mysaver.rc" "$sdk_work/guide-src/mysaver.ico" "$work/project/"
sed "s|^find_package(Lullex.*|add_subdirectory(\"$source/framework\" lullex)|" "$sdk_work/guide-src/CMakeLists.txt" \
  > "$work/project/CMakeLists.txt"
grep -q add_subdirectory "$work/project/CMakeLists.txt" || fail "the guide's project finds no package to replace"
cmake -S "$work/project" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${release_unoptimised[@]}" >/dev/null
if ! output=$(cmake --build "$work/build" -j 2 --target mysaver 2>&1); then echo "$output"; fail "the saver does not build"; fi
if echo "$output" | grep -Eiq 'merge failure|duplicate'; then echo "$output"; fail "the saver's resources clash"; fi
echo "the guide's saver builds with the framework added to its project"

cmake --install "$work/build" --prefix "$work/sdk" >/dev/null
diff <(cd "$sdk_work/sdk" && find . -type f | sort) <(cd "$work/sdk" && find . -type f | sort) ||
  fail "the SDK installed after building the saver alone differs from the build tree's"
echo "Standalone framework: passed"

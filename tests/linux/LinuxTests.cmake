# The native Linux program's tests, included by linux/CMakeLists.txt.
# Every test is named "linux:..." and carries the label linux, so that one CTest
# run of the Windows tree holds them and a run can pick them by label. Tests that
# need an X server run on their lane's Xvfb (run-on-display.sh).
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(LINUX_TEST_DIR ${NIMBRA_ROOT}/tests/linux)
set(LINUX_TEST_BIN ${CMAKE_BINARY_DIR}/tests)
set(on_display sh ${LINUX_TEST_DIR}/run-on-display.sh "${NIMBRA_MAIN_BINARY_DIR}")
set(linux_test_properties LABELS linux TIMEOUT 300
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|No tests ran|0 tests from 0 test")

# nimbra_linux_test(name SOURCES ... [ON_DISPLAY] [RUN_BEFORE command...] [ARGS ...])
# RUN_BEFORE puts a command in front of the test program (with-windows-output.sh).
# Every test program has the case watchdog: a hung case fails under its own name.
function(nimbra_linux_test name)
  cmake_parse_arguments(T "ON_DISPLAY" "" "SOURCES;ARGS;PROPERTIES;RUN_BEFORE" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${LINUX_TEST_DIR}/case_watchdog.cpp)
  target_link_libraries(${name} PRIVATE nimbra_core gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LINUX_TEST_BIN})
  add_dependencies(${name} nimbra art)
  if(T_ON_DISPLAY)
    add_test(NAME linux:${name} COMMAND ${T_RUN_BEFORE} ${on_display} $<TARGET_FILE:${name}> ${T_ARGS})
  else()
    add_test(NAME linux:${name} COMMAND ${T_RUN_BEFORE} $<TARGET_FILE:${name}> ${T_ARGS})
  endif()
  if(T_ON_DISPLAY OR T_RUN_BEFORE)
    set_tests_properties(linux:${name} PROPERTIES RESOURCE_GROUPS lanes:1)
  endif()
  set_tests_properties(linux:${name} PROPERTIES WORKING_DIRECTORY ${LINUX_TEST_BIN}
                       ${linux_test_properties} ${T_PROPERTIES})
endfunction()

nimbra_linux_test(saver_options_test SOURCES ${LINUX_TEST_DIR}/saver_options_test.cpp)

# The program as a daemon runs it; the textures it copies are the build tree's.
nimbra_linux_test(program_test ON_DISPLAY
  SOURCES ${LINUX_TEST_DIR}/program_test.cpp ${LINUX_TEST_DIR}/x_support.cpp)
target_compile_definitions(program_test PRIVATE NIMBRA_PROGRAM="$<TARGET_FILE:nimbra>"
                           NIMBRA_TEXTURES="${TEXTURE_DIR}" NIMBRA_VERSION="${PROJECT_VERSION}")

# The Linux side against the Windows side under Wine (Wine's lane, then the
# native program): the label linux_wine tells them from the tests that need no Wine.
file(MAKE_DIRECTORY ${LINUX_TEST_BIN})
file(CREATE_LINK ${TEXTURE_DIR} ${LINUX_TEST_BIN}/NimbraData SYMBOLIC)
set(with_windows bash ${LINUX_TEST_DIR}/with-windows-output.sh "${NIMBRA_MAIN_BINARY_DIR}")
if(NIMBRA_MAIN_BINARY_DIR)
  # The Windows tree's dib_mutation_tests records the corpus's answers as it checks them.
  nimbra_linux_test(dib_differential_test SOURCES ${LINUX_TEST_DIR}/dib_differential_test.cpp
    RUN_BEFORE ${with_windows} NIMBRA_CRAFTED_ANSWERS crafted_dib_dump --)
  set_property(TEST linux:dib_differential_test PROPERTY DEPENDS dib_mutation_tests x64:dib_mutation_tests)
  # Frame 200, as frame_compare_test.cpp's comparedFrame says.
  nimbra_linux_test(frame_compare_test ON_DISPLAY SOURCES ${LINUX_TEST_DIR}/frame_compare_test.cpp
    RUN_BEFORE ${with_windows} NIMBRA_WINDOWS_FRAME scene_frame_dump 200 --)
  set_tests_properties(linux:dib_differential_test linux:frame_compare_test PROPERTIES LABELS "linux;linux_wine")
endif()

# Debian's xscreensaver runs the program on an Xvfb of its own; it holds a lane all
# the same, so that its busy saver does not run beside two other tests' work.
add_test(NAME linux:daemon_test
         COMMAND bash ${LINUX_TEST_DIR}/daemon_test.sh $<TARGET_FILE:nimbra> ${TEXTURE_DIR}
                 ${LINUX_TEST_BIN}/daemon-screenshot.png)
set_tests_properties(linux:daemon_test PROPERTIES LABELS linux TIMEOUT 120 SKIP_RETURN_CODE 77 RESOURCE_GROUPS lanes:1
                     FAIL_REGULAR_EXPRESSION "FAILED")

# Each crafted file loads in a child process of its own, which the case measures.
nimbra_linux_test(dib_loader_posix_test SOURCES ${LINUX_TEST_DIR}/dib_loader_posix_test.cpp
  ${NIMBRA_ROOT}/tests/image/fuzz/crafted_dibs.cpp)

add_test(NAME linux:package_test COMMAND bash ${LINUX_TEST_DIR}/package_test.sh ${NIMBRA_DEB} ${PROJECT_VERSION})
# lintian is busy for several seconds: it holds a lane as well.
set_tests_properties(linux:package_test PROPERTIES LABELS linux TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_GROUPS lanes:1
                     FAIL_REGULAR_EXPRESSION "FAILED")

# The portable decoder under the sanitizers. Its fuzzing target runs the decode
# path over each crafted regression file (the small ones kept in
# tests/image/fuzz/regressions, the large ones written by make_fuzz_inputs) and
# over the seed corpus on every run; with clang's libFuzzer it is also fuzzed for
# 10 seconds, from the seeds and what earlier runs found (build/linux/fuzz/corpus).
set(FUZZ_DIR ${NIMBRA_ROOT}/tests/image/fuzz)
set(FUZZ_BIN ${CMAKE_BINARY_DIR}/fuzz)
file(MAKE_DIRECTORY ${FUZZ_BIN}/corpus)
add_executable(make_fuzz_inputs ${FUZZ_DIR}/make_fuzz_inputs.cpp ${FUZZ_DIR}/crafted_dibs.cpp)
target_link_libraries(make_fuzz_inputs PRIVATE nimbra_flags)
set(large_crafted_files column-wraps-4x1.bmp column-wrap-storm-4x1.bmp open-segment-89478485x1.bmp)
list(TRANSFORM large_crafted_files PREPEND ${FUZZ_BIN}/crafted/)
add_custom_command(OUTPUT ${FUZZ_BIN}/seeds.stamp ${large_crafted_files}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${FUZZ_BIN}/seeds
  COMMAND make_fuzz_inputs ${FUZZ_BIN}/seeds ${FUZZ_BIN}/crafted
  COMMAND ${CMAKE_COMMAND} -E touch ${FUZZ_BIN}/seeds.stamp
  DEPENDS make_fuzz_inputs
  COMMENT "Writing the decoder's seed corpus and large crafted files")
add_custom_target(fuzz_inputs ALL DEPENDS ${FUZZ_BIN}/seeds.stamp)
file(GLOB small_crafted_files CONFIGURE_DEPENDS ${FUZZ_DIR}/regressions/*.bmp)

set(fuzz_sources ${FUZZ_DIR}/dib_fuzz_target.cpp ${NIMBRA_ROOT}/image/dib_layout.cpp
    ${NIMBRA_ROOT}/image/posix/dib_convert.cpp)
set(fuzz_flags -std=c++17 -g -O1 -Wall -Wextra -Werror -fno-sanitize-recover=all)
find_program(NIMBRA_CLANGXX NAMES clang++ clang++-14)
if(NIMBRA_CLANGXX)
  set(dib_fuzzer ${LINUX_TEST_BIN}/dib_fuzzer)
  add_custom_command(OUTPUT ${dib_fuzzer}
    COMMAND ${NIMBRA_CLANGXX} ${fuzz_flags} -fsanitize=fuzzer,address,undefined
            -I${NIMBRA_ROOT} -I${NIMBRA_ROOT}/platform/linux ${fuzz_sources} -o ${dib_fuzzer}
    DEPENDS ${fuzz_sources} ${NIMBRA_ROOT}/image/dib_layout.h ${NIMBRA_ROOT}/image/posix/dib_convert.h
            ${NIMBRA_ROOT}/platform/linux/nimbra_types.h
    COMMENT "Building the decoder's fuzzing target with clang's libFuzzer and sanitizers")
  add_custom_target(dib_fuzzer_build ALL DEPENDS ${dib_fuzzer})
else()
  # No clang: the same target under gcc's sanitizers, with a driver for the inputs.
  add_executable(dib_fuzzer ${fuzz_sources} ${FUZZ_DIR}/fuzz_driver_main.cpp)
  target_compile_options(dib_fuzzer PRIVATE ${fuzz_flags} -fsanitize=address,undefined)
  target_link_options(dib_fuzzer PRIVATE -fsanitize=address,undefined)
  target_link_libraries(dib_fuzzer PRIVATE nimbra_flags)
  set_target_properties(dib_fuzzer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LINUX_TEST_BIN})
  set(dib_fuzzer $<TARGET_FILE:dib_fuzzer>)
endif()
set(fuzz_test_properties LABELS linux TIMEOUT 300 FAIL_REGULAR_EXPRESSION "ERROR: |runtime error|SUMMARY: ")
add_test(NAME linux:dib_fuzz_regressions COMMAND ${dib_fuzzer} ${small_crafted_files} ${large_crafted_files})
add_test(NAME linux:dib_fuzz_seeds COMMAND ${dib_fuzzer} -runs=0 ${FUZZ_BIN}/seeds)
set_tests_properties(linux:dib_fuzz_regressions linux:dib_fuzz_seeds PROPERTIES ${fuzz_test_properties})
if(NIMBRA_CLANGXX)
  # It keeps a core busy for its 10 seconds: it holds a lane.
  add_test(NAME linux:dib_fuzzing COMMAND ${dib_fuzzer} -max_total_time=10 -print_final_stats=1
           ${FUZZ_BIN}/corpus ${FUZZ_BIN}/seeds)
  set_tests_properties(linux:dib_fuzzing PROPERTIES ${fuzz_test_properties} RESOURCE_GROUPS lanes:1)
endif()

# The decoder's benchmark (scripts/bench.sh runs it beside the Windows loader's): a program, not a test.
add_executable(decode_benchmark ${NIMBRA_ROOT}/benchmarks/linux/decode_benchmark.cpp)
target_link_libraries(decode_benchmark PRIVATE nimbra_core)
set_target_properties(decode_benchmark PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/benchmarks)

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
  nimbra_linux_test(dib_differential_test SOURCES ${LINUX_TEST_DIR}/dib_differential_test.cpp
    RUN_BEFORE ${with_windows} NIMBRA_CORPUS_DUMP dib_corpus_dump --)
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

nimbra_linux_test(dib_loader_posix_test SOURCES ${LINUX_TEST_DIR}/dib_loader_posix_test.cpp)

add_test(NAME linux:package_test COMMAND bash ${LINUX_TEST_DIR}/package_test.sh ${NIMBRA_DEB} ${PROJECT_VERSION})
# lintian is busy for several seconds: it holds a lane as well.
set_tests_properties(linux:package_test PROPERTIES LABELS linux TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_GROUPS lanes:1
                     FAIL_REGULAR_EXPRESSION "FAILED")

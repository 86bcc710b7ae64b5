# Test names (and fixture names) of the x64 tree begin with NIMBRA_TEST_PREFIX
# ("x64:"), so that one CTest run can hold the tests of both trees.
# GoogleTest, cross-built with the posix-thread compilers, and a helper that makes
# one test executable whose cases CTest runs one process each under Wine.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Test programs and the stand-in components they load sit side by side, so that
# LoadLibraryA and CreateProcessA find the stand-ins next to the executable.
set(NIMBRA_TEST_BIN ${CMAKE_BINARY_DIR}/tests/bin)

# Every test runs in one lane of scripts/test.sh (a Wine prefix and an X server of
# its own, see test-lane.sh.in), so that tests in different lanes can run side by side.
# Every test carries the label of its tree (x86 or x64), so that a machine that runs
# no 32-bit programs can leave the 32-bit tree's out.
set(NIMBRA_TEST_COMMON_PROPERTIES RESOURCE_GROUPS lanes:1 LABELS ${NIMBRA_ARCH}
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|No tests ran|0 tests from 0 test")

# nimbra_run_once(test...): a test whose subject does not differ between the two
# builds (a script, the 32-bit setup program, arithmetic on window rectangles)
# runs once per CTest run of both trees. The x64 tree's copy carries the label
# x64_alone, so it runs only where the x64 suite runs alone (scripts/test.sh).
function(nimbra_run_once)
  if(NIMBRA_ARCH STREQUAL x64)
    set_property(TEST ${ARGN} APPEND PROPERTY LABELS x64_alone)
  endif()
endfunction()

# A program whose cases rely on a fresh process each: its cases are read from the
# sources, so that CTest knows them without running anything, and each runs in a
# process of its own; so does every instance of a TEST_P case.
function(nimbra_register_cases name sources properties wrapper)
  foreach(src IN LISTS sources)
    get_filename_component(path ${src} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    file(READ ${path} text)
    # Drop // comments so that commented-out cases are not registered.
    string(REGEX REPLACE "//[^\n]*" "" text "${text}")
    string(REGEX MATCHALL "(^|\n)[ \t]*TEST(_F|_P|)[ \t]*\\([ \t\n]*[A-Za-z0-9_]+[ \t\n]*,[ \t\n]*[A-Za-z0-9_]+" cases "${text}")
    foreach(case IN LISTS cases)
      string(REGEX REPLACE ".*TEST(_F|_P|)[ \t]*\\([ \t\n]*([A-Za-z0-9_]+)[ \t\n]*,[ \t\n]*([A-Za-z0-9_]+)" "\\1;\\2;\\3" parts "${case}")
      list(GET parts 1 suite)
      list(GET parts 2 test)
      if(test MATCHES "^DISABLED_" OR suite MATCHES "^DISABLED_")
        continue()
      endif()
      if(case MATCHES "TEST_P")
        set(filter "*${suite}.${test}/*")
      else()
        set(filter "${suite}.${test}")
      endif()
      if(case MATCHES "TEST_P")
        add_test(NAME ${NIMBRA_TEST_PREFIX}${name}:${suite}.${test}
                 COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/run-instances.sh
                         ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> ${filter}
                 WORKING_DIRECTORY ${NIMBRA_TEST_BIN})
      elseif(wrapper)
        add_test(NAME ${NIMBRA_TEST_PREFIX}${name}:${suite}.${test}
                 COMMAND sh ${wrapper}
                         ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> --gtest_filter=${filter}
                 WORKING_DIRECTORY ${NIMBRA_TEST_BIN})
      else()
        add_test(NAME ${NIMBRA_TEST_PREFIX}${name}:${suite}.${test}
                 COMMAND ${name} --gtest_filter=${filter}
                 WORKING_DIRECTORY ${NIMBRA_TEST_BIN})
      endif()
      set_tests_properties(${NIMBRA_TEST_PREFIX}${name}:${suite}.${test} PROPERTIES TIMEOUT 300
                           ${NIMBRA_TEST_COMMON_PROPERTIES} LABELS "${labels}" ${properties})
    endforeach()
  endforeach()
endfunction()

# A program whose cases all run in one process, as one CTest test. CTest starts the
# tests of highest COST first (a run with no earlier timings, as on a fresh clone,
# knows no other costs), so that no long test is left to run alone at the end: a
# whole program counts as longer than a single case, and a program known to take
# long says so with PROPERTIES COST <seconds>.
function(nimbra_register_program name properties wrapper)
  if(wrapper)
    add_test(NAME ${NIMBRA_TEST_PREFIX}${name}
             COMMAND sh ${wrapper} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>
             WORKING_DIRECTORY ${NIMBRA_TEST_BIN})
  else()
    add_test(NAME ${NIMBRA_TEST_PREFIX}${name} COMMAND ${name} WORKING_DIRECTORY ${NIMBRA_TEST_BIN})
  endif()
  set_tests_properties(${NIMBRA_TEST_PREFIX}${name} PROPERTIES TIMEOUT 900 COST 5
                       ${NIMBRA_TEST_COMMON_PROPERTIES} LABELS "${labels}" ${properties})
endfunction()

# nimbra_add_gtest(name SOURCES ... [LIBS ...] [WITH_RESOURCES] [NO_MAIN]
#                  [EACH_CASE_ALONE] [RESTART_WINE_AFTER] [RUN_ONCE] [WRAPPER script]
#                  [PROPERTIES ctest-properties...])
# The cases of a program run in one process, unless EACH_CASE_ALONE gives each case
# a process of its own (say at the call why the program needs it). RUN_ONCE: see
# nimbra_run_once (say at the call why both builds' copies check the same).
# RESTART_WINE_AFTER ends the prefix's Wine server after each run (for programs
# that change what later programs would see, such as a virtual desktop's size).
# WRAPPER runs the program through a script of its own, called like
# run-then-restart-wine.sh (for programs that need their own X servers or prefix).
function(nimbra_add_gtest name)
  cmake_parse_arguments(T "WITH_RESOURCES;NO_MAIN;EACH_CASE_ALONE;RESTART_WINE_AFTER;RUN_ONCE" "WRAPPER" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  set(labels ${name} ${NIMBRA_ARCH})   # read by the nimbra_register_* functions
  if(T_RUN_ONCE AND NIMBRA_ARCH STREQUAL x64)
    list(APPEND labels x64_alone)
  endif()
  set(sources ${T_SOURCES})
  # A case that hangs fails under its own name within a minute (see the file).
  if(WIN32)
    list(APPEND sources ${CMAKE_SOURCE_DIR}/tests/support/case_watchdog.cpp)
  endif()
  if(T_WITH_RESOURCES)
    list(APPEND sources ${CMAKE_SOURCE_DIR}/resources/nimbra.rc)
  endif()
  add_executable(${name} ${sources})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest nimbra_flags)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main nimbra_flags)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  if(T_WITH_RESOURCES)
    nimbra_use_art(${name})
  endif()
  add_dependencies(${name} art)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NIMBRA_TEST_BIN})
  set(wrapper "${T_WRAPPER}")
  if(T_RESTART_WINE_AFTER)
    set(wrapper ${CMAKE_SOURCE_DIR}/cmake/run-then-restart-wine.sh)
  endif()
  if(T_EACH_CASE_ALONE)
    nimbra_register_cases(${name} "${T_SOURCES}" "${T_PROPERTIES}" "${wrapper}")
  else()
    nimbra_register_program(${name} "${T_PROPERTIES}" "${wrapper}")
  endif()
endfunction()

# A stand-in component or helper program for tests, placed beside the tests.
function(nimbra_add_standin target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NIMBRA_TEST_BIN})
  target_link_libraries(${target} PRIVATE nimbra_flags)
endfunction()

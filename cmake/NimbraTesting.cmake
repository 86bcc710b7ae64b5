# GoogleTest, cross-built with the posix-thread compilers, and a helper that makes
# one test executable whose cases CTest runs one process each under Wine.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Test programs and the stand-in components they load sit side by side, so that
# LoadLibraryA and CreateProcessA find the stand-ins next to the executable.
set(NIMBRA_TEST_BIN ${CMAKE_BINARY_DIR}/tests/bin)

# nimbra_add_gtest(name SOURCES ... [LIBS ...] [WITH_RESOURCES] [NO_MAIN]
#                  [PROPERTIES ctest-properties...])
function(nimbra_add_gtest name)
  cmake_parse_arguments(T "WITH_RESOURCES;NO_MAIN" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  set(sources ${T_SOURCES})
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
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${NIMBRA_TEST_BIN}
    PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()

# A stand-in component or helper program for tests, placed beside the tests.
function(nimbra_add_standin target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NIMBRA_TEST_BIN})
  target_link_libraries(${target} PRIVATE nimbra_flags)
endfunction()

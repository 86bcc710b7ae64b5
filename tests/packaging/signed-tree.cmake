# A build tree of the packaging alone, signing on, for signed-build.sh (which
# copies this file as the CMakeLists.txt of a folder of its own): the
# programs come ready-built (copies, so that the real build's files stay as they
# are) and packaging/CMakeLists.txt signs them and makes the signed setup.
cmake_minimum_required(VERSION 3.25)
project(Nimbra VERSION ${NIMBRA_VERSION} LANGUAGES NONE)
set(CMAKE_SIZEOF_VOID_P 4)   # the 32-bit tree, which makes the setup

add_library(nimbra_flags INTERFACE)
add_executable(nimbra IMPORTED)
set_target_properties(nimbra PROPERTIES IMPORTED_LOCATION ${STAGE}/nimbra.scr)
add_library(lullex_shared SHARED IMPORTED)
set_target_properties(lullex_shared PROPERTIES IMPORTED_LOCATION ${STAGE}/lullex.dll)
set(ART_DIR ${BUILT}/art)
set(TEXTURE_DIR ${BUILT}/NimbraData)
set(NIMBRA_X64_SAVER ${STAGE}/x64/nimbra.scr CACHE FILEPATH "")

add_subdirectory(${NIMBRA_SOURCE}/packaging packaging)

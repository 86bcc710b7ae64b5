# The art generator is a host program: it is compiled with the build machine's
# own C++ compiler and run at build time. Its outputs are deterministic.
# The generator's sources are found from this file, so that the native Linux tree
# (platform/linux) draws the same textures.
get_filename_component(ARTGEN_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../tools/artgen ABSOLUTE)
find_program(HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)

set(ART_DIR ${CMAKE_BINARY_DIR}/art)
set(TEXTURE_DIR ${CMAKE_BINARY_DIR}/NimbraData)
file(GLOB ARTGEN_SOURCES CONFIGURE_DEPENDS ${ARTGEN_SOURCE_DIR}/*.cpp)
file(GLOB ARTGEN_HEADERS CONFIGURE_DEPENDS ${ARTGEN_SOURCE_DIR}/*.h)
set(ARTGEN ${CMAKE_BINARY_DIR}/tools/artgen)

add_custom_command(
  OUTPUT ${ARTGEN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror -o ${ARTGEN} ${ARTGEN_SOURCES} -lm
  DEPENDS ${ARTGEN_SOURCES} ${ARTGEN_HEADERS}
  COMMENT "Building the art generator")

set(ART_FILES
  ${ART_DIR}/monitor.bmp ${ART_DIR}/corner_default.bmp ${ART_DIR}/corner_now.bmp
  ${ART_DIR}/corner_never.bmp ${ART_DIR}/nimbra.ico ${ART_DIR}/lullex.ico ${ART_DIR}/setup.bmp
  ${TEXTURE_DIR}/nebula.bmp ${TEXTURE_DIR}/earth.bmp ${TEXTURE_DIR}/moon.bmp
  ${TEXTURE_DIR}/nimbra.bmp ${TEXTURE_DIR}/clouds.bmp)

add_custom_command(
  OUTPUT ${ART_FILES}
  COMMAND ${ARTGEN} ${ART_DIR} ${TEXTURE_DIR}
  DEPENDS ${ARTGEN}
  COMMENT "Drawing textures, monitor bitmaps and icons")
add_custom_target(art ALL DEPENDS ${ART_FILES})

# A target whose resource script uses the art.
function(nimbra_use_art target)
  add_dependencies(${target} art)
  target_include_directories(${target} PRIVATE ${ART_DIR} ${CMAKE_SOURCE_DIR}/resources)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/nimbra.rc TARGET_DIRECTORY ${target}
                              PROPERTIES OBJECT_DEPENDS "${ART_FILES};${CMAKE_SOURCE_DIR}/resources/nimbra.manifest")
endfunction()

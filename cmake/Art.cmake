# The art generator is a host program: it is compiled with the build machine's
# own C++ compiler and run at build time. Its outputs are deterministic. The top
# project includes this file; so does the framework when it is built without it
# (on its own, or added to a saver's project), after setting ART_DIR and
# TEXTURE_DIR to folders of its own.
find_program(HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)

get_filename_component(ART_SOURCE_TREE ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
if(NOT ART_DIR)
  set(ART_DIR ${CMAKE_BINARY_DIR}/art)
endif()
if(NOT TEXTURE_DIR)
  set(TEXTURE_DIR ${CMAKE_BINARY_DIR}/NimbraData)
endif()
file(GLOB ARTGEN_SOURCES CONFIGURE_DEPENDS ${ART_SOURCE_TREE}/tools/artgen/*.cpp)
file(GLOB ARTGEN_HEADERS CONFIGURE_DEPENDS ${ART_SOURCE_TREE}/tools/artgen/*.h)
set(ARTGEN ${CMAKE_CURRENT_BINARY_DIR}/tools/artgen)

add_custom_command(
  OUTPUT ${ARTGEN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/tools
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
  target_include_directories(${target} PRIVATE ${ART_DIR} ${ART_SOURCE_TREE}/resources)
  set_source_files_properties(${ART_SOURCE_TREE}/resources/nimbra.rc TARGET_DIRECTORY ${target}
                              PROPERTIES OBJECT_DEPENDS "${ART_FILES};${ART_SOURCE_TREE}/resources/nimbra.manifest")
endfunction()

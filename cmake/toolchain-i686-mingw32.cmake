# Cross-compiling this tree for 32-bit Windows with mingw-w64: the same settings
# as the Lullex SDK's toolchain file.
set(LULLEX_TOOLCHAIN_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/lullex/mingw-w64.cmake)


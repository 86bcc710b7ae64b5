# Cross-compiling this tree for 64-bit Windows (x64) with mingw-w64: the same
# settings as the Lullex SDK's toolchain file.
set(LULLEX_TOOLCHAIN_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/lullex/mingw-w64.cmake)

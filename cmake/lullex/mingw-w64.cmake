# Cross-compiling for Windows with Debian's mingw-w64 compilers, for the
# architecture named in LULLEX_TOOLCHAIN_ARCH (i686 or x86_64). The posix-thread
# compilers: the framework is built with them and links their C++ runtime (the
# win32-thread ones also lack std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LULLEX_TOOLCHAIN_ARCH})

set(CMAKE_C_COMPILER   ${LULLEX_TOOLCHAIN_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${LULLEX_TOOLCHAIN_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  ${LULLEX_TOOLCHAIN_ARCH}-w64-mingw32-windres)

# Libraries and headers of the target come from the cross toolchain only;
# packages are looked for in CMAKE_PREFIX_PATH as it is, and below the root.
set(CMAKE_FIND_ROOT_PATH /usr/${LULLEX_TOOLCHAIN_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

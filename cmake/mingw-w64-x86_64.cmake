# Cross-builds for 64-bit Windows with Debian's mingw-w64 compilers. Libraries are looked for only
# in the prefix that dist/windows/build-deps.sh makes, never in the build machine's /usr:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DTINDRAL_WINDOWS_DEPS="$(dist/windows/build-deps.sh | tail -1)"
# (or export TINDRAL_WINDOWS_DEPS instead of the -D).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix-thread compilers: the default win32-thread ones have no std::thread.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT TINDRAL_WINDOWS_DEPS AND DEFINED ENV{TINDRAL_WINDOWS_DEPS})
  set(TINDRAL_WINDOWS_DEPS "$ENV{TINDRAL_WINDOWS_DEPS}")
endif()
if(NOT TINDRAL_WINDOWS_DEPS)
  message(FATAL_ERROR
    "Set TINDRAL_WINDOWS_DEPS to the prefix that dist/windows/build-deps.sh prints")
endif()
set(TINDRAL_WINDOWS_DEPS "${TINDRAL_WINDOWS_DEPS}" CACHE PATH "Prefix of the Windows libraries")
# The projects CMake configures for its compiler checks read this file too and need the prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TINDRAL_WINDOWS_DEPS)

# Headers, libraries and CMake packages come from the prefix alone; programs (pkg-config, the
# code generators some builds run) are the build machine's own.
set(CMAKE_FIND_ROOT_PATH "${TINDRAL_WINDOWS_DEPS}")
set(CMAKE_PREFIX_PATH "${TINDRAL_WINDOWS_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the prefix's .pc files, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR}
  "${TINDRAL_WINDOWS_DEPS}/lib/pkgconfig:${TINDRAL_WINDOWS_DEPS}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

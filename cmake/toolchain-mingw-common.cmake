# What both Windows cross builds share (toolchain-i686-w64-mingw32.cmake for the product's
# 32-bit Windows, toolchain-x86_64-w64-mingw32.cmake for 64-bit Windows), with Debian's mingw-w64
# compilers (the -posix thread variant). The including file sets:
#   TQ_MINGW_TRIPLE     the compilers' prefix
#   TQ_DEPS_VARIABLE    the name of the variable that holds the dependency prefix
#   TQ_DEPS_DEFAULT     that prefix when neither the cache nor the environment gives it
#
# Third-party libraries (Expat, PCRE2, GoogleTest) come from the prefix that
# scripts/windows-deps.sh fills; zlib comes from Debian's libz-mingw-w64-dev in /usr/<triple>.
# Programs are linked fully statically (libgcc, libstdc++, winpthread) so that they run under
# Wine, or on Windows, with no DLL beside them. Tests and test discovery run through
# scripts/wine-run.sh, which runs 32-bit and 64-bit programs each under its own Wine.

set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TQ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TQ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TQ_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${TQ_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TQ_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# The dependency prefix. Try-compile projects inherit it through the environment variable.
if(NOT ${TQ_DEPS_VARIABLE})
  if(DEFINED ENV{${TQ_DEPS_VARIABLE}} AND NOT "$ENV{${TQ_DEPS_VARIABLE}}" STREQUAL "")
    set(${TQ_DEPS_VARIABLE} "$ENV{${TQ_DEPS_VARIABLE}}")
  else()
    set(${TQ_DEPS_VARIABLE} "${TQ_DEPS_DEFAULT}")
  endif()
endif()
set(${TQ_DEPS_VARIABLE} "${${TQ_DEPS_VARIABLE}}" CACHE PATH
    "Prefix of the Windows third-party libraries")
set(ENV{${TQ_DEPS_VARIABLE}} "${${TQ_DEPS_VARIABLE}}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ${TQ_DEPS_VARIABLE})
set(TQ_WINDOWS_DEPS "${${TQ_DEPS_VARIABLE}}")

set(CMAKE_FIND_ROOT_PATH "${TQ_WINDOWS_DEPS}" /usr/${TQ_MINGW_TRIPLE})
set(CMAKE_PREFIX_PATH "${TQ_WINDOWS_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config (used by some Find modules) must see the Windows .pc files, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${TQ_WINDOWS_DEPS}/lib/pkgconfig:/usr/${TQ_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Static libraries only: never pick an import library (libz.dll.a) over the archive.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Run Windows programs (tests, test discovery) under Wine with the project's private prefix.
get_filename_component(TQ_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TQ_SOURCE_ROOT}/scripts/wine-run.sh")

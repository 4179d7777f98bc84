# Cross build for 32-bit Windows, the product's platform:
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
#
# Third-party libraries come from TQ_WIN32_DEPS (the cache variable, else the environment
# variable, else ~/.cache/tq-win32-deps), which scripts/windows-deps.sh fills; the programs run
# under 32-bit Wine. See toolchain-mingw-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TQ_MINGW_TRIPLE i686-w64-mingw32)
set(TQ_DEPS_VARIABLE TQ_WIN32_DEPS)
set(TQ_DEPS_DEFAULT "$ENV{HOME}/.cache/tq-win32-deps")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

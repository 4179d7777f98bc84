# Cross build for 64-bit Windows, for machines that cannot run 32-bit programs (and so not
# 32-bit Wine): the same Windows code, tested under 64-bit Wine.
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake
#
# Third-party libraries come from TQ_WIN64_DEPS (the cache variable, else the environment
# variable, else ~/.cache/tq-win64-deps), which scripts/windows-deps.sh --win64 fills. See
# toolchain-mingw-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TQ_MINGW_TRIPLE x86_64-w64-mingw32)
set(TQ_DEPS_VARIABLE TQ_WIN64_DEPS)
set(TQ_DEPS_DEFAULT "$ENV{HOME}/.cache/tq-win64-deps")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

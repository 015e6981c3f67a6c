# Cross toolchain: 64-bit Windows (x86-64) with the MinGW-w64 GCC from Debian.
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake

set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(LUMAVEIL_MINGW_TRIPLE x86_64-w64-mingw32)
set(LUMAVEIL_MINGW_PACKAGE g++-mingw-w64-x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
# x86-64 always computes doubles with SSE2, so no extra floating-point flags.

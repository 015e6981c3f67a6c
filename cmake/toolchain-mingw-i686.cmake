# Cross toolchain: 32-bit Windows (i686) with the MinGW-w64 GCC from Debian.
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake

set(CMAKE_SYSTEM_PROCESSOR x86)
set(LUMAVEIL_MINGW_TRIPLE i686-w64-mingw32)
set(LUMAVEIL_MINGW_PACKAGE g++-mingw-w64-i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# Keep doubles in 64-bit SSE2 registers.  With the default x87 code the
# intermediates are held in 80-bit registers, and results can differ in the
# last digit from the x86-64 builds.
set(CMAKE_C_FLAGS_INIT   "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

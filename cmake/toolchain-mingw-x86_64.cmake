# Cross toolchain: 64-bit Windows (x86-64) with the MinGW-w64 GCC from Debian.
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
#
# Debian ships two thread flavours of the cross compilers (…-posix and
# …-win32).  Either works for this library; we prefer the posix one when it
# is installed and fall back to the default alternative otherwise.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(LUMAVEIL_MINGW_TRIPLE x86_64-w64-mingw32)

foreach(_flavour posix win32 "")
  if(_flavour STREQUAL "")
    set(_suffix "")
  else()
    set(_suffix "-${_flavour}")
  endif()
  find_program(_lv_cxx NAMES ${LUMAVEIL_MINGW_TRIPLE}-g++${_suffix} NO_CACHE)
  find_program(_lv_cc  NAMES ${LUMAVEIL_MINGW_TRIPLE}-gcc${_suffix} NO_CACHE)
  if(_lv_cxx AND _lv_cc)
    break()
  endif()
  unset(_lv_cxx)
  unset(_lv_cc)
endforeach()

if(NOT _lv_cxx OR NOT _lv_cc)
  message(FATAL_ERROR
    "No ${LUMAVEIL_MINGW_TRIPLE} cross compiler found. "
    "On Debian: apt-get install g++-mingw-w64-x86-64")
endif()

set(CMAKE_C_COMPILER   "${_lv_cc}")
set(CMAKE_CXX_COMPILER "${_lv_cxx}")
find_program(CMAKE_RC_COMPILER NAMES ${LUMAVEIL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMAVEIL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# x86-64 always computes doubles with SSE2, so no extra floating-point flags.

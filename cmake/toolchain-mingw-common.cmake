# The part of the MinGW-w64 cross toolchains that the 32-bit and 64-bit
# files share. They set LUMAVEIL_MINGW_TRIPLE and LUMAVEIL_MINGW_PACKAGE,
# then include this file.
#
# Debian ships two thread flavours of the cross compilers (…-posix and
# …-win32). Either works for this library; we prefer the posix one when it
# is installed and fall back to the default alternative otherwise.

set(CMAKE_SYSTEM_NAME Windows)

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
    "Install the Windows tools: sh scripts/install-deps.sh windows "
    "(Debian package ${LUMAVEIL_MINGW_PACKAGE})")
endif()

set(CMAKE_C_COMPILER   "${_lv_cc}")
set(CMAKE_CXX_COMPILER "${_lv_cxx}")
find_program(CMAKE_RC_COMPILER NAMES ${LUMAVEIL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMAVEIL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

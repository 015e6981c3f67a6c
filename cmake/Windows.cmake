# Windows settings for lumaveil.dll (MinGW-w64 GCC, native or cross).
# Included from the top-level CMakeLists.txt after lumaveil_shared exists.
#
# What this gives:
#   * the file is lumaveil.dll (no "lib" prefix);
#   * its export table holds exactly one name, main5, at ordinal 4
#     (win/lumaveil.def), undecorated on 32-bit too;
#   * the C and C++ runtimes are linked in statically, so the DLL imports
#     only system DLLs (KERNEL32, msvcrt, ...);
#   * on 32-bit x86, doubles are computed in SSE2 registers, never in the
#     x87 80-bit stack, so every +, -, *, / and sqrt rounds exactly as in
#     the x86-64 builds.

if(NOT TARGET lumaveil_shared)
  message(FATAL_ERROR "Windows.cmake: include it after lumaveil_shared is defined")
endif()

set(LUMAVEIL_DEF_FILE "${CMAKE_CURRENT_LIST_DIR}/../win/lumaveil.def")
get_filename_component(LUMAVEIL_DEF_FILE "${LUMAVEIL_DEF_FILE}" ABSOLUTE)

set_target_properties(lumaveil_shared PROPERTIES
  PREFIX ""
  IMPORT_PREFIX ""
  OUTPUT_NAME lumaveil)

# CMake passes a .def source of a shared library straight to the linker.
target_sources(lumaveil_shared PRIVATE "${LUMAVEIL_DEF_FILE}")
set_property(TARGET lumaveil_shared APPEND PROPERTY LINK_DEPENDS "${LUMAVEIL_DEF_FILE}")

if(MINGW OR CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Self-contained DLL: no libgcc_s_*.dll, libstdc++-6.dll or
  # libwinpthread-1.dll next to it at run time.
  target_link_options(lumaveil_shared PRIVATE
    -static -static-libgcc -static-libstdc++)

  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # __stdcall main5 is _main5@4 in the objects; export it as "main5".
    target_link_options(lumaveil_shared PRIVATE
      -Wl,--kill-at -Wl,--enable-stdcall-fixup)

    # SSE2 double arithmetic (the x86 toolchain file sets these globally as
    # well; repeating them here covers builds made without it).
    foreach(_lv_target lumaveil_core lumaveil_shared)
      if(TARGET ${_lv_target})
        target_compile_options(${_lv_target} PRIVATE -msse2 -mfpmath=sse)
      endif()
    endforeach()
  endif()
endif()

# The library formats numbers with std::to_chars and reads them with
# std::from_chars, so the C runtime's printf/scanf never touch a double and
# no __USE_MINGW_ANSI_STDIO switch is needed (libstdc++ turns it on for C++
# anyway).

# The small driver the Windows check (tests/windows) runs the DLL with under
# Wine: lumaveil-host.exe MODE, loading lumaveil.dll at run time.
option(LUMAVEIL_BUILD_WIN_HOST "Build win/host.c (lumaveil-host.exe)" OFF)
if(LUMAVEIL_BUILD_WIN_HOST)
  add_executable(lumaveil_win_host "${CMAKE_CURRENT_LIST_DIR}/../win/host.c")
  set_target_properties(lumaveil_win_host PROPERTIES OUTPUT_NAME lumaveil-host)
  if(MINGW OR CMAKE_C_COMPILER_ID STREQUAL "GNU")
    target_link_options(lumaveil_win_host PRIVATE -static -static-libgcc)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      target_compile_options(lumaveil_win_host PRIVATE -msse2 -mfpmath=sse)
    endif()
  endif()
  # Loaded at run time, but build it whenever the host is built.
  add_dependencies(lumaveil_win_host lumaveil_shared)
endif()

# Install rules: `make install PREFIX=... [DESTDIR=...]` (or `cmake --install`)
# puts into the prefix
#   lib/liblumaveil.so                      the library (exports main5 only)
#   include/lumaveil/main5.h                its header
#   bin/lumaveil                            the command-line host
#   share/doc/lumaveil/                     README, docs/ (user's guide, ...), examples
#   lib/cmake/lumaveil/                     find_package(lumaveil): lumaveil::lumaveil
#   lib/pkgconfig/lumaveil.pc               pkg-config --cflags --libs lumaveil
# Every installed path is relative to the prefix, so a DESTDIR staging copy
# or a moved prefix works as well (the pkg-config file finds its prefix from
# its own folder).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(LUMAVEIL_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/lumaveil")

# A program that links the installed library finds the header by the target.
target_include_directories(lumaveil_shared INTERFACE
  "$<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>"
  "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
set_target_properties(lumaveil_shared PROPERTIES EXPORT_NAME lumaveil)

install(TARGETS lumaveil_shared EXPORT lumaveilTargets
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}"
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES include/lumaveil/main5.h DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/lumaveil")

if(TARGET lumaveil_cli)
  # The installed host finds the installed library beside it, without
  # LD_LIBRARY_PATH.
  file(RELATIVE_PATH LUMAVEIL_BIN_TO_LIB "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
  set_target_properties(lumaveil_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${LUMAVEIL_BIN_TO_LIB}")
  install(TARGETS lumaveil_cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()

# The documents keep their folders of the source tree, so that every link
# between them, and to the images, resolves in the installed tree too.
install(FILES README.md DESTINATION "${CMAKE_INSTALL_DOCDIR}")
install(DIRECTORY docs/ DESTINATION "${CMAKE_INSTALL_DOCDIR}/docs")
install(FILES bench/README.md DESTINATION "${CMAKE_INSTALL_DOCDIR}/bench")
install(FILES fuzz/README.md DESTINATION "${CMAKE_INSTALL_DOCDIR}/fuzz")
install(DIRECTORY examples/ DESTINATION "${CMAKE_INSTALL_DOCDIR}/examples")

# The CMake package.
install(EXPORT lumaveilTargets NAMESPACE lumaveil:: DESTINATION "${LUMAVEIL_CMAKE_DIR}")
configure_package_config_file(cmake/lumaveilConfig.cmake.in
  "${CMAKE_CURRENT_BINARY_DIR}/lumaveilConfig.cmake"
  INSTALL_DESTINATION "${LUMAVEIL_CMAKE_DIR}")
write_basic_package_version_file("${CMAKE_CURRENT_BINARY_DIR}/lumaveilConfigVersion.cmake"
  VERSION "${PROJECT_VERSION}" COMPATIBILITY SameMinorVersion)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/lumaveilConfig.cmake"
  "${CMAKE_CURRENT_BINARY_DIR}/lumaveilConfigVersion.cmake"
  DESTINATION "${LUMAVEIL_CMAKE_DIR}")

# The pkg-config file.
file(RELATIVE_PATH LUMAVEIL_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" LUMAVEIL_PC_TO_PREFIX "${LUMAVEIL_PC_TO_PREFIX}")
configure_file(cmake/lumaveil.pc.in "${CMAKE_CURRENT_BINARY_DIR}/lumaveil.pc" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/lumaveil.pc"
  DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")

# The tests and the benchmarks are optional parts of a build: a user who only
# runs the library (`make demo`) needs a C++ compiler and CMake, nothing more.
# Each part's setting is ON (built; its packages must be there), OFF, or AUTO
# (built when its packages are found). `make test` sets the tests ON after
# scripts/install-deps.sh has installed them.
#
#   lumaveil_optional_part(SETTING RESULT WHAT PACKAGE...)
#
# sets RESULT to ON or OFF from SETTING and, for AUTO, from find_package of
# each PACKAGE (their imported targets stay visible to the subdirectories).
macro(lumaveil_optional_part setting result what)
  set(${result} OFF)
  if(${setting} STREQUAL "AUTO")
    set(${result} ON)
    foreach(package ${ARGN})
      find_package(${package} QUIET)
      if(NOT ${package}_FOUND)
        set(${result} OFF)
        message(STATUS "${package} not found: ${what} are not built "
                       "(make test installs what they need: sh scripts/install-deps.sh test)")
        break()
      endif()
    endforeach()
  elseif(${setting})
    foreach(package ${ARGN})
      find_package(${package} REQUIRED)
    endforeach()
    set(${result} ON)
  endif()
endmacro()

# Finds the 8-bit PCRE2 library and defines the imported target PCRE2::8BIT (headers, library,
# PCRE2_CODE_UNIT_WIDTH=8, and PCRE2_STATIC on Windows, where it is linked statically).
# Debian's libpcre2-dev ships no CMake package, so the library and its users find it this way;
# the installed tq package carries a copy of this file.
include(FindPackageHandleStandardArgs)
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND AND NOT CMAKE_CROSSCOMPILING)
  pkg_check_modules(PC_PCRE2 QUIET libpcre2-8)
endif()
find_path(PCRE2_INCLUDE_DIR pcre2.h HINTS ${PC_PCRE2_INCLUDE_DIRS})
find_library(PCRE2_LIBRARY NAMES pcre2-8 pcre2-8-static HINTS ${PC_PCRE2_LIBRARY_DIRS})
find_package_handle_standard_args(PCRE2 REQUIRED_VARS PCRE2_LIBRARY PCRE2_INCLUDE_DIR)
if(PCRE2_FOUND AND NOT TARGET PCRE2::8BIT)
  add_library(PCRE2::8BIT UNKNOWN IMPORTED)
  set_target_properties(PCRE2::8BIT PROPERTIES
    IMPORTED_LOCATION "${PCRE2_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${PCRE2_INCLUDE_DIR}"
    INTERFACE_COMPILE_DEFINITIONS "PCRE2_CODE_UNIT_WIDTH=8")
  if(WIN32)
    set_property(TARGET PCRE2::8BIT APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS PCRE2_STATIC)
  endif()
endif()
mark_as_advanced(PCRE2_INCLUDE_DIR PCRE2_LIBRARY)

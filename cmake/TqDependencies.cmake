# Third-party libraries. Natively they come from Debian's -dev packages; for the Windows build
# scripts/windows-deps.sh installs them into a prefix that the toolchain file puts on
# CMAKE_PREFIX_PATH. The installed package finds the same three again (cmake/tqConfig.cmake.in).
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
find_package(ZLIB REQUIRED)
find_package(EXPAT REQUIRED)
if(WIN32)
  # The Windows build links Expat statically; without this its header declares dllimport.
  set_property(TARGET EXPAT::EXPAT APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS XML_STATIC)
endif()
find_package(PCRE2 REQUIRED MODULE)

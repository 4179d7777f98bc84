# Third-party libraries. Natively they come from Debian's -dev packages; for the Windows build
# scripts/windows-deps.sh installs them into a prefix that the toolchain file puts on
# CMAKE_PREFIX_PATH.
find_package(ZLIB REQUIRED)
find_package(EXPAT REQUIRED)
if(WIN32)
  # The Windows build links Expat statically; without this its header declares dllimport.
  set_property(TARGET EXPAT::EXPAT APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS XML_STATIC)
endif()

find_path(PCRE2_INCLUDE_DIR pcre2.h REQUIRED)
find_library(PCRE2_LIBRARY NAMES pcre2-8 pcre2-8-static REQUIRED)
add_library(tq_pcre2 INTERFACE)
target_include_directories(tq_pcre2 INTERFACE ${PCRE2_INCLUDE_DIR})
target_link_libraries(tq_pcre2 INTERFACE ${PCRE2_LIBRARY})
target_compile_definitions(tq_pcre2 INTERFACE PCRE2_CODE_UNIT_WIDTH=8)
if(WIN32)
  target_compile_definitions(tq_pcre2 INTERFACE PCRE2_STATIC)
endif()

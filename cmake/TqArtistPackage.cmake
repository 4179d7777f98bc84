# The package an artist installs on a Windows workstation (component "artist"): the plug-in in
# Plug-ins/, the command-line programs in bin/, the job types in types/, a commented sample
# tq.conf and README.txt, with Windows line ends. In a Windows build
#
#   cpack --config <build>/CPackConfig.cmake      (or: cd <build> && cpack)
#
# makes tq-<version>-win32.zip (win64 for a 64-bit build), whose one folder is unzipped into
# the installation directory. The library and its headers stay out of it.
set(tq_package_arch win32)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(tq_package_arch win64)
endif()
set(TQ_PACKAGE_VERSION ${PROJECT_VERSION})
foreach(file README.txt tq.conf)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${file} ${PROJECT_BINARY_DIR}/packaging/${file}
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/${file} DESTINATION . COMPONENT artist)
endforeach()
install(TARGETS tq_plugin RUNTIME DESTINATION Plug-ins COMPONENT artist)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tq)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tq-${PROJECT_VERSION}-${tq_package_arch})
# Only the artist's component, in one archive of the package's own name.
set(CPACK_COMPONENTS_ALL artist)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_ARTIST_FILE_NAME tq-${PROJECT_VERSION}-${tq_package_arch})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)

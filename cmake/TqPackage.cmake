# The installed CMake package (find_package(tq) gives tq::tq) and the pkg-config file tq.pc.
include(CMakePackageConfigHelpers)
set(TQ_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/tq)

install(EXPORT tqTargets NAMESPACE tq:: DESTINATION ${TQ_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/tqConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/tqConfig.cmake
                              INSTALL_DESTINATION ${TQ_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/tqConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tqConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/tqConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/FindPCRE2.cmake
        DESTINATION ${TQ_INSTALL_CMAKEDIR})

# tq.pc finds its prefix from its own place (${pcfiledir}), so the tree may be installed with
# any --prefix and moved afterwards. The library is static: its dependencies are public.
set(tq_pc_prefix "\${pcfiledir}/..")
string(REPLACE "/" ";" tq_libdir_parts "${CMAKE_INSTALL_LIBDIR}")
foreach(part ${tq_libdir_parts})
  string(APPEND tq_pc_prefix "/..")
endforeach()
set(TQ_PC_LIBS "")
set(TQ_PC_CFLAGS "")
if(WIN32)
  set(TQ_PC_LIBS " -lws2_32 -liphlpapi -lmpr -ladvapi32 -lsecur32 -lpsapi")
  set(TQ_PC_CFLAGS " -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 -DXML_STATIC -DPCRE2_STATIC")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tq.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tq.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tq.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

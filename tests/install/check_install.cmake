# Installs the build tree into a fresh prefix and builds a user's program against it twice, with
# the CMake package and with pkg-config, then runs both. Run as
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DCONSUMER_DIR=... -DCXX=... -DPKG_CONFIG=...
#         -DJOBTYPEDIR=... -DLIBDIR=... -P check_install.cmake
cmake_minimum_required(VERSION 3.20)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

set(expected "tq 5.2-2 type=aftereffects valid=1 label=render regex=1 text=1 zlib=1 cipher=64")

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(installed include/tq/records/object.h include/tq/client/job_type.h
                  include/tq/records/version.h ${LIBDIR}/libtq.a ${LIBDIR}/cmake/tq/tqConfig.cmake
                  ${LIBDIR}/cmake/tq/FindPCRE2.cmake ${LIBDIR}/pkgconfig/tq.pc
                  ${JOBTYPEDIR}/aftereffects/job.conf)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
foreach(absent include/tq/plugin include/tq/tools/dev_credential_key.h)
  if(EXISTS ${prefix}/${absent})
    message(FATAL_ERROR "installed but not part of the library: ${absent}")
  endif()
endforeach()

# The programs read no configuration of this machine.
set(ENV{TQWINDIR} ${WORK_DIR})
set(ENV{TQTEMPDIR} ${WORK_DIR})
set(ENV{HOME} ${WORK_DIR})
set(ENV{TQPATH} ${prefix}/${JOBTYPEDIR})

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/cmake-build -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
run(${WORK_DIR}/cmake-build/tq_consumer)
if(NOT run_output MATCHES "^${expected}\n$")
  message(FATAL_ERROR "CMake package consumer printed:\n${run_output}\nexpected:\n${expected}")
endif()
message(STATUS "find_package(tq): ${run_output}")

set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run(${PKG_CONFIG} --cflags --libs tq)
string(STRIP "${run_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${CXX} -std=c++17 ${CONSUMER_DIR}/consumer.cpp -o ${WORK_DIR}/pc_consumer ${flags})
run(${WORK_DIR}/pc_consumer)
if(NOT run_output MATCHES "^${expected}\n$")
  message(FATAL_ERROR "pkg-config consumer printed:\n${run_output}\nexpected:\n${expected}")
endif()
message(STATUS "pkg-config tq: ${run_output}")
file(REMOVE_RECURSE ${WORK_DIR})

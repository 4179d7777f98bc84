# libFuzzer targets (TQ_BUILD_FUZZ=ON, clang only).
#
# The whole project is compiled with coverage instrumentation and AddressSanitizer +
# UndefinedBehaviorSanitizer, so the fuzzers see into the library. In fuzz/CMakeLists.txt:
#
#   tq_fuzz_target(<name> <sources>...)
#
# builds the fuzzer <name> and registers a CTest test of the same name (label "fuzz") that runs
# it for TQ_FUZZ_RUNS inputs (at most TQ_FUZZ_SECONDS), starting from the committed seeds in
# fuzz/corpus/<name>/. New inputs that libFuzzer finds go to <build>/fuzz-corpus/<name>/, never
# into the source tree.
# scripts/test-all.sh runs these tests.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TQ_BUILD_FUZZ needs clang (libFuzzer): configure with "
                      "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
endif()
if(TQ_SANITIZE)
  message(FATAL_ERROR "TQ_BUILD_FUZZ already builds with the sanitizers; leave TQ_SANITIZE off")
endif()

set(TQ_FUZZ_RUNS 20000 CACHE STRING "Inputs each fuzzer tries when run as a test")
set(TQ_FUZZ_SECONDS 180 CACHE STRING "Longest time in seconds one fuzzer runs as a test")
set(TQ_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all)
add_compile_options(-fsanitize=fuzzer-no-link ${TQ_FUZZ_SANITIZERS} -fno-omit-frame-pointer)
add_link_options(${TQ_FUZZ_SANITIZERS})

function(tq_fuzz_target name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE tq)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  tq_warnings(${name})

  set(seeds ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${seeds})
    message(FATAL_ERROR "fuzz target ${name} has no seed corpus: add fuzz/corpus/${name}/")
  endif()
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  file(MAKE_DIRECTORY ${work})
  # The run ends after TQ_FUZZ_RUNS inputs or TQ_FUZZ_SECONDS, whichever comes first, so that
  # a slow target cannot eat the CI budget. -timeout: one input that takes this many seconds
  # counts as a hang and fails the test.
  add_test(NAME ${name}
           COMMAND ${name} -runs=${TQ_FUZZ_RUNS} -max_total_time=${TQ_FUZZ_SECONDS} -timeout=10
                   -rss_limit_mb=2048 -print_final_stats=1 ${work} ${seeds})
  math(EXPR limit "${TQ_FUZZ_SECONDS} + 120")
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${limit})
endfunction()

# libFuzzer targets (TQ_BUILD_FUZZ=ON, clang only).
#
# The whole project is compiled with coverage instrumentation and AddressSanitizer +
# UndefinedBehaviorSanitizer, so the fuzzers see into the library. In fuzz/CMakeLists.txt:
#
#   tq_fuzz_target(<name> <sources>...)
#
# builds the fuzzer <name> and registers a CTest test of the same name (label "fuzz") that runs
# it for TQ_FUZZ_SECONDS, starting from the committed seeds in fuzz/corpus/<name>/. New inputs
# that libFuzzer finds go to <build>/fuzz-corpus/<name>/, never into the source tree.
#
# Every run is bounded by time, not by a number of inputs, so that the stage's wall time is
# known in advance: with ctest -j2 (scripts/test-all.sh) two fuzzers run at once, and the stage
# takes about ceil(targets / 2) x TQ_FUZZ_SECONDS. The limits make a blow-up in cost a finding:
#   -max_len=TQ_FUZZ_MAX_LEN    inputs large enough for a few bytes to stand for much (64 KiB)
#   -len_control=0              lengths up to -max_len from the start, not after hours
#   -timeout=5                  one input that takes longer is a hang
#   -malloc_limit_mb=256        one allocation larger than this is a finding
#   -rss_limit_mb=2048          the resident size, with room for AddressSanitizer's own overhead
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TQ_BUILD_FUZZ needs clang (libFuzzer): configure with "
                      "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
endif()
if(TQ_SANITIZE)
  message(FATAL_ERROR "TQ_BUILD_FUZZ already builds with the sanitizers; leave TQ_SANITIZE off")
endif()

set(TQ_FUZZ_SECONDS 60 CACHE STRING "Seconds each fuzzer runs as a test")
set(TQ_FUZZ_RUNS -1 CACHE STRING "Most inputs each fuzzer tries as a test (-1: no bound)")
set(TQ_FUZZ_MAX_LEN 65536 CACHE STRING "Largest input in bytes the fuzzers make")
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
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${TQ_FUZZ_SECONDS} -runs=${TQ_FUZZ_RUNS}
                   -max_len=${TQ_FUZZ_MAX_LEN} -len_control=0 -timeout=5 -malloc_limit_mb=256
                   -rss_limit_mb=2048 -print_final_stats=1 ${work} ${seeds})
  # Reading the corpus and the final statistics come on top of the fuzzing time.
  math(EXPR limit "${TQ_FUZZ_SECONDS} + 120")
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${limit} PROCESSORS 1)
endfunction()

#!/usr/bin/env bash
# The whole test suite, as CI runs it:
#   1. the formatting check (scripts/format-check.sh), native build (RelWithDebInfo, warnings are
#      errors, benchmarks compiled), its tests and the
#      budget checks (tq-budget -all: hostile inputs against their memory allowance)
#   2. native build with AddressSanitizer + UndefinedBehaviorSanitizer and its tests
#   3. 32-bit Windows build (mingw-w64, warnings are errors), the artist's package made from it
#      and checked (scripts/package-check.sh), and its tests under Wine; on a
#      machine that cannot run 32-bit programs (some virtual machines have no 32-bit mode, and
#      32-bit Wine needs it) the 32-bit build is compiled without its tests, and the tests run
#      in a 64-bit Windows build under 64-bit Wine instead (a test that fails under Wine runs
#      once more: see wine_tests)
#   4. libFuzzer targets (clang), each for TQ_FUZZ_SECONDS, two at a time, when fuzz/ has any
# It installs what is missing first (scripts/install-deps.sh, scripts/windows-deps.sh).
# Every stage runs even when an earlier one fails; the exit status is non-zero if any failed.
#
# Environment: TQ_JOBS (parallel jobs, default 2), TQ_BUILD_ROOT (default <repo>/build-ci),
# TQ_WIN32_DEPS, TQ_WIN64_DEPS (Windows libraries), TQ_WINEPREFIX, TQ_WINE64PREFIX (Wine
# prefixes, default <build root>/wine and <build root>/wine64),
# TQ_FUZZ_SECONDS (time per fuzzer, default 30 here and 60 in a fuzz build made by hand; the
# stage takes about that times half the number of targets, plus its build), TQ_FUZZ_RUNS (most
# inputs per fuzzer, default no bound), TQ_STAGES (which stages, default "native asan win32 fuzz").
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${TQ_JOBS:-2}"
builds="${TQ_BUILD_ROOT:-$root/build-ci}"
stages="${TQ_STAGES:-native asan win32 fuzz}"
export TQ_WIN32_DEPS="${TQ_WIN32_DEPS:-$HOME/.cache/tq-win32-deps}"
export TQ_WIN64_DEPS="${TQ_WIN64_DEPS:-$HOME/.cache/tq-win64-deps}"
# A Wine prefix per build root, so that runs in separate build roots never share a wineserver.
export TQ_WINEPREFIX="${TQ_WINEPREFIX:-$builds/wine}"
export TQ_WINE64PREFIX="${TQ_WINE64PREFIX:-$builds/wine64}"

# Whether this machine runs 32-bit x86 programs, which 32-bit Wine needs.
runs_i386() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }

heading() {
  echo
  echo "=================================================================================="
  echo "== $*"
  echo "=================================================================================="
}

summary=()
failed=0
tests_passed=0
tests_failed=0

# Runs one stage: stage <name> <function>. Captures ctest's closing line for the summary.
stage() {
  local name="$1" fn="$2" start=$SECONDS log status counts
  heading "$name"
  log="$(mktemp)"
  "$fn" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  counts="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)"
  rm -f "$log"
  if [[ -n "$counts" ]]; then
    local total bad
    total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$counts")"
    bad="$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$counts")"
    tests_passed=$((tests_passed + total - bad))
    tests_failed=$((tests_failed + bad))
  fi
  local result="PASSED"
  if [[ $status -ne 0 ]]; then
    result="FAILED"
    failed=1
  fi
  summary+=("$(printf '%-34s %-7s %5ss  %s' "$name" "$result" $((SECONDS - start)) "$counts")")
  echo "-- $name: $result in $((SECONDS - start)) s"
}

ctest_run() {
  ctest --test-dir "$1" -j"$jobs" --output-on-failure --no-tests=error "${@:2}"
}

# The budget checks (budget/budget.h): every hostile-input case at 10 MB, each in a process of
# its own, against max(64 MiB, 16 x N) of peak memory; time is reported, not asserted.
budget_run() {
  echo
  echo "-- budget checks (tq-budget -all -size 10000000)"
  "$1/budget/tq-budget" -all -size 10000000
}

native() {
  local dir="$builds/native" status formatted=0
  bash "$root/scripts/format-check.sh" || formatted=1
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_WERROR=ON -DTQ_BUILD_BENCH=ON &&
    cmake --build "$dir" -j"$jobs" || return 1
  ctest_run "$dir"
  status=$?
  budget_run "$dir" || status=1
  [[ $formatted -eq 0 ]] || status=1
  return $status
}

asan() {
  local dir="$builds/asan"
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DTQ_SANITIZE=ON -DTQ_BUILD_TOOLS=OFF &&
    cmake --build "$dir" -j"$jobs" &&
    ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1 \
      UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest_run "$dir"
}

win32() {
  local dir="$builds/win32" native_tools="" tests=ON
  # With the native stage's programs at hand, the Windows and Linux programs also serve each other.
  [[ -x "$builds/native/tools/tq-aesubmit" ]] && native_tools="$builds/native/tools"
  runs_i386 || tests=OFF
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DTQ_WIN32_DEPS="$TQ_WIN32_DEPS" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_WERROR=ON \
    -DTQ_BUILD_TESTS=$tests -DTQ_NATIVE_TOOLS_DIR="$native_tools" &&
    cmake --build "$dir" -j"$jobs" || return 1
  # The artist's package of the 32-bit build: tq-<version>-win32.zip and what it must hold.
  local packaged=0
  bash "$root/scripts/package-check.sh" "$dir" || packaged=1
  if [[ $tests == ON ]]; then
    wine_tests "$dir" || return 1
    return $packaged
  fi
  echo
  echo "This machine cannot run 32-bit programs (/lib/ld-linux.so.2 does not start), so neither"
  echo "can 32-bit Wine: the 32-bit build above is the library, programs and plug-in without"
  echo "their tests. The tests run in a 64-bit Windows build under 64-bit Wine: the same Windows"
  echo "code, with 64-bit pointers."
  echo
  dir="$builds/win64"
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" \
    -DTQ_WIN64_DEPS="$TQ_WIN64_DEPS" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_WERROR=ON \
    -DTQ_NATIVE_TOOLS_DIR="$native_tools" &&
    cmake --build "$dir" -j"$jobs" || return 1
  wine_tests "$dir" --win64 || return 1
  return $packaged
}

# Runs a Windows build's tests under Wine (--win64: 64-bit Wine), with a persistent wineserver.
# Under load Wine now and then ends a process as it starts (a test program that fails in a
# tenth of a second with no output at all, or CreateProcess answering "Internal error"; about
# one test run in a thousand here), so a test that fails runs once more, and fails the stage
# only if it fails again. The tests that needed the second run are listed at the end.
wine_tests() {
  local dir="$1" arch="${2:-}" status init_start=$SECONDS log
  "$root/scripts/wine-run.sh" $arch --init || return 1
  echo "Wine prefix ready ($((SECONDS - init_start)) s)"
  "$root/scripts/wine-run.sh" $arch --start-server || return 1
  log="$(mktemp)"
  ctest_run "$dir" --repeat until-pass:2 | tee "$log"
  status=${PIPESTATUS[0]}
  "$root/scripts/wine-run.sh" $arch --stop-server || true
  local again
  again="$(sed -n 's/^.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' "$log" | sort -u)"
  rm -f "$log"
  if [[ -n "$again" ]]; then
    echo
    echo "failed on the first run under Wine (the second run decides):"
    sed 's/^/  /' <<<"$again"
  fi
  return $status
}

# --- fuzzing ---------------------------------------------------------------------------------
# fuzz/CMakeLists.txt declares the targets with tq_fuzz_target() (cmake/TqFuzz.cmake); each is
# a CTest test labelled "fuzz" that runs for TQ_FUZZ_SECONDS from its seeds in fuzz/corpus/,
# with the input size, time, allocation and memory limits set there. Two run at once (-j2
# whatever TQ_JOBS says, so that the stage's wall time does not depend on it).
fuzz() {
  if [[ ! -f "$root/fuzz/CMakeLists.txt" ]]; then
    echo "no fuzz targets (fuzz/CMakeLists.txt does not exist)"
    return 0
  fi
  local dir="$builds/fuzz"
  cmake -S "$root" -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_FUZZ=ON -DTQ_BUILD_TESTS=OFF \
    -DTQ_BUILD_TOOLS=OFF -DTQ_FUZZ_RUNS="${TQ_FUZZ_RUNS:--1}" \
    -DTQ_FUZZ_SECONDS="${TQ_FUZZ_SECONDS:-30}" &&
    cmake --build "$dir" -j"$jobs" || return 1
  local targets fuzz_start=$SECONDS status
  targets="$(ctest --test-dir "$dir" -N -L fuzz | grep -c 'Test *#')"
  echo "$targets fuzz targets, ${TQ_FUZZ_SECONDS:-30} s each, two at a time"
  ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir "$dir" -j2 --output-on-failure --no-tests=error -L fuzz
  status=$?
  echo "fuzzing took $((SECONDS - fuzz_start)) s"
  return $status
}

total_start=$SECONDS
heading "dependencies"
bash "$root/scripts/install-deps.sh" || { echo "test-all: installing packages failed" >&2; exit 1; }
if [[ " $stages " == *" win32 "* ]]; then
  bash "$root/scripts/windows-deps.sh" || { echo "test-all: Windows libraries failed" >&2; exit 1; }
  if ! runs_i386; then
    bash "$root/scripts/windows-deps.sh" --win64 ||
      { echo "test-all: 64-bit Windows libraries failed" >&2; exit 1; }
  fi
fi
echo "-- dependencies ready in $((SECONDS - total_start)) s"

for s in $stages; do
  case "$s" in
    native) stage "native (RelWithDebInfo, -Werror)" native ;;
    asan) stage "native with ASan + UBSan" asan ;;
    win32) stage "Windows under Wine" win32 ;;
    fuzz) stage "fuzz targets (libFuzzer)" fuzz ;;
    *) echo "test-all: unknown stage $s" >&2; exit 2 ;;
  esac
done

heading "summary ($((SECONDS - total_start)) s in all)"
printf '%s\n' "${summary[@]}"
echo
echo "tests: $tests_passed passed, $tests_failed failed"
exit $failed

#!/usr/bin/env bash
# Installs, from Debian 12's packages, everything the builds and tests need:
#   native build and tests   g++, cmake, zlib, Expat, PCRE2, GoogleTest/GoogleMock, Benchmark,
#                            protobuf (the benchmarks' anchor only)
#   fuzzing, formatting      clang with its sanitizer and libFuzzer runtimes, clang-format
#   Windows build and tests  the i686 mingw-w64 compilers (posix threads), zlib for mingw,
#                            dpkg-dev (source packages), Wine with its 32-bit half (i386);
#                            on a machine that cannot run 32-bit programs (some virtual
#                            machines have no 32-bit mode), also the x86-64 mingw-w64 compilers
#                            and 64-bit Wine, for the 64-bit Windows build that is tested there
# Safe to run again: when everything is there it only checks and returns.
set -euo pipefail

# Installs the 64-bit Windows tools when 32-bit programs cannot run here.
windows64_tools() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 && return 0
  local tools=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine64) want=()
  for pkg in "${tools[@]}"; do
    [[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$pkg" 2>/dev/null || true)" == ii* ]] ||
      want+=("$pkg")
  done
  [[ ${#want[@]} -eq 0 ]] && return 0
  echo "install-deps: this machine cannot run 32-bit programs; installing ${want[*]}"
  local sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
    "${want[@]}" </dev/null
}

packages=(
  build-essential cmake make pkgconf git ca-certificates xz-utils
  zlib1g-dev libexpat1-dev libpcre2-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libprotobuf-dev protobuf-compiler
  clang libclang-rt-14-dev clang-format
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix libz-mingw-w64-dev dpkg-dev
  wine wine32:i386
  locales
)

# A locale whose decimal point is ',' for the tests of locale-independent number reading.
comma_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE.utf8' && return 0
  local sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 ||
    echo "install-deps: could not make the de_DE.UTF-8 locale (its test will be skipped)" >&2
}

missing=()
for pkg in "${packages[@]}"; do
  status="$(dpkg-query -W -f='${db:Status-Abbrev}' "$pkg" 2>/dev/null || true)"
  [[ "$status" == ii* ]] || missing+=("$pkg")
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_i386=1
else
  need_i386=0
fi

if [[ ${#missing[@]} -eq 0 && $need_i386 -eq 0 ]]; then
  windows64_tools
  comma_locale
  echo "install-deps: all packages present"
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

if [[ $need_i386 -eq 1 ]]; then
  echo "install-deps: adding the i386 architecture (for wine32)"
  "${sudo[@]}" dpkg --add-architecture i386
fi
echo "install-deps: installing ${missing[*]}"
# A mirror caught mid-sync fails one index now and then; try again, and go on with what loaded
# (apt-get install says so if a package is still out of reach).
for attempt in 1 2 3; do
  "${sudo[@]}" apt-get update -q && break
  echo "install-deps: apt-get update failed (attempt $attempt of 3)" >&2
  [[ $attempt -eq 3 ]] || sleep $((attempt * 10))
done
install=("${sudo[@]}" apt-get install -y -q --no-install-recommends)
if ! "${install[@]}" "${missing[@]}" </dev/null; then
  # With one architecture's update index missing, the two halves of wine's libraries cannot
  # agree on a version; the release's own packages exist for both, so prefer those.
  release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  echo "install-deps: retrying with the packages of $release itself preferred" >&2
  "${install[@]}" -t "$release" "${missing[@]}" </dev/null
fi
windows64_tools
comma_locale

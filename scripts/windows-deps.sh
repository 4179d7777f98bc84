#!/usr/bin/env bash
# Builds the third-party libraries of the Windows build (static) into a cached prefix:
#
#   Expat, PCRE2 (8-bit, no JIT)  from the upstream tarballs of Debian's source packages
#   GoogleTest and GoogleMock     from the sources of Debian's googletest package
#   zlib                          is not built: Debian's libz-mingw-w64-dev provides it
#
# Usage: scripts/windows-deps.sh            32-bit (prefix: $TQ_WIN32_DEPS or ~/.cache/tq-win32-deps)
#        scripts/windows-deps.sh --win64    64-bit (prefix: $TQ_WIN64_DEPS or ~/.cache/tq-win64-deps)
#        TQ_WIN32_DEPS_REBUILD=1 scripts/windows-deps.sh   to rebuild a complete prefix
#
# The prefix records what it was built from; a run that finds it complete and current returns
# at once. Fetching the sources needs a deb-src entry; run as root, the script adds one
# (/etc/apt/sources.list.d/tq-deb-src.sources) when apt knows no source packages yet.
set -euo pipefail
shopt -s inherit_errexit

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [[ "${1:-}" == --win64 ]]; then
  triple=x86_64-w64-mingw32
  deps_variable=TQ_WIN64_DEPS
  prefix="${TQ_WIN64_DEPS:-$HOME/.cache/tq-win64-deps}"
else
  triple=i686-w64-mingw32
  deps_variable=TQ_WIN32_DEPS
  prefix="${TQ_WIN32_DEPS:-$HOME/.cache/tq-win32-deps}"
fi
jobs="${TQ_JOBS:-2}"
toolchain="$root/cmake/toolchain-$triple.cmake"
gtest_src=/usr/src/googletest

say() { echo "windows-deps: $*" >&2; }
die() { echo "windows-deps: error: $*" >&2; exit 1; }

for tool in $triple-gcc-posix $triple-g++-posix cmake; do
  command -v "$tool" >/dev/null || die "$tool is missing; run scripts/install-deps.sh first"
done
[[ -f /usr/$triple/lib/libz.a ]] || die "libz-mingw-w64-dev is missing; run scripts/install-deps.sh"
[[ -f $gtest_src/CMakeLists.txt ]] || die "$gtest_src is missing (package googletest)"

# One build of a prefix at a time; a second run waits and then finds it complete.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9

# What the prefix is built from. Any change here rebuilds it.
key="$(
  {
    sha256sum "${BASH_SOURCE[0]}" "$toolchain" "$root/cmake/toolchain-mingw-common.cmake" |
      cut -d' ' -f1
    $triple-g++-posix --version | head -n1
    dpkg-query -W -f='${Package} ${Version}\n' googletest libz-mingw-w64-dev 2>/dev/null || true
  } | sha256sum | cut -d' ' -f1
)"
stamp="$prefix/.tq-complete"
if [[ -z "${TQ_WIN32_DEPS_REBUILD:-}" && -f "$stamp" && "$(cat "$stamp")" == "$key" ]]; then
  say "up to date in $prefix"
  exit 0
fi

say "building into $prefix"
# Start from an empty prefix; keep only the downloaded tarballs in src/.
mkdir -p "$prefix/src"
find "$prefix" -mindepth 1 -maxdepth 1 ! -name src -exec rm -rf {} +
mkdir -p "$prefix/build"

# --- Sources ---------------------------------------------------------------------------------

have_deb_src() { [[ -n "$(apt-cache showsrc expat 2>/dev/null | head -n1)" ]]; }

add_deb_src() {
  [[ $(id -u) -eq 0 ]] || die "apt knows no source packages; add a deb-src entry for bookworm (as root)"
  local list=/etc/apt/sources.list.d/tq-deb-src.sources
  say "adding $list"
  cat >"$list" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  # Refresh only the new source lists; the binary lists stay as they are.
  apt-get update -o Dir::Etc::sourcelist="$list" -o Dir::Etc::sourceparts=- \
    -o APT::Get::List-Cleanup=0 >/dev/null
}

# Prints the path of the upstream tarball of a source package, downloading it if needed.
orig_tarball() {
  local pkg="$1" found
  found="$(find "$prefix/src" -maxdepth 1 -name "${pkg}_*.orig.tar.*" ! -name '*.asc' | head -n1)"
  if [[ -z "$found" ]]; then
    have_deb_src || add_deb_src
    have_deb_src || die "apt still knows no source package $pkg"
    # Only the upstream tarball is needed; Debian's own patch files may 404, which is fine.
    (cd "$prefix/src" && apt-get source --download-only "$pkg" >/dev/null 2>&1) || true
    found="$(find "$prefix/src" -maxdepth 1 -name "${pkg}_*.orig.tar.*" ! -name '*.asc' | head -n1)"
    [[ -n "$found" ]] || die "could not download the source of $pkg"
  fi
  echo "$found"
}

# Unpacks a tarball into build/<name> and prints the directory that holds CMakeLists.txt.
unpack() {
  local tarball="$1" name="$2" dir
  dir="$prefix/build/$name-src"
  mkdir -p "$dir"
  tar -xf "$tarball" -C "$dir"
  local top
  top="$(find "$dir" -maxdepth 3 -name CMakeLists.txt -printf '%d %p\n' | sort -n | head -n1 |
    cut -d' ' -f2-)"
  [[ -n "$top" ]] || die "no CMakeLists.txt in $tarball"
  dirname "$top"
}

# --- Builds ----------------------------------------------------------------------------------

cmake_build() {
  local name="$1" src="$2"
  shift 2
  say "building $name"
  local log="$prefix/build/$name.log"
  if ! {
    cmake -S "$src" -B "$prefix/build/$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -D$deps_variable="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DBUILD_SHARED_LIBS=OFF "$@" &&
      cmake --build "$prefix/build/$name" -j"$jobs" &&
      cmake --install "$prefix/build/$name"
  } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    die "$name failed; the whole log is $log"
  fi
}

expat_src="$(unpack "$(orig_tarball expat)" expat)"
cmake_build expat "$expat_src" \
  -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
  -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF

pcre2_src="$(unpack "$(orig_tarball pcre2)" pcre2)"
cmake_build pcre2 "$pcre2_src" \
  -DBUILD_STATIC_LIBS=ON -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF \
  -DPCRE2_BUILD_PCRE2_32=OFF -DPCRE2_SUPPORT_JIT=OFF -DPCRE2_BUILD_PCRE2GREP=OFF \
  -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_LIBBZ2=OFF -DPCRE2_SUPPORT_LIBZ=OFF \
  -DPCRE2_SUPPORT_LIBEDIT=OFF -DPCRE2_SUPPORT_LIBREADLINE=OFF -DPCRE2_SHOW_REPORT=OFF

# Windows threads inside GoogleTest (no pthread), the same choice its headers make for MinGW.
cmake_build googletest "$gtest_src" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=ON

for lib in libexpat.a libpcre2-8.a libgtest.a libgtest_main.a libgmock.a; do
  [[ -f "$prefix/lib/$lib" ]] || die "$lib was not installed into $prefix/lib"
done
rm -rf "$prefix/build"
echo "$key" >"$stamp"
say "done: $prefix"

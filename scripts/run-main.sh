#!/usr/bin/env bash
# Installs what is missing, builds the library and its tools natively, and runs the main
# program, tq-info, which prints what the library resolves on this machine. Arguments are
# passed on to tq-info. TQ_BUILD_ROOT chooses the build root (default <repo>/build-ci).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${TQ_BUILD_ROOT:-$root/build-ci}/main"

bash "$root/scripts/install-deps.sh" >&2
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_TESTS=OFF >&2
cmake --build "$dir" -j"${TQ_JOBS:-2}" --target tq-info >&2
exec "$dir/tools/tq-info" "$@"

#!/usr/bin/env bash
# The main job: installs what is missing, builds the library and its tools natively, prints
# what the library resolves on this machine (tq-info), then builds the render job that the
# plug-in's "Submit Job" button would build and prints it in the text form (tq-aesubmit).
# Arguments are passed on to tq-aesubmit (see tq-aesubmit -help); without any, it builds the
# job of a sample project in composition mode. TQ_BUILD_ROOT chooses the build root (default
# <repo>/build-ci).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${TQ_BUILD_ROOT:-$root/build-ci}/main"

bash "$root/scripts/install-deps.sh" >&2
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_TESTS=OFF >&2
cmake --build "$dir" -j"${TQ_JOBS:-2}" --target tq-info tq-aesubmit >&2
"$dir/tools/tq-info"
echo
if [[ $# -eq 0 ]]; then
  set -- -project 'D:/jobs/shot.aep' -host-version 16.22 -comp Main -frame-range 1-100 \
         -output-file 'D:/renders/shot_[####].png' -name shot -status pending -cpus 2
fi
exec "$dir/tools/tq-aesubmit" "$@"

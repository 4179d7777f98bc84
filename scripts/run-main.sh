#!/usr/bin/env bash
# The main job: the whole road on loopback. Installs what is missing, builds the library and its
# tools natively, then in a fresh temporary directory (its own tq.conf, no real one is read):
#   1. starts the stand-in supervisor (tq-devsupervisor) on 127.0.0.1 and a free port;
#   2. shows what the library resolves (tq-info);
#   3. builds the render job the plug-in's "Submit Job" button would build and submits it
#      (tq-aesubmit -submit), printing the identifier the supervisor gave it;
#   4. shows the job file the supervisor stored, and stops the supervisor.
# Arguments are passed on to tq-aesubmit (see tq-aesubmit -help); without any, it submits the job
# of a sample project in composition mode. TQ_BUILD_ROOT chooses the build root (default
# <repo>/build-ci).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${TQ_BUILD_ROOT:-$root/build-ci}/main"

bash "$root/scripts/install-deps.sh" >&2
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_TESTS=OFF >&2
cmake --build "$dir" -j"${TQ_JOBS:-2}" --target tq-info tq-aesubmit tq-devsupervisor >&2

work="$(mktemp -d)"
supervisor_pid=""
cleanup() {
  [[ -n "$supervisor_pid" ]] && kill "$supervisor_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export TQWINDIR="$work" TQTEMPDIR="$work" HOME="$work" TQPATH="$root/jobtypes"

echo "== 1. the stand-in supervisor"
# The files exist before the supervisor starts: its redirections are made in the background, and
# the loop below may read them first.
: >"$work/supervisor.out"
: >"$work/supervisor.err"
"$dir/tools/tq-devsupervisor" -port 0 -count 1 -data "$work/data" >"$work/supervisor.out" \
  2>"$work/supervisor.err" &
supervisor_pid=$!
port=""
for _ in $(seq 1 100); do
  port="$(sed -n 's/.* port \([0-9][0-9]*\) .*/\1/p' "$work/supervisor.out" | head -n1)"
  [[ -n "$port" ]] && break
  sleep 0.1
done
[[ -n "$port" ]] || { cat "$work/supervisor.err" >&2; echo "the supervisor did not start" >&2; exit 1; }
head -n1 "$work/supervisor.out"
printf 'supervisor_host = 127.0.0.1\nsupervisor_port = %s\n' "$port" >"$work/tq.conf"

echo
echo "== 2. what the library resolves (tq-info)"
"$dir/tools/tq-info"

echo
echo "== 3. submit (tq-aesubmit -submit)"
if [[ $# -eq 0 ]]; then
  set -- -project 'D:/jobs/shot.aep' -host-version 16.22 -comp Main -frame-range 1-100 \
         -output-file 'D:/renders/shot_[####].png' -name shot -status pending -cpus 2
fi
echo "accepted job identifiers:"
"$dir/tools/tq-aesubmit" -submit -timeout 10000 "$@"
wait "$supervisor_pid" || true
supervisor_pid=""
tail -n +2 "$work/supervisor.out"

echo
echo "== 4. the job the supervisor stored"
for job in "$work"/data/*.job; do
  echo "--- $job"
  cat "$job"
done

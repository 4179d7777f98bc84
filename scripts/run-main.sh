#!/usr/bin/env bash
# The main job: the whole road on loopback. Installs what is missing, builds the library and its
# tools natively, then in a fresh temporary directory (its own tq.conf, no real one is read):
#   1. starts the stand-in supervisor (tq-devsupervisor), which also plays the worker, on
#      127.0.0.1 and free ports;
#   2. shows what the library resolves (tq-info);
#   3. builds the render job the plug-in's "Submit Job" button would build and submits it
#      (tq-aesubmit -submit), printing the identifier the supervisor gave it;
#   4. renders it as a worker would: tq-aerender, the job type's program, with the stand-in
#      renderer (tq-fakerender) in place of the host's aerender, against the stand-in's worker
#      port;
#   5. shows the rendered frames;
#   6. stops the supervisor and shows the job file it stored (every chunk, the sub-job and the
#      job complete).
# Arguments are passed on to tq-aesubmit (see tq-aesubmit -help); without any, it submits the job
# of a sample project (an empty file in the temporary directory) in composition mode. The exit
# status is that of the render. TQ_BUILD_ROOT chooses the build root (default <repo>/build-ci).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${TQ_BUILD_ROOT:-$root/build-ci}/main"

bash "$root/scripts/install-deps.sh" >&2
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_TESTS=OFF >&2
cmake --build "$dir" -j"${TQ_JOBS:-2}" --target tq-info tq-aesubmit tq-devsupervisor tq-aerender \
  tq-fakerender >&2

source "$root/scripts/lib/loopback.sh"

echo "== 1. the stand-in supervisor"
start_supervisor "$dir/tools/tq-devsupervisor" -port 0 -worker-port 0 -sub-port 0 \
  -data "$work/data"
read -r port worker_port sub_port <<<"$supervisor_ports"
head -n1 "$work/supervisor.out"
printf 'supervisor_host = 127.0.0.1\nsupervisor_port = %s\nworker_port = %s\nsupervisor_sub_port = %s\n' \
  "$port" "$worker_port" "$sub_port" >"$work/tq.conf"

echo
echo "== 2. what the library resolves (tq-info)"
"$dir/tools/tq-info"

echo
echo "== 3. submit (tq-aesubmit -submit)"
mkdir "$work/renders"
if [[ $# -eq 0 ]]; then
  echo "a sample project" >"$work/shot.aep"
  set -- -project "$work/shot.aep" -host-version 16.22 -comp Main -frame-range 1-30 \
         -output-file "$work/renders/shot_[####].png" -name shot -status pending -cpus 2
fi
echo "accepted job identifiers:"
ids="$("$dir/tools/tq-aesubmit" -submit -timeout 10000 "$@")"
echo "$ids"
id="$(head -n1 <<<"$ids")"

echo
echo "== 4. render job $id on this machine (tq-aerender, the stand-in renderer for aerender)"
status=0
# tq-aerender prints every line on both streams; standard output is enough here.
TQJOBID="$id" TQSUBID=1 "$dir/tools/tq-aerender" -renderer "$dir/tools/aerender/tq-fakerender" \
  2>"$work/aerender.err" || status=$?

echo
echo "== 5. the rendered frames"
ls -l "$work/renders"

stop_supervisor
echo
echo "== 6. the supervisor's log and the job it stored"
tail -n +2 "$work/supervisor.out"
for job in "$work"/data/*.job; do
  echo "--- $job"
  cat "$job"
done
exit $status

#!/usr/bin/env bash
# The road on loopback, as a user walks it: start the stand-in supervisor on a free port, submit
# a render job with tq-aesubmit -submit, check the identifier it prints and the job file the
# supervisor stored, stop the supervisor.
#   scripts/road-check.sh SUPERVISOR SUBMITTER
# Each argument is a program; one of the form "wine:PATH" runs PATH under scripts/wine-run.sh,
# so a Windows supervisor can serve a Linux submitter and the other way round. Everything runs
# in a fresh temporary directory (TQWINDIR, TQTEMPDIR, HOME): no real tq.conf is read.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/loopback.sh"

start_supervisor "$1" -port 0 -count 1 -data "$work/data" || exit 1
read -r port _ <<<"$supervisor_ports"
printf 'supervisor_host = 127.0.0.1\nsupervisor_port = %s\n' "$port" >"$work/tq.conf"

ids="$(run "$2" -submit -timeout 10000 -project 'D:/jobs/shot.aep' -comp Main -frame-range 1-10 \
        -name road | tr -d '\r')"
wait_supervisor
if [[ "$ids" != "1" ]]; then
  echo "road-check: expected the identifier 1, got '$ids'" >&2
  cat "$work/supervisor.out" "$work/supervisor.err" >&2
  exit 1
fi
stored="$work/data/1.job"
grep -q '<name>road</name>' "$stored" &&
  grep -q '<prototype>aftereffects</prototype>' "$stored" &&
  grep -q '(Comp_name=Main)' "$stored" || {
  echo "road-check: the stored job is not the one submitted" >&2
  cat "$stored" >&2
  exit 1
}
echo "road-check: job 1 submitted and stored"

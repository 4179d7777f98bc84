#!/usr/bin/env bash
# The road on loopback, as a user walks it: start the stand-in supervisor on a free port, submit
# a render job with tq-aesubmit -submit, check the identifier it prints and the job file the
# supervisor stored, stop the supervisor.
#   scripts/road-check.sh SUPERVISOR SUBMITTER
# Each argument is a program; one of the form "wine:PATH" runs PATH under scripts/wine-run.sh,
# so a Windows supervisor can serve a Linux submitter and the other way round. Everything runs
# in a fresh temporary directory (TQWINDIR, TQTEMPDIR, HOME): no real tq.conf is read.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mktemp -d)"
supervisor_pid=""
cleanup() {
  [[ -n "$supervisor_pid" ]] && kill "$supervisor_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

run() {
  local program="$1"
  shift
  if [[ "$program" == wine:* ]]; then
    "$root/scripts/wine-run.sh" "${program#wine:}" "$@"
  else
    "$program" "$@"
  fi
}

export TQWINDIR="$work" TQTEMPDIR="$work" HOME="$work" TQPATH="$root/jobtypes"
# The files exist before the supervisor starts: its redirections are made in the background, and
# the loop below may read them first.
: >"$work/supervisor.out"
: >"$work/supervisor.err"
run "$1" -port 0 -count 1 -data "$work/data" >"$work/supervisor.out" 2>"$work/supervisor.err" &
supervisor_pid=$!
port=""
for _ in $(seq 1 300); do
  port="$(sed -n 's/.* port \([0-9][0-9]*\) .*/\1/p' "$work/supervisor.out" | head -n1)"
  [[ -n "$port" ]] && break
  sleep 0.1
done
if [[ -z "$port" ]]; then
  echo "road-check: the supervisor did not start" >&2
  cat "$work/supervisor.err" >&2
  exit 1
fi
printf 'supervisor_host = 127.0.0.1\nsupervisor_port = %s\n' "$port" >"$work/tq.conf"

ids="$(run "$2" -submit -timeout 10000 -project 'D:/jobs/shot.aep' -comp Main -frame-range 1-10 \
        -name road | tr -d '\r')"
wait "$supervisor_pid"
supervisor_pid=""
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

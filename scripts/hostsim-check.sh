#!/usr/bin/env bash
# "Submit Job" in the simulated host, as a user walks it: start the stand-in supervisor on a
# free port, let tq-hostsim load the plug-in, open the window, fill it and press "Submit Job",
# and check the identifier in the results box and the job file the supervisor stored.
#   scripts/hostsim-check.sh SUPERVISOR HOSTSIM PLUGIN
# SUPERVISOR and HOSTSIM are programs; one of the form "wine:PATH" runs PATH under
# scripts/wine-run.sh (the plug-in is then the .aex, given as its Windows path). Everything
# runs in a fresh temporary directory (TQWINDIR, TQTEMPDIR, HOME): no real tq.conf is read.
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

plugin="$3"
# A Windows program names the plug-in by its path on the drive that maps the root.
[[ "$2" == wine:* && "$plugin" == /* ]] && plugin="Z:$plugin"

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
  echo "hostsim-check: the supervisor did not start" >&2
  cat "$work/supervisor.err" >&2
  exit 1
fi
printf 'supervisor_host = 127.0.0.1\nsupervisor_port = %s\nclient_timeout = 10000\n' "$port" \
  >"$work/tq.conf"

out="$(run "$2" -plugin "$plugin" -project 'D:/jobs/shot.aep' comp:Main update choose click:13 \
        type:16=hostsim type:11=1-10 submit | tr -d '\r')" || {
  echo "hostsim-check: tq-hostsim failed" >&2
  echo "$out" >&2
  exit 1
}
wait "$supervisor_pid"
supervisor_pid=""
if ! grep -qx 'results: "1\\r\\n"' <<<"$out"; then
  echo "hostsim-check: the results box does not show the identifier 1" >&2
  echo "$out" >&2
  cat "$work/supervisor.out" "$work/supervisor.err" >&2
  exit 1
fi
stored="$work/data/1.job"
grep -q '<name>hostsim</name>' "$stored" &&
  grep -q '<prototype>aftereffects</prototype>' "$stored" &&
  grep -q '(Frame_range=1-10)(Comp_name=Main)' "$stored" || {
  echo "hostsim-check: the stored job is not the one submitted" >&2
  cat "$stored" >&2
  exit 1
}
echo "hostsim-check: \"Submit Job\" submitted job 1, shown in the results box and stored"

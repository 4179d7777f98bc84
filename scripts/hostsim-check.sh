#!/usr/bin/env bash
# "Submit Job" in the simulated host, as a user walks it: start the stand-in supervisor on a
# free port, let tq-hostsim load the plug-in, open the window, fill it and press "Submit Job",
# and check the identifier in the results box and the job file the supervisor stored.
#   scripts/hostsim-check.sh SUPERVISOR HOSTSIM PLUGIN
# SUPERVISOR and HOSTSIM are programs; one of the form "wine:PATH" runs PATH under
# scripts/wine-run.sh (the plug-in is then the .aex, given as its Windows path). Everything
# runs in a fresh temporary directory (TQWINDIR, TQTEMPDIR, HOME): no real tq.conf is read.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/loopback.sh"

plugin="$3"
# A Windows program names the plug-in by its path on the drive that maps the root.
[[ "$2" == wine:* && "$plugin" == /* ]] && plugin="Z:$plugin"

start_supervisor "$1" -port 0 -count 1 -data "$work/data" || exit 1
read -r port _ <<<"$supervisor_ports"
printf 'supervisor_host = 127.0.0.1\nsupervisor_port = %s\nclient_timeout = 10000\n' "$port" \
  >"$work/tq.conf"

out="$(run "$2" -plugin "$plugin" -project 'D:/jobs/shot.aep' comp:Main update choose click:13 \
        type:16=hostsim type:11=1-10 submit | tr -d '\r')" || {
  echo "hostsim-check: tq-hostsim failed" >&2
  echo "$out" >&2
  exit 1
}
wait_supervisor
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

#!/usr/bin/env bash
# What a user reads when things go wrong, through the programs themselves: each failure ends
# with a non-zero exit status and says why on standard error, and standard output keeps only the
# program's result (nothing, here).
#   scripts/failures-check.sh SUPERVISOR AESUBMIT WORK HOSTSIM
# Each program natively or, written "wine:PATH", under Wine.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/loopback.sh"
supervisor="$1" aesubmit="$2" work_program="$3" hostsim="$4"
failures=0

# expect NAME PATTERN... -- PROGRAM ARGS...: the program fails, prints nothing on standard
# output (unless stdout_too=1: a job program prints its lines on both streams), and its
# standard error matches every (extended) pattern.
stdout_too=0
expect() {
  local name="$1" patterns=()
  shift
  while [[ "$1" != "--" ]]; do
    patterns+=("$1")
    shift
  done
  shift
  local status=0
  run "$@" >"$work/out" 2>"$work/err" || status=$?
  tr -d '\r' <"$work/err" >"$work/err.text"
  local wrong=""
  [[ $status -ne 0 ]] || wrong="it exited with status 0"
  [[ $stdout_too -eq 0 && -s "$work/out" ]] && wrong="${wrong:+$wrong; }standard output is not empty: $(head -c 200 "$work/out")"
  for p in "${patterns[@]}"; do
    grep -Eq -- "$p" "$work/err.text" || wrong="${wrong:+$wrong; }standard error lacks /$p/"
  done
  if [[ -n "$wrong" ]]; then
    echo "failures-check: $name: $wrong" >&2
    sed 's/^/    /' "$work/err.text" >&2
    failures=$((failures + 1))
  else
    echo "failures-check: $name: exit $status, $(grep -Ev '^WARNING' "$work/err.text" | tail -n1)"
  fi
}

conf() { printf '%s\n' "$@" >"$work/tq.conf"; }

conf "supervisor_host = 127.0.0.1" "supervisor_port = 1" "client_timeout = 2000"
expect "refused" "^unable to submit job$" "^unable to connect to host: .+ \(127\.0\.0\.1 port 1\)$" \
  -- "$aesubmit" -submit

conf "client_timeout = 2000"
expect "no supervisor" "^no supervisor found: .*tq\.conf sets neither supervisor_host nor supervisor_domain$" \
  -- "$aesubmit" -submit
if [[ "$(grep -c 'WARNING: no tq_supervisor' "$work/err.text")" -ne 1 ]]; then
  echo "failures-check: no supervisor: the warning is not there exactly once" >&2
  failures=$((failures + 1))
fi

# The stand-in supervisor misbehaving, one request each.
for misbehaviour in busy blank cut hold; do
  args=(-"$misbehaviour")
  [[ $misbehaviour == hold ]] && args=(-hold 3000)
  start_supervisor "$supervisor" -port 0 -count 1 -data "$work/data" "${args[@]}" || exit 1
  read -r port _ <<<"$supervisor_ports"
  conf "supervisor_host = 127.0.0.1" "supervisor_port = $port" "client_timeout = 1000"
  case $misbehaviour in
    busy) pattern="^supervisor busy: 127\.0\.0\.1 has too many connections \(127\.0\.0\.1 port $port\)$" ;;
    blank) pattern="^empty answer from supervisor 127\.0\.0\.1 \(127\.0\.0\.1 port $port\)$" ;;
    cut) pattern="^connection closed by peer inside a message, after [0-9]+ of its [0-9]+ bytes" ;;
    hold) pattern="^tcp receive socket timed out: no answer within 1000 ms" ;;
  esac
  expect "$misbehaviour supervisor" "^unable to submit job$" "$pattern" -- "$aesubmit" -submit
  stop_supervisor
done

stdout_too=1
expect "job program without its job file" "unable to load a job from: .*missing\.job" \
  -- "$work_program" -dev "$work/missing.job" -command "echo %w"
stdout_too=0
: >"$work/a-file"
expect "supervisor without its data folder" "cannot create the data directory" \
  -- "$supervisor" -port 0 -data "$work/a-file"
expect "host without its plug-in" "cannot load .*no-plugin" \
  -- "$hostsim" -plugin "$work/no-plugin.aex" update

[[ $failures -eq 0 ]] || exit 1
echo "failures-check: every failure exited non-zero and said why"

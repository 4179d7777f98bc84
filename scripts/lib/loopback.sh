# Shared by the loopback checks (sourced): a fresh temporary directory that is the Windows
# directory, the temporary directory and HOME (no real tq.conf is ever read), programs that run
# natively or, written "wine:PATH", under scripts/wine-run.sh, and the stand-in supervisor in the
# background. Sets `root`, `work` and, once started, `supervisor_pid` and `supervisor_ports`
# ("PORT WORKER_PORT SUB_PORT"); the supervisor is stopped and `work` removed on exit.

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
supervisor_pid=""
supervisor_ports=""
export TQWINDIR="$work" TQTEMPDIR="$work" HOME="$work" TQPATH="$root/jobtypes"

stop_supervisor() {
  if [[ -n "$supervisor_pid" ]]; then
    kill "$supervisor_pid" 2>/dev/null || true
    wait "$supervisor_pid" 2>/dev/null || true
  fi
  supervisor_pid=""
}
trap 'stop_supervisor; rm -rf "$work"' EXIT

# run PROGRAM ARGS...: natively, or under Wine for "wine:PATH".
run() {
  local program="$1"
  shift
  if [[ "$program" == wine:* ]]; then
    "$root/scripts/wine-run.sh" "${program#wine:}" "$@"
  else
    "$program" "$@"
  fi
}

# start_supervisor PROGRAM ARGS...: the stand-in supervisor in the background, its output in
# $work/supervisor.out and .err, until it prints its ports. The background job is the program
# itself (exec; under Wine, the Wine process), so that its identifier is the one to stop.
start_supervisor() {
  local program="$1"
  shift
  # The files exist before the supervisor starts: its redirections are made in the background,
  # and the loop below may read them first.
  : >"$work/supervisor.out"
  : >"$work/supervisor.err"
  (
    if [[ "$program" == wine:* ]]; then exec "$root/scripts/wine-run.sh" "${program#wine:}" "$@"; fi
    exec "$program" "$@"
  ) >"$work/supervisor.out" 2>"$work/supervisor.err" &
  supervisor_pid=$!
  for _ in $(seq 1 300); do
    supervisor_ports="$(sed -n 's/.* port \([0-9]*\) (tcp and udp), worker port \([0-9]*\), sub port \([0-9]*\);.*/\1 \2 \3/p' \
                          "$work/supervisor.out" | head -n1)"
    [[ -n "$supervisor_ports" ]] && return 0
    sleep 0.1
  done
  echo "the supervisor did not start" >&2
  cat "$work/supervisor.err" >&2
  return 1
}

# Waits for a supervisor started with -count N to end by itself.
wait_supervisor() {
  wait "$supervisor_pid"
  supervisor_pid=""
}

#!/usr/bin/env bash
# The whole road on loopback, from a submission to rendered frames: start the stand-in
# supervisor (which also plays the worker) on free ports, submit a render job, run tq-aerender
# for it with the stand-in renderer against the stand-in's worker port, and check the frame
# files and the job file the stand-in stored (every chunk, the sub-job and the job complete).
#   scripts/render-road-check.sh SUPERVISOR AERENDER FAKERENDER aesubmit TQ-AESUBMIT
#   scripts/render-road-check.sh SUPERVISOR AERENDER FAKERENDER hostsim TQ-HOSTSIM PLUGIN
# With tq-aesubmit -submit it also submits and renders a whole-queue job; with tq-hostsim the
# job comes from "Submit Job" pressed in the simulated host. Each program of the form
# "wine:PATH" runs PATH under scripts/wine-run.sh (AERENDER and FAKERENDER both or neither:
# the paths in the job are then Windows paths on the drive that maps the root). Everything runs
# in a fresh temporary directory (TQWINDIR, TQTEMPDIR, HOME): no real tq.conf is read.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/loopback.sh"

fail() {
  echo "render-road-check: $*" >&2
  for f in "$work"/*.out "$work"/*.err; do
    [[ -s "$f" ]] && { echo "--- $f (end)" >&2; tail -n 15 "$f" >&2; }
  done
  exit 1
}

supervisor="$1" aerender="$2" fake="$3" kind="$4" submitter="$5" plugin="${6:-}"
# The renderer reads the paths of the job: Windows paths for a Windows renderer.
drive=""
[[ "$aerender" == wine:* ]] && drive="Z:"
fake_path="${fake#wine:}"
[[ "$fake" == wine:* ]] && fake_path="Z:$fake_path"

mkdir "$work/renders"
echo "a project" >"$work/shot.aep"
project="$drive$work/shot.aep"
output="$drive$work/renders/shot_[####].png"

start_supervisor "$supervisor" -port 0 -worker-port 0 -sub-port 0 -data "$work/data" ||
  fail "the supervisor did not start"
read -r port worker_port sub_port <<<"$supervisor_ports"
printf 'supervisor_host = 127.0.0.1\nsupervisor_port = %s\nworker_port = %s\nsupervisor_sub_port = %s\nclient_timeout = 10000\n' \
  "$port" "$worker_port" "$sub_port" >"$work/tq.conf"

# The statuses a stored job file holds: "job S", "subjob S" and "work NAME S" lines (the
# `status` field of each record; agenda_status and the like are not read). A Windows stand-in
# writes CR LF.
statuses() {
  tr -d '\r' <"$1" | awk '
    /^[ \t]*<[a-z_]+>[ \t]*$/ { field = $0; gsub(/[ \t<>]/, "", field); next }
    /<object type = / { match($0, /'"'"'[^'"'"']*'"'"'/); stack[++d] = substr($0, RSTART + 1, RLENGTH - 2)
                        fields[d] = field; if (stack[d] == "work") name = ""; next }
    /<\/object>/ { d--; next }
    /<name>/ && stack[d] == "work" { sub(/.*<name>/, ""); sub(/<\/name>.*/, ""); name = $0; next }
    /<value>/ && stack[d] == "status" && fields[d] == "status" {
      v = $0; sub(/.*<value>/, "", v); sub(/<\/value>.*/, "", v)
      if (stack[d - 1] == "job") print "job " v
      else if (stack[d - 1] == "subjob") print "subjob " v
      else if (stack[d - 1] == "work") print "work " name " " v
    }'
}

# Renders job $1 and checks that the stored job holds exactly the lines of $2, complete.
render_and_check() {
  local id="$1" expected="$2"
  TQJOBID="$id" TQSUBID=1 run "$aerender" -renderer "$fake_path" -item-timeout 60 \
    >"$work/aerender-$id.out" 2>"$work/aerender-$id.err" ||
    fail "tq-aerender failed for job $id"
  local got
  got="$(statuses "$work/data/$id.job" | sort)"
  [[ "$got" == "$(sort <<<"$expected")" ]] ||
    fail "job $id is stored as"$'\n'"$got"$'\n'"instead of"$'\n'"$expected"
}

case "$kind" in
  aesubmit)
    ids="$(run "$submitter" -submit -timeout 10000 -project "$project" -comp Main \
             -frame-range 1-25 -output-file "$output" -name road | tr -d '\r')"
    [[ "$ids" == "1" ]] || fail "expected the identifier 1, got '$ids'"
    ;;
  hostsim)
    [[ "$submitter" == wine:* && "$plugin" == /* ]] && plugin="Z:$plugin"
    results="$(run "$submitter" -plugin "$plugin" -project "$project" comp:Main update choose \
                 click:13 type:16=road type:11=1-25 "type:4=$output" submit | tr -d '\r')" ||
      fail "tq-hostsim failed: $results"
    grep -qx 'results: "1\\r\\n"' <<<"$results" ||
      fail "the results box does not show the identifier 1: $results"
    ;;
  *) fail "unknown submitter kind '$kind'" ;;
esac
grep -q '<prototype>aftereffects</prototype>' "$work/data/1.job" || fail "job 1 was not stored"
render_and_check 1 "job 16
subjob 16
work 1-10 16
work 11-20 16
work 21-25 16"
for frame in $(seq -f '%04g' 1 25); do
  [[ -s "$work/renders/shot_$frame.png" ]] || fail "frame $frame was not rendered"
done
grep -q '^PROGRESS:  0:00:00:07 (7): 0 Seconds' "$work/aerender-1.out" ||
  fail "tq-aerender did not pass the renderer's progress lines on"

if [[ "$kind" == aesubmit ]]; then
  # The whole render queue: one run.
  ids="$(run "$submitter" -submit -timeout 10000 -project "$project" -name queue | tr -d '\r')"
  [[ "$ids" == "2" ]] || fail "expected the identifier 2, got '$ids'"
  queue_note="; job 2 (the whole queue) rendered and stored complete"
  render_and_check 2 "job 16
subjob 16
work queue 16"
fi

stop_supervisor
echo "render-road-check: job 1 submitted ($kind), rendered in 3 chunks (25 frames) and stored complete${queue_note:-}"

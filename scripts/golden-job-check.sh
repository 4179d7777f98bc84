#!/usr/bin/env bash
# The render job of a fixed window state, as tq-aesubmit writes it, byte for byte against the
# golden files in tests/tools/golden/ (the text form compared without CRs, which Windows adds to
# the line ends of text files).
#   scripts/golden-job-check.sh TQ-AESUBMIT     ("wine:PATH" runs PATH under Wine)
# After a deliberate change of the job's form, regenerate the files with
#   scripts/golden-job-check.sh TQ-AESUBMIT --update
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
golden="$root/tests/tools/golden"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
program="$1"
run() {
  if [[ "$program" == wine:* ]]; then "$root/scripts/wine-run.sh" "${program#wine:}" "$@"; else "$program" "$@"; fi
}
run -project 'D:\jobs\shot (v2).aep' -host-version 16.22 -comp 'Main=Final' -frame-range 1-100x2 \
  -output-file 'D:/renders/shot_[####].png' -output-module Lossless -render-settings 'Best Settings' \
  -name shot -status blocked -cluster fast -hosts 'render01,render02' -priority 50 -groups nodes \
  -cpus 2 -requirements 'memory>4096' -reservations 'host.processors=2' -restrictions 'render*' \
  -pid 17 -pgrp 9 -user ann -domain STUDIO -text "$work/job.txt" -binary "$work/job.bin"
tr -d '\r' <"$work/job.txt" >"$work/job.lf.txt"
if [[ "${2:-}" == "--update" ]]; then
  cp "$work/job.lf.txt" "$golden/render_job.txt"
  cp "$work/job.bin" "$golden/render_job.bin"
  exit 0
fi
status=0
cmp "$work/job.bin" "$golden/render_job.bin" || status=1
diff -u "$golden/render_job.txt" "$work/job.lf.txt" || status=1
[[ $status -eq 0 ]] && echo "golden-job-check: both forms match"
exit $status

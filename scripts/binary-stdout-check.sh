#!/usr/bin/env bash
# A binary job written to standard output arrives byte for byte, also from a Windows program
# run through scripts/wine-run.sh: it must equal the same job written to a file.
#   scripts/binary-stdout-check.sh TQ-AESUBMIT     ("wine:PATH" runs PATH under Wine)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
program="$1"
run() {
  if [[ "$program" == wine:* ]]; then "$root/scripts/wine-run.sh" "${program#wine:}" "$@"; else "$program" "$@"; fi
}
# A name and a path with LF and CR bytes in them, so that any line-end translation shows.
run -project "$(printf 'D:/a\r\nb.aep')" -name "$(printf 'shot\n1')" -binary - >"$work/stdout.bin"
run -project "$(printf 'D:/a\r\nb.aep')" -name "$(printf 'shot\n1')" -binary "$work/file.bin"
if ! cmp "$work/stdout.bin" "$work/file.bin"; then
  echo "binary-stdout-check: standard output differs from the file ($(stat -c %s "$work/stdout.bin") vs $(stat -c %s "$work/file.bin") bytes)" >&2
  exit 1
fi
echo "binary-stdout-check: $(stat -c %s "$work/file.bin") bytes, identical"

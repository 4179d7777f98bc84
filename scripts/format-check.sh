#!/usr/bin/env bash
# Checks that every C++ file of the repository is formatted as .clang-format says (clang-format's
# dry run, warnings as errors). With --fix it formats them in place instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
format="${CLANG_FORMAT:-clang-format}"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--fix" ]]; then
  "$format" -i "${files[@]}"
  exit 0
fi
if "$format" --dry-run -Werror "${files[@]}"; then
  echo "format-check: ${#files[@]} files formatted as .clang-format says"
else
  echo "format-check: the files above differ from .clang-format; run scripts/format-check.sh --fix" >&2
  exit 1
fi

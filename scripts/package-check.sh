#!/usr/bin/env bash
# Makes the artist's package of a Windows build and checks what it holds:
#   scripts/package-check.sh BUILD_DIR
# cpack writes BUILD_DIR/package/tq-<version>-win32.zip (win64 for a 64-bit build); the check
# lists it, requires the plug-in, every command-line program, the job types, the sample
# tq.conf and README.txt (with Windows line ends), and refuses the library, its headers and the
# host simulator.
set -euo pipefail

build="$(cd "$1" && pwd)"
[[ -f "$build/CPackConfig.cmake" ]] || { echo "package-check: $build has no CPackConfig.cmake" >&2; exit 1; }
(cd "$build" && cpack --config CPackConfig.cmake >/dev/null) || {
  echo "package-check: cpack failed" >&2
  exit 1
}
zip="$(ls "$build"/package/tq-*-win*.zip | head -n1)"
name="$(basename "$zip" .zip)"
listing="$(cmake -E tar tf "$zip")"
missing=0
need() {
  if ! grep -qx "$name/$1" <<<"$listing"; then
    echo "package-check: $name.zip lacks $1" >&2
    missing=1
  fi
}
need Plug-ins/tq_plugin.aex
need README.txt
need tq.conf
need types/aftereffects/job.conf
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
for source in "$root"/tools/*.cpp; do
  program="$(basename "$source" .cpp)"
  need "bin/${program//_/-}.exe"
done
if grep -E '(^|/)(include|lib)/|tq-hostsim' <<<"$listing"; then
  echo "package-check: the package holds files meant for developers (above)" >&2
  missing=1
fi
# The text files open in Notepad: CR LF line ends.
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")
for text in README.txt tq.conf; do
  if [[ "$(grep -c $'\r$' "$unpacked/$name/$text")" -ne "$(wc -l <"$unpacked/$name/$text")" ]]; then
    echo "package-check: $text has lines without CR LF" >&2
    missing=1
  fi
done
cmp -s "$unpacked/$name/Plug-ins/tq_plugin.aex" "$build/src/tq_plugin.aex" || {
  echo "package-check: the packaged plug-in differs from the built one" >&2
  missing=1
}
[[ $missing -eq 0 ]] || exit 1
echo "package-check: $name.zip holds $(wc -l <<<"$listing") entries: the plug-in, the programs, the job types, tq.conf and README.txt"

#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private, 32-bit Wine prefix.
# CMake uses this as CMAKE_CROSSCOMPILING_EMULATOR for the Windows build (tests and test
# discovery); it also works by hand:  scripts/wine-run.sh build-win32/tools/tq-info.exe
#   scripts/wine-run.sh --init          only makes sure that the prefix exists
#   scripts/wine-run.sh --start-server  also starts a persistent wineserver for it
#   scripts/wine-run.sh --stop-server   stops that server
# A 64-bit program (the 64-bit Windows build, for machines that cannot run 32-bit programs)
# runs under 64-bit Wine in a prefix of its own; --win64 first says so to the three commands
# above.
#
# TQ_WINEPREFIX chooses the prefix (default ~/.cache/tq-wine), TQ_WINE64PREFIX the 64-bit one
# (default ~/.cache/tq-wine64). The first use creates it, under a lock so that parallel test
# processes wait for one another. With a persistent server running, each program starts in a
# fraction of a second instead of paying for a server start.
set -euo pipefail

# The machine field of a Windows program's PE header: 8664 for x86-64, 014c for i386.
pe_machine() {
  local offset
  offset="$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')"
  [[ -n "$offset" ]] && od -An -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

arch=win32
if [[ "${1:-}" == --win64 ]]; then
  shift
  arch=win64
elif [[ -f "${1:-}" && "$(pe_machine "$1")" == 8664 ]]; then
  arch=win64
fi
if [[ $arch == win64 ]]; then
  export WINEPREFIX="${TQ_WINE64PREFIX:-$HOME/.cache/tq-wine64}"
  export WINEARCH=win64
  # Debian's wine wrapper prefers the 32-bit loader whenever it is installed.
  export WINELOADER=/usr/lib/wine/wine64
  wine=("$WINELOADER")
else
  export WINEPREFIX="${TQ_WINEPREFIX:-$HOME/.cache/tq-wine}"
  export WINEARCH=win32
  wine=(wine)
fi
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and Wine would otherwise offer to download them.
export WINEDLLOVERRIDES="mscoree=;mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
unset DISPLAY

ready="$WINEPREFIX/.tq-ready"
if [[ ! -f "$ready" && "${1:-}" != "--stop-server" ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f "$ready" ]]; then
      if ! "${wine[@]}" wineboot -i </dev/null >/dev/null 2>&1; then
        echo "wine-run: could not create the Wine prefix $WINEPREFIX" >&2
        exit 1
      fi
      wineserver -w  # let the registry reach the disk
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

case "${1:-}" in
  --init) exit 0 ;;
  --start-server)
    # A server left over from an earlier run (persistent or not) would refuse the new one.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    # The server and Wine's background processes outlive this script: they must not keep open
    # what the caller had open beyond the standard streams (a lock that a caller holds around
    # the test run would stay held for ever).
    (
      for fd in /proc/self/fd/*; do
        fd="${fd##*/}"
        if [[ "$fd" -gt 2 ]]; then eval "exec $fd>&-" 2>/dev/null || true; fi
      done
      wineserver -p # puts itself in the background
      # The first program of a server starts Wine's own background processes (services,
      # explorer ...), which inherit its standard output and keep it open for the server's
      # life. Start them here, on /dev/null, or a caller that reads a test's output to its end
      # (test discovery does) would wait for them.
      "${wine[@]}" cmd /c exit </dev/null >/dev/null 2>&1
    )
    exit 0
    ;;
  --stop-server) wineserver -k >/dev/null 2>&1 || true; exit 0 ;;
esac

# Output passes unchanged (a binary job written to standard output must arrive byte for byte),
# except for GoogleTest's test list: CTest's discovery parses it as Linux text, so the CRs of
# its CR LF line ends are dropped there.
for arg in "$@"; do
  if [[ "$arg" == --gtest_list_tests* ]]; then
    set +e
    "${wine[@]}" "$@" | tr -d '\r'
    status=${PIPESTATUS[0]}
    exit "$status"
  fi
done
exec "${wine[@]}" "$@"

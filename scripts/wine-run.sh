#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private, 32-bit Wine prefix.
# CMake uses this as CMAKE_CROSSCOMPILING_EMULATOR for the Windows build (tests and test
# discovery); it also works by hand:  scripts/wine-run.sh build-win32/tools/tq-info.exe
#
# TQ_WINEPREFIX chooses the prefix (default ~/.cache/tq-wine). The first use creates it, under a
# lock so that parallel test processes wait for one another. Start `wineserver -p` with the
# same WINEPREFIX beforehand to make each start take a fraction of a second instead of seconds.
set -euo pipefail

export WINEPREFIX="${TQ_WINEPREFIX:-$HOME/.cache/tq-wine}"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and Wine would otherwise offer to download them.
export WINEDLLOVERRIDES="mscoree=;mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
unset DISPLAY

ready="$WINEPREFIX/.tq-ready"
if [[ ! -f "$ready" ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f "$ready" ]]; then
      if ! wineboot -i >/dev/null 2>&1; then
        echo "wine-run: could not create the Wine prefix $WINEPREFIX" >&2
        exit 1
      fi
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# Windows programs end their lines with CR LF; drop the CR so that the output reads (and parses,
# for test discovery) as on Linux.
set +e
wine "$@" | tr -d '\r'
status=${PIPESTATUS[0]}
exit "$status"

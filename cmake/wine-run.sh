#!/bin/sh
# wine-run.sh PREFIX WINESERVER WINE PROGRAM [ARGUMENT...]
# Runs a Windows program under Wine in the Wine prefix PREFIX, which the
# first caller makes while later ones wait for it.
set -e
export WINEPREFIX="$1" WINEDEBUG=-all
# No .NET or HTML engine to download into a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
server=$2
wine=$3
shift 3
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  flock "$WINEPREFIX/.made" sh -c '[ -f "$WINEPREFIX/system.reg" ] || "$1" wineboot --init >/dev/null 2>&1' - "$wine"
fi
# A server started here with its output detached outlives each program by a
# few seconds. Started by the program instead, it would hold the program's
# output open after the program ends, and ctest would wait for it.
"$server" -p5 </dev/null >/dev/null 2>&1 || true
exec "$wine" "$@"

#!/bin/sh
# wine-run.sh PREFIX WINESERVER WINE PROGRAM [ARGUMENT...]
# Runs a Windows program under Wine in the Wine prefix PREFIX, which the
# first caller makes while later ones wait for it.
set -e
mkdir -p "$1"
WINEPREFIX=$(cd "$1" && pwd)
export WINEPREFIX WINEDEBUG=-all
# No .NET or HTML engine to download into a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
server=$2
wine=$3
shift 3
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  flock "$WINEPREFIX/.made" \
    sh -c '[ -f "$WINEPREFIX/system.reg" ] || "$1" wineboot --init >/dev/null 2>&1' - "$wine"
fi
# Wine's server and service processes outlive each program by a few seconds.
# Started by the program itself they would hold its output open, and ctest
# would wait for them: when no server runs, start them apart first.
if "$server" -p5 </dev/null >/dev/null 2>&1; then
  "$wine" wineboot </dev/null >/dev/null 2>&1
fi
exec "$wine" "$@"

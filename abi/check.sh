#!/usr/bin/env bash
# Compares the ABI of a built libquirecommon.so.1 with the committed baseline
# and fails on any change but an addition: the toolkit's other libraries carry
# our classes' layouts, so such a change breaks every one built against us.
#   abi/check.sh build/default/libquirecommon.so.1            compare
#   abi/check.sh build/default/libquirecommon.so.1 --update   new baseline, on purpose
set -euo pipefail
library=${1:?usage: abi/check.sh LIBRARY [--update]}
here=$(cd "$(dirname "$0")" && pwd)
baseline=$here/libquirecommon.so.1.abi

if [ "${2:-}" = --update ]; then
  abidw --no-corpus-path --no-show-locs --no-comp-dir-path --drop-undefined-syms \
    --out-file "$baseline" "$library"
  echo "wrote $baseline"
  exit 0
fi

status=0
# New functions and variables are compatible and not reported; anything
# else that changed (a layout, a signature, a removal) is not.
abidiff --no-added-syms "$baseline" "$library" || status=$?
# abidiff's status is a bit set: 1 tool error, 2 usage error, 4 a change,
# 8 a removal.
if (( status & 3 )); then echo "abidiff could not compare (status $status)"; exit 1; fi
if (( status & 12 )); then
  echo "incompatible ABI change: keep the layout, or raise the SONAME and refresh the baseline"
  exit 1
fi
echo "ABI compatible with the baseline (abidiff status $status)"

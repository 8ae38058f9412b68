#!/usr/bin/env bash
# Line coverage of the library's own code by every test:
#   tests/coverage.sh        configure, build and run the coverage preset, then report
# Generated tables and the table generator are left out: they are data.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset coverage >/dev/null
cmake --build --preset coverage >/dev/null
find build/coverage -name '*.gcda' -delete
ctest --preset coverage >/dev/null || true
gcovr --root . --object-directory build/coverage --exclude-directories 'build/coverage/CMakeFiles' --exclude-directories 'build/windows' \
  --filter 'platform/' --filter 'text/' --filter 'errors/' --filter 'registry/' --filter 'streams/' \
  --exclude 'platform/conv/tables/' --exclude 'platform/conv/gen/' --print-summary "$@" | tail -3

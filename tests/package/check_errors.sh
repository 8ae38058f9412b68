#!/usr/bin/env bash
# Compares every error code, its name and both messages, as `quire error
# --all` prints them in UTF-8, with the reviewed list beside this script.
# Refresh it with UPDATE=1 after a deliberate change and review the diff.
# The arguments run the tool: its path, after an emulator's command if any.
set -euo pipefail
expected=$(dirname "$0")/expected_errors.txt
actual=$(env -u LANG VEL30_MBCS_ENCODING=UTF-8 "$@" error --all)
if [ "${UPDATE:-0}" = 1 ]; then
  echo "$actual" >"$expected"
  exit 0
fi
diff -u "$expected" <(echo "$actual")

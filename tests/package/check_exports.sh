#!/usr/bin/env bash
# Compares demangled names without repeats: GCC and Clang emit different
# sets of constructor and destructor variants for the same interface.
# Fails when the library's dynamic symbols differ from the expected list or
# leave the public namespaces. Refresh the list with UPDATE=1 after a
# deliberate change of the interface and review the diff.
set -euo pipefail
library=$1
expected=$(dirname "$0")/expected_exports.txt
actual=$(nm -D --defined-only --demangle "$library" | cut -d' ' -f3- | LC_ALL=C sort -u)

stray=$(grep -v -E '^((typeinfo|typeinfo name|vtable) for )?(Quire|QuireCommon)::' <<<"$actual" || true)
if [ -n "$stray" ]; then
  echo "exported outside Quire and QuireCommon:"
  echo "$stray"
  exit 1
fi
if [ "${UPDATE:-0}" = 1 ]; then
  echo "$actual" >"$expected"
  exit 0
fi
diff -u "$expected" <(echo "$actual")

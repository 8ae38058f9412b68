#!/usr/bin/env bash
# Compares demangled names without repeats: GCC and Clang emit different
# sets of constructor and destructor variants for the same interface.
# Fails when the library's dynamic symbols differ from the expected list or
# leave the public namespaces. Refresh the list with UPDATE=1 after a
# deliberate change of the interface and review the diff.
# A Windows DLL (second argument: the target's objdump) must export the same
# list less the typeinfo names, which PE keeps inside the DLL.
set -euo pipefail
library=$1
expected=$(dirname "$0")/expected_exports.txt
if [[ $library == *.dll ]]; then
  actual=$("$2" -p "$library" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p' |
    c++filt | sed -e 's/std::basic_istream<char, std::char_traits<char> >/std::istream/g' \
      -e 's/std::basic_ostream<char, std::char_traits<char> >/std::ostream/g' | LC_ALL=C sort -u)
  expected_list=$(grep -v '^typeinfo name for ' "$expected")
else
  actual=$(nm -D --defined-only --demangle "$library" | cut -d' ' -f3- | LC_ALL=C sort -u)
  expected_list=$(cat "$expected")
fi

stray=$(grep -v -E '^((typeinfo|typeinfo name|vtable) for )?(Quire|QuireCommon)::' <<<"$actual" || true)
if [ -n "$stray" ]; then
  echo "exported outside Quire and QuireCommon:"
  echo "$stray"
  exit 1
fi
if [ "${UPDATE:-0}" = 1 ] && [[ $library != *.dll ]]; then
  echo "$actual" >"$expected"
  exit 0
fi
diff -u <(echo "$expected_list") <(echo "$actual")
